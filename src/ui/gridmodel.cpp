#include "ui/gridmodel.h"

#include "data/dataset.h"
#include "data/datasetmodel.h"
#include "data/format.h"

#include <QDateTime>
#include <QFont>
#include <QHash>
#include <QSet>

#include <unicode/ucol.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>
#include <thread>

namespace {

bool isNumeric(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Bool: case QMetaType::QDate:
    case QMetaType::QDateTime:
        return true;
    default:
        return false;
    }
}

double numberOf(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDate)
        return double(v.toDate().toJulianDay());
    if (v.typeId() == QMetaType::QDateTime)
        return double(v.toDateTime().toMSecsSinceEpoch()) / 86400000.0;
    return v.toDouble();
}

// zh_CN collation exactly as QCollator(zh_CN) in numeric mode does it with
// the ICU collator beneath it (normalisation on, default strength, digits
// by value, punctuation not ignored), but with the sort key bytes at hand:
// 100,000 keys sort by memcmp in a contiguous buffer many times faster than
// through QCollatorSortKey, and ICU fills a large enough buffer in one go.
class ChineseCollator
{
public:
    ChineseCollator()
    {
        UErrorCode status = U_ZERO_ERROR;
        m_collator = ucol_open("zh_CN", &status);
        if (U_FAILURE(status)) {
            m_collator = nullptr;
            return;
        }
        const std::pair<UColAttribute, UColAttributeValue> attributes[] = {
            {UCOL_NORMALIZATION_MODE, UCOL_ON},
            {UCOL_STRENGTH, UCOL_DEFAULT_STRENGTH},
            {UCOL_NUMERIC_COLLATION, UCOL_ON},
            {UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE}};
        for (const auto &[attribute, value] : attributes) {
            status = U_ZERO_ERROR;
            ucol_setAttribute(m_collator, attribute, value, &status);
        }
    }
    ~ChineseCollator()
    {
        if (m_collator)
            ucol_close(m_collator);
    }
    ChineseCollator(const ChineseCollator &) = delete;
    ChineseCollator &operator=(const ChineseCollator &) = delete;

    // Appends the text's sort key (NUL-terminated, as ICU makes it) to keys.
    void appendKey(const QString &text, std::string &keys)
    {
        if (!m_collator) { // no collation data: at least a fixed order
            keys.append(text.toUtf8().constData());
            keys.push_back('\0');
            return;
        }
        const auto *chars = reinterpret_cast<const UChar *>(text.utf16());
        int size = ucol_getSortKey(m_collator, chars, int(text.size()), m_buffer.data(), int(m_buffer.size()));
        if (size > int(m_buffer.size())) {
            m_buffer.resize(size_t(size) * 2);
            size = ucol_getSortKey(m_collator, chars, int(text.size()), m_buffer.data(), int(m_buffer.size()));
        }
        keys.append(reinterpret_cast<const char *>(m_buffer.data()), size_t(std::max(size, 1) - 1));
        keys.push_back('\0');
    }

private:
    UCollator *m_collator = nullptr;
    std::vector<uint8_t> m_buffer = std::vector<uint8_t>(1024);
};

// Sort keys of a run of texts, one after the other in one buffer.
struct KeyRun {
    std::string bytes;
    std::vector<uint32_t> offsets;
};

void makeKeys(const QStringList &texts, int from, int to, KeyRun *run)
{
    ChineseCollator collator;
    run->bytes.reserve(size_t(to - from) * 48);
    run->offsets.reserve(size_t(to - from));
    for (int i = from; i < to; ++i) {
        run->offsets.push_back(uint32_t(run->bytes.size()));
        collator.appendKey(texts[i], run->bytes);
    }
}

