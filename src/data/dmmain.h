#pragma once

#include "data/datasetpeers.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

#include "data/tablerules.h"

class Database;
class Dataset;

// The data module: the one connection of the program and the shared
// datasets that every window reads and writes through, with their
// master-detail links, display fields and store hooks. Sets over the same
// table see each other's stored and deleted rows; a set opens the sets it
// reads through (master, name sources) itself.
class TdmMain : public QObject
{
    Q_OBJECT
public:
    explicit TdmMain(QObject *parent = nullptr);
    ~TdmMain() override;

    static TdmMain *instance(); // the program's one data module

    // What every data module made from now on runs on itself once its sets
    // exist. The entry points (the program, brevia-admin, the test main)
    // name the subsystems' table rules here, which the data layer cannot
    // name itself; null runs nothing.
    using ModuleSetup = void (*)(TdmMain &);
    static void setModuleSetup(ModuleSetup setup);

    // Takes the connection and runs the after-connect step. Empty string
    // on success, else the reason (a table missing, the engine's text).
    QString connectTo(std::unique_ptr<Database> db);
    // Opens the named sets that are closed, their first reads sent together
    // (one round trip on PostgreSQL); false with the set's error when one
    // cannot open.
    bool openTogether(const QStringList &names, QString *error);
    // Closes every dataset and the connection. A pending edit is dropped:
    // call storePendingEdits first wherever typing must not be lost.
    void disconnectDatabase();
    // Stores every row in hand as moving away from it would. Empty when
    // all went in, else the first refusal's reason (that row stays in hand).
    QString storePendingEdits();
    Database *database() const { return m_db.get(); }

    // A shared dataset by its catalogue name ("tblCustomers", "qryPlan"),
    // without regard to letter case; nullptr for an unknown name.
    Dataset *dataset(const QString &name) const;
    QStringList datasetNames() const;
    // Puts a query set's own statement back after a search replaced it;
    // the set is closed and reads it at its next opening.
    void restoreStatement(const QString &name);

    // The store hooks of the customer and contract sets: a new row without
    // its code is dropped silently.
    static HookResult tblCustomersBeforePost(Dataset &d);
    static HookResult tblOperates2BeforePost(Dataset &d);

    // The rules of a table (its subsystem's rules file) hold on every
    // dataset over that table from now on: its store hooks run on every
    // post, and a record code still named by a reference that guards code
    // changes cannot be changed. Installing a table's rules again does
    // nothing.
    void installRules(const TableRules &rules);
    // The rules of a table, nullptr when none were installed.
    const TableRules *rules(const QString &table) const;

signals:
    void connected();
    void disconnected();

private:
    Dataset *addTable(const QString &name, const QString &table);
    Dataset *addQuery(const QString &name, const QString &sql, const QString &baseTable = {});
    void build();
    void lookup(const QString &set, const QString &field, const QString &key, const QString &source,
                const QString &sourceKey, const QString &result);

    std::unique_ptr<Database> m_db;
    QHash<QString, Dataset *> m_sets;
    QHash<QString, TableRules> m_rules; // by lower-case table name
    QHash<QString, QString> m_statements; // each query set's own, by lower-case name
    QStringList m_order;
    DatasetPeers m_peers; // sets over one table tell each other of stored and deleted rows
};
