#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

class Dataset;

// The sets of one data module over the same base table (a table set's table,
// a query set's base table) hear of each other's stored and deleted rows:
// a customer stored through the dialog's set shows at once in the list's set
// and in the names that other sets look up there.
class DatasetPeers : public QObject
{
    Q_OBJECT
public:
    explicit DatasetPeers(QObject *parent = nullptr);

    // A set without a base table has no peers.
    void add(Dataset *set);
    // The other sets over the same table as set.
    QVector<Dataset *> peersOf(const Dataset *set) const;

private:
    QHash<QString, QVector<QPointer<Dataset>>> m_byTable; // by lower-case table name
};
