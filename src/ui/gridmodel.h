#pragma once

#include <QAbstractItemModel>
#include <QPointer>
#include <QStringList>
#include <QVector>

#include <vector>

class Dataset;
class DatasetModel;

// The rows of a DatasetModel as a grid shows them: in the dataset's own
// order, sorted by one column, or grouped by one or more columns (each
// group a collapsible node whose leaves are the rows).
//
// Without sorting or grouping rows are passed through and read lazily, so
// a large table opens at once. Sorting and grouping
// read the column(s) they need for every row (Dataset::columnValues), not
// whole rows, and build their order in one pass; text is compared by zh_CN
// collation keys made once per distinct value, so Chinese sorts by pinyin.
// The rows shown are read by key a page at a time in the shown order.
class GridModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit GridModel(DatasetModel *source, QObject *parent = nullptr);

    DatasetModel *sourceModel() const { return m_source; }
    Dataset *dataset() const;

    // Fields to group by, outermost first; empty for a flat list.
    void setGroupFields(const QStringList &fields);
    const QStringList &groupFields() const { return m_groups; }
    // -1 for the dataset's own order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // The dataset row behind an index; -1 for a group node.
    int sourceRow(const QModelIndex &index) const;
    // The index that shows a dataset row (column 0); invalid when unknown.
    QModelIndex indexOfSourceRow(int row) const;
    bool isGroup(const QModelIndex &index) const;
    // Every dataset row in shown order, collapsed groups included.
    std::vector<int> rowsInOrder() const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    struct Node {
        int parent = 0;          // node id; 0 is the root
        int rowInParent = 0;
        QString label;           // "<caption>: <value> (<count>)"
        std::vector<int> groups; // child node ids
        std::vector<int> rows;   // source rows of a last-level group
    };

    bool arranged() const { return m_sortColumn >= 0 || !m_groups.isEmpty(); }
    void rebuild();
    void sortRows(std::vector<int> &rows) const;
    const Node *nodeOf(const QModelIndex &parentIndex) const;

    QPointer<DatasetModel> m_source;
    QStringList m_groups;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    std::vector<Node> m_nodes;      // [0] is the root
    std::vector<int> m_rowToNode;   // source row -> node holding it (grouped)
    std::vector<int> m_rowToPos;    // source row -> position within that node
    std::vector<double> m_keys;     // sort keys of the sort column, by source row
    int m_keysColumn = -1;          // the column m_keys are of; -1 once the rows change
    bool m_sourceBusy = false;      // between a source reset's two signals
    bool m_rebuilding = false;      // source signals during a build are part of it
};