// Orders a[0..n) by their sort keys from byte depth on, texts with equal
// keys by their characters. A three-way radix quicksort: addresses and
// codes share long beginnings ("北京市朝阳区…", "KH0000…"), which it reads
// once per partition instead of again in every comparison.
void sortByKeys(int *a, int n, int depth, const std::vector<const char *> &keys, const QStringList &texts)
{
    while (n > 1) {
        if (n < 12) {
            for (int i = 1; i < n; ++i)
                for (int j = i; j > 0; --j) {
                    const int c = std::strcmp(keys[a[j - 1]] + depth, keys[a[j]] + depth);
                    if (c < 0 || (c == 0 && !(texts[a[j]] < texts[a[j - 1]])))
                        break;
                    std::swap(a[j - 1], a[j]);
                }
            return;
        }
        auto byteAt = [&](int i) { return uchar(keys[a[i]][depth]); };
        std::swap(a[0], a[n / 2]);
        const uchar pivot = byteAt(0);
        int lt = 0, gt = n - 1, i = 1;
        while (i <= gt) {
            const uchar b = byteAt(i);
            if (b < pivot)
                std::swap(a[lt++], a[i++]);
            else if (b > pivot)
                std::swap(a[i], a[gt--]);
            else
                ++i;
        }
        sortByKeys(a, lt, depth, keys, texts);
        sortByKeys(a + gt + 1, n - gt - 1, depth, keys, texts);
        if (pivot == 0) { // the keys of the middle part are equal
            std::sort(a + lt, a + gt + 1, [&](int x, int y) { return texts[x] < texts[y]; });
            return;
        }
        a += lt;
        n = gt + 1 - lt;
        ++depth;
    }
}

// The order of texts in zh_CN order: each text gets its sort key, many
// texts on two threads.
std::vector<int> collationOrder(const QStringList &texts)
{
    const int n = int(texts.size());
    const int half = n >= 4096 ? n / 2 : n;
    KeyRun first, second;
    std::thread helper;
    if (half < n)
        helper = std::thread(makeKeys, std::cref(texts), half, n, &second);
    makeKeys(texts, 0, half, &first);
    if (helper.joinable())
        helper.join();
    std::vector<const char *> keys(n);
    for (int i = 0; i < n; ++i) {
        const KeyRun &run = i < half ? first : second;
        keys[i] = run.bytes.data() + run.offsets[i < half ? i : i - half];
    }
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    sortByKeys(order.data(), n, 0, keys, texts);
    return order;
}

// Ranks of distinct texts in zh_CN order: each text gets its sort key once,
// however many rows share it.
QHash<QString, int> rankTexts(const QVector<QString> &texts)
{
    QHash<QString, int> distinct;
    distinct.reserve(std::min<qsizetype>(texts.size(), 1 << 17));
    for (const QString &t : texts)
        distinct.insert(t, 0);
    const QStringList list = distinct.keys();
    const std::vector<int> order = collationOrder(list);
    for (int i = 0; i < int(order.size()); ++i)
        distinct[list[order[i]]] = i;
    return distinct;
}

// Whether nearly every text differs from every other, judged on a few
// thousand spread over the column: 4,000 drawn from 11,000 names still
// repeat one in six, drawn from 100,000 addresses hardly ever.
bool mostlyDistinct(const QVector<QString> &texts)
{
    const qsizetype n = texts.size();
    const qsizetype step = std::max<qsizetype>(1, n / 4000);
    QSet<QString> seen;
    int sampled = 0;
    for (qsizetype i = 0; i < n; i += step) {
        if (texts[i].isEmpty())
            continue;
        seen.insert(texts[i]);
        ++sampled;
    }
    return sampled > 0 && seen.size() * 20 > sampled * 19;
}

// Each row's rank in zh_CN order into ranks; empty texts keep theirs.
// Columns of few values (levels, types, staff) rank each value once;
// columns of mostly different values (names, addresses) rank the rows
// themselves, which spares finding the distinct values first.
void rankRows(const QVector<QString> &texts, std::vector<double> &ranks)
{
    const int n = int(texts.size());
    if (!mostlyDistinct(texts)) {
        const QHash<QString, int> byText = rankTexts(texts);
        for (int r = 0; r < n; ++r)
            if (!texts[r].isEmpty())
                ranks[r] = byText.value(texts[r]);
        return;
    }
    QStringList filled;
    std::vector<int> rowOf;
    filled.reserve(n);
    rowOf.reserve(size_t(n));
    for (int r = 0; r < n; ++r)
        if (!texts[r].isEmpty()) {
            filled << texts[r];
            rowOf.push_back(r);
        }
    // Equal texts have equal keys and lie next to each other in the order.
    int rank = -1;
    const QString *previous = nullptr;
    for (int i : collationOrder(filled)) {
        if (!previous || *previous != filled[i])
            ++rank;
        previous = &filled[i];
        ranks[size_t(rowOf[size_t(i)])] = rank;
    }
}

} // namespace

