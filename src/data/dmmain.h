#pragma once

#include "data/datasetpeers.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

class Database;
class Dataset;
struct HookResult;

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

    // Takes the connection and runs the after-connect step. Empty string
    // on success, else the reason (a table missing, the engine's text).
    QString connectTo(std::unique_ptr<Database> db);
    // Closes every dataset and the connection.
    void disconnectDatabase();
    Database *database() const { return m_db.get(); }

    // A shared dataset by its catalogue name ("tblCustomers", "qryPlan"),
    // without regard to letter case; nullptr for an unknown name.
    Dataset *dataset(const QString &name) const;
    QStringList datasetNames() const;

    // The store hooks of the customer and contract sets: a new row without
    // its code is dropped silently. A new customer takes the current user
    // as its creator whichever way it is stored, or it would drop out of
    // that user's list; the code of a customer other records still name
    // cannot change, or they would lose it.
    static HookResult tblCustomersBeforePost(Dataset &d);
    static HookResult tblOperates2BeforePost(Dataset &d);

    // True when a contact, contract, contact history row, additional
    // information, plan or placed worker names the customer code; a
    // database failure counts as named, with its text in error.
    static bool customerCodeInUse(Database &db, const QVariant &code, QString *error);
    static const QString kCodeInUse; // "对不起，该代码已被其他资料引用，不能修改！"

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
    QStringList m_order;
    DatasetPeers m_peers; // sets over one table tell each other of stored and deleted rows
};
