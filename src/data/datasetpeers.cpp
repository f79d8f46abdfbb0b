#include "data/datasetpeers.h"

#include "data/dataset.h"
#include "data/tabledef.h"

DatasetPeers::DatasetPeers(QObject *parent) : QObject(parent) {}

void DatasetPeers::add(Dataset *set)
{
    if (!set || !set->table())
        return;
    QVector<QPointer<Dataset>> &sets = m_byTable[set->table()->name().toLower()];
    for (const QPointer<Dataset> &s : std::as_const(sets))
        if (s == set)
            return;
    sets.append(set);
    connect(set, &Dataset::keyStored, this, [this, set](const QVariantList &oldKey, const QVariantList &key) {
        for (Dataset *peer : peersOf(set))
            peer->takeStored(oldKey, key);
    });
    connect(set, &Dataset::keyRemoved, this, [this, set](const QVariantList &key) {
        for (Dataset *peer : peersOf(set))
            peer->takeRemoved(key);
    });
}

QVector<Dataset *> DatasetPeers::peersOf(const Dataset *set) const
{
    QVector<Dataset *> out;
    if (!set || !set->table())
        return out;
    for (const QPointer<Dataset> &s : m_byTable.value(set->table()->name().toLower()))
        if (s && s != set)
            out << s.data();
    return out;
}