GridModel::GridModel(DatasetModel *source, QObject *parent) : QAbstractItemModel(parent), m_source(source)
{
    m_nodes.resize(1);
    // Reading every row of a query set appends rows while the order is
    // being built; that build is already inside a reset.
    auto startReset = [this] {
        m_keysColumn = -1;
        m_sourceBusy = true;
        if (!m_rebuilding)
            beginResetModel();
    };
    auto finishReset = [this] {
        m_sourceBusy = false;
        if (m_rebuilding)
            return;
        if (arranged())
            rebuild();
        endResetModel();
    };
    connect(source, &QAbstractItemModel::modelAboutToBeReset, this, startReset);
    connect(source, &QAbstractItemModel::modelReset, this, finishReset);
    connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this, [this](const QModelIndex &, int first, int last) {
        m_keysColumn = -1;
        if (m_rebuilding)
            return;
        if (arranged())
            beginResetModel();
        else
            beginInsertRows({}, first, last);
    });
    connect(source, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_rebuilding)
            return;
        if (arranged()) {
            rebuild();
            endResetModel();
        } else {
            endInsertRows();
        }
    });
    connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this](const QModelIndex &, int first, int last) {
        m_keysColumn = -1;
        if (m_rebuilding)
            return;
        if (arranged())
            beginResetModel();
        else
            beginRemoveRows({}, first, last);
    });
    connect(source, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (m_rebuilding)
            return;
        if (arranged()) {
            rebuild();
            endResetModel();
        } else {
            endRemoveRows();
        }
    });
    connect(source, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &tl, const QModelIndex &br) {
        m_keysColumn = -1;
        if (!arranged()) {
            emit dataChanged(index(tl.row(), tl.column()), index(br.row(), br.column()));
            return;
        }
        // A changed value keeps its place until the user sorts again.
        if (br.row() - tl.row() > 1000) {
            emit dataChanged(QModelIndex(), QModelIndex());
            emit layoutChanged();
            return;
        }
        for (int r = tl.row(); r <= br.row(); ++r) {
            const QModelIndex i = indexOfSourceRow(r);
            if (i.isValid())
                emit dataChanged(i.siblingAtColumn(tl.column()), i.siblingAtColumn(br.column()));
        }
    });
    // A stored row takes its place among the groups and in the order.
    if (Dataset *set = source->dataset())
        connect(set, &Dataset::contentChanged, this, [this] {
            m_keysColumn = -1;
            if (!arranged() || m_rebuilding || m_sourceBusy)
                return;
            beginResetModel();
            rebuild();
            endResetModel();
        });
    connect(source, &QAbstractItemModel::headerDataChanged, this, &QAbstractItemModel::headerDataChanged);
}

Dataset *GridModel::dataset() const
{
    return m_source ? m_source->dataset() : nullptr;
}

void GridModel::setGroupFields(const QStringList &fields)
{
    beginResetModel();
    m_groups = fields;
    rebuild();
    endResetModel();
}

void GridModel::sort(int column, Qt::SortOrder order)
{
    if (column >= columnCount())
        column = -1;
    beginResetModel();
    m_sortColumn = column;
    m_sortOrder = order;
    rebuild();
    endResetModel();
}

void GridModel::sortRows(std::vector<int> &rows) const
{
    if (m_sortColumn < 0 || m_keys.empty())
        return;
    const auto &keys = m_keys;
    if (m_sortOrder == Qt::AscendingOrder)
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return keys[a] < keys[b]; });
    else
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return keys[b] < keys[a]; });
}

void GridModel::rebuild()
{
    m_rebuilding = true;
    struct Done {
        bool &flag;
        ~Done() { flag = false; }
    } done{m_rebuilding};
    m_nodes.assign(1, Node{});
    m_rowToNode.clear();
    m_rowToPos.clear();
    Dataset *set = dataset();
    if (!arranged() || !set || !set->isActive()) {
        m_keys.clear();
        m_keysColumn = -1;
        return;
    }
    // Sorting and grouping need one or two columns of every row, never the
    // whole rows: those the grid shows are read by key as they come into
    // view (data()). A query set's rows are all at hand first.
    set->fetchAll();
    const int n = set->rowCount();

    std::vector<int> rows(n);
    std::iota(rows.begin(), rows.end(), 0);
    if (m_sortColumn >= 0 && (m_keysColumn != m_sortColumn || int(m_keys.size()) != n)) {
        m_keysColumn = m_sortColumn;
        const QVector<QVariant> values = set->columnValues(set->fieldIndex(m_source->fieldAt(m_sortColumn)));
        bool numeric = true;
        for (int r = 0; r < n && numeric; ++r)
            if (!values[r].isNull() && !isNumeric(values[r]))
                numeric = false;
        // Empty values come first, as in every grid of the program.
        m_keys.assign(n, -1e300);
        if (numeric) {
            for (int r = 0; r < n; ++r)
                if (!values[r].isNull())
                    m_keys[r] = numberOf(values[r]);
        } else {
            QVector<QString> texts(n);
            for (int r = 0; r < n; ++r)
                texts[r] = Format::display(values[r]);
            rankRows(texts, m_keys);
        }
    }
    if (m_sortColumn >= 0)
        sortRows(rows);

    m_rowToNode.assign(n, 0);
    m_rowToPos.assign(n, 0);
    if (m_groups.isEmpty()) {
        m_nodes[0].rows = std::move(rows);
        for (int i = 0; i < int(m_nodes[0].rows.size()); ++i)
            m_rowToPos[m_nodes[0].rows[i]] = i;
        return;
    }

    // One pass over the rows in their sorted order builds every level.
    QVector<QVector<QString>> groupTexts; // per level: each row's group value
    QStringList captions;
    for (const QString &g : m_groups) {
        groupTexts << set->columnTexts(set->fieldIndex(g));
        const int c = m_source->columnOf(g);
        captions << (c >= 0 ? m_source->headerData(c, Qt::Horizontal).toString() : g);
    }
    QVector<QHash<QString, int>> children(1); // per node: value -> child node
    QVector<QString> values;                  // per node: its group value
    values << QString();
    for (int r : rows) {
        int node = 0;
        for (int level = 0; level < groupTexts.size(); ++level) {
            const QString &v = groupTexts[level][r];
            int child = children[node].value(v, -1);
            if (child < 0) {
                child = int(m_nodes.size());
                Node c;
                c.parent = node;
                m_nodes.push_back(c);
                children.append(QHash<QString, int>());
                values << v;
                children[node].insert(v, child);
                m_nodes[node].groups.push_back(child);
            }
            node = child;
        }
        m_nodes[node].rows.push_back(r);
    }
    // Groups in zh_CN order of their values; descending when the user
    // sorted that very column downwards.
    const QHash<QString, int> ranks = rankTexts(values);
    std::vector<int> counts(m_nodes.size(), 0);
    for (int id = int(m_nodes.size()) - 1; id > 0; --id) {
        counts[id] += int(m_nodes[id].rows.size());
        counts[m_nodes[id].parent] += counts[id];
    }
    for (int id = 0; id < int(m_nodes.size()); ++id) {
        Node &node = m_nodes[id];
        if (node.groups.empty())
            continue;
        int level = 0;
        for (int p = id; p != 0; p = m_nodes[p].parent)
            ++level;
        const bool down = m_sortColumn >= 0 && m_sortOrder == Qt::DescendingOrder
                          && m_source->fieldAt(m_sortColumn).compare(m_groups[level], Qt::CaseInsensitive) == 0;
        std::sort(node.groups.begin(), node.groups.end(), [&](int a, int b) {
            const int ra = ranks.value(values[a]), rb = ranks.value(values[b]);
            return down ? rb < ra : ra < rb;
        });
        for (int i = 0; i < int(node.groups.size()); ++i) {
            Node &c = m_nodes[node.groups[i]];
            c.rowInParent = i;
            c.label = QStringLiteral("%1: %2 (%3)").arg(captions[level], values[node.groups[i]]).arg(counts[node.groups[i]]);
        }
    }
    for (int id = 1; id < int(m_nodes.size()); ++id)
        for (int i = 0; i < int(m_nodes[id].rows.size()); ++i) {
            m_rowToNode[m_nodes[id].rows[i]] = id;
            m_rowToPos[m_nodes[id].rows[i]] = i;
        }
}

const GridModel::Node *GridModel::nodeOf(const QModelIndex &parentIndex) const
{
    // The node whose children parentIndex's children are.
    if (!parentIndex.isValid())
        return &m_nodes[0];
    const Node &holder = m_nodes[parentIndex.internalId()];
    if (holder.groups.empty())
        return nullptr; // a leaf row
    return &m_nodes[holder.groups[parentIndex.row()]];
}

int GridModel::sourceRow(const QModelIndex &index) const
{
    if (!index.isValid())
        return -1;
    if (!arranged())
        return index.row();
    const Node &holder = m_nodes[index.internalId()];
    if (!holder.groups.empty() || index.row() >= int(holder.rows.size()))
        return -1;
    return holder.rows[index.row()];
}

bool GridModel::isGroup(const QModelIndex &index) const
{
    return index.isValid() && arranged() && !m_nodes[index.internalId()].groups.empty();
}

QModelIndex GridModel::indexOfSourceRow(int row) const
{
    if (row < 0)
        return {};
    if (!arranged())
        return row < rowCount() ? createIndex(row, 0, quintptr(0)) : QModelIndex();
    if (row >= int(m_rowToNode.size()))
        return {};
    return createIndex(m_rowToPos[row], 0, quintptr(m_rowToNode[row]));
}

std::vector<int> GridModel::rowsInOrder() const
{
    std::vector<int> out;
    if (!arranged()) {
        out.resize(m_source ? m_source->rowCount() : 0);
        std::iota(out.begin(), out.end(), 0);
        return out;
    }
    // Depth first through the groups in their shown order.
    std::vector<int> stack{0};
    while (!stack.empty()) {
        const Node &n = m_nodes[stack.back()];
        stack.pop_back();
        out.insert(out.end(), n.rows.begin(), n.rows.end());
        for (auto it = n.groups.rbegin(); it != n.groups.rend(); ++it)
            stack.push_back(*it);
    }
    return out;
}

QModelIndex GridModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= columnCount())
        return {};
    if (!arranged())
        return parent.isValid() || row >= rowCount() ? QModelIndex() : createIndex(row, column, quintptr(0));
    const Node *n = nodeOf(parent);
    if (!n || row >= int(n->groups.empty() ? n->rows.size() : n->groups.size()))
        return {};
    return createIndex(row, column, quintptr(n - m_nodes.data()));
}

QModelIndex GridModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || !arranged() || child.internalId() == 0)
        return {};
    const Node &holder = m_nodes[child.internalId()];
    return createIndex(holder.rowInParent, 0, quintptr(holder.parent));
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    if (!m_source)
        return 0;
    if (!arranged())
        return parent.isValid() ? 0 : m_source->rowCount();
    if (parent.isValid() && parent.column() != 0)
        return 0;
    const Node *n = nodeOf(parent);
    return n ? int(n->groups.empty() ? n->rows.size() : n->groups.size()) : 0;
}

int GridModel::columnCount(const QModelIndex &) const
{
    return m_source ? m_source->columnCount() : 0;
}

bool GridModel::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0;
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_source)
        return {};
    if (isGroup(index)) {
        const Node &g = m_nodes[m_nodes[index.internalId()].groups[index.row()]];
        if (role == Qt::DisplayRole && index.column() == 0)
            return g.label;
        if (role == Qt::FontRole) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    }
    const int row = sourceRow(index);
    if (row < 0)
        return {};
    Dataset *set = dataset();
    if (arranged() && set && !set->isRowLoaded(row)) {
        // Read the rows about to show in this order, not those that follow
        // in the dataset's order.
        const std::vector<int> &rows = m_nodes[index.internalId()].rows;
        QVector<int> page;
        for (int i = index.row(); i < int(rows.size()) && page.size() < Dataset::kPageSize; ++i)
            if (!set->isRowLoaded(rows[i]))
                page << rows[i];
        set->loadRows(page);
    }
    return m_source->data(m_source->index(row, index.column()), role);
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return m_source ? m_source->headerData(section, orientation, role) : QVariant();
}

bool GridModel::canFetchMore(const QModelIndex &parent) const
{
    return !arranged() && !parent.isValid() && m_source && m_source->canFetchMore({});
}

void GridModel::fetchMore(const QModelIndex &parent)
{
    if (canFetchMore(parent))
        m_source->fetchMore({});
}
