#include "data/datasetmodel.h"

#include "data/dataset.h"
#include "data/format.h"
#include "data/money.h"
#include "data/tabledef.h"

DatasetModel::DatasetModel(Dataset *dataset, QObject *parent) : QAbstractTableModel(parent), m_dataset(dataset)
{
    reset();
    connect(dataset, &Dataset::rowsReset, this, &DatasetModel::reset);
    connect(dataset, &Dataset::rowsAboutToBeAppended, this, [this](int first, int last) {
        m_busy = true;
        beginInsertRows({}, first, last);
    });
    connect(dataset, &Dataset::rowsAppended, this, [this] {
        m_count = m_dataset->rowCount();
        endInsertRows();
        m_busy = false;
    });
    connect(dataset, &Dataset::rowAboutToBeInserted, this, [this](int row) { beginInsertRows({}, row, row); });
    connect(dataset, &Dataset::rowInserted, this, [this] {
        m_count = m_dataset->rowCount();
        endInsertRows();
    });
    connect(dataset, &Dataset::rowAboutToBeRemoved, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(dataset, &Dataset::rowRemoved, this, [this] {
        m_count = m_dataset->rowCount();
        endRemoveRows();
    });
    connect(dataset, &Dataset::rowChanged, this, [this](int row) {
        if (row >= 0 && row < m_count && !m_columns.isEmpty())
            emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
    });
    connect(dataset, &Dataset::lookupsChanged, this, [this] {
        if (m_count > 0 && !m_columns.isEmpty())
            emit dataChanged(index(0, 0), index(m_count - 1, int(m_columns.size()) - 1));
    });
}

void DatasetModel::setColumns(const QVector<Column> &columns)
{
    beginResetModel();
    m_columns = columns;
    m_autoColumns = columns.isEmpty();
    if (m_autoColumns)
        for (const QString &f : m_dataset->fieldNames())
            m_columns.append({f, f});
    m_count = m_dataset->rowCount();
    endResetModel();
}

void DatasetModel::reset()
{
    beginResetModel();
    if (m_autoColumns) {
        m_columns.clear();
        for (const QString &f : m_dataset->fieldNames())
            m_columns.append({f, f});
    }
    m_count = m_dataset ? m_dataset->rowCount() : 0;
    // Views ask for more rows while they hear of the reset; they get them
    // at their next request instead.
    m_busy = true;
    endResetModel();
    m_busy = false;
}

QString DatasetModel::fieldAt(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns[column].field : QString();
}

int DatasetModel::columnOf(const QString &field) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int DatasetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_count;
}

int DatasetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

// Numbers and money stand right-aligned, so that their places line up.
bool DatasetModel::isNumeric(const QString &field, int row) const
{
    if (const ColumnDef *def = m_dataset->columnDef(field)) {
        switch (def->kind) {
        case ColumnKind::Integer:
        case ColumnKind::Float:
        case ColumnKind::Currency:
        case ColumnKind::Decimal:
        case ColumnKind::AutoNumber:
            return true;
        default:
            return false;
        }
    }
    // A computed column of a query: the value tells.
    switch (m_dataset->value(row, field).typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return m_dataset->value(row, field).userType() == qMetaTypeId<Money>();
    }
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const
{
    if (!m_dataset || !index.isValid() || index.row() >= m_count)
        return {};
    const QString &field = m_columns[index.column()].field;
    switch (role) {
    case Qt::DisplayRole: {
        const QVariant v = m_dataset->value(index.row(), field);
        if (v.userType() == qMetaTypeId<Money>()) {
            // Renminbi in the money form, amounts of other currencies grouped.
            const ColumnDef *def = m_dataset->columnDef(field);
            const Money m = v.value<Money>();
            return def && def->kind == ColumnKind::Currency ? m.toCurrencyText() : m.toGrouped();
        }
        return Format::display(v);
    }
    case Qt::EditRole:
        return m_dataset->value(index.row(), field);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(isNumeric(field, index.row()) ? Qt::AlignRight | Qt::AlignVCenter
                                                                                 : Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < m_columns.size() ? m_columns[section].caption : QVariant();
    return section + 1;
}

bool DatasetModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_busy && m_dataset && m_dataset->canFetchMore();
}

void DatasetModel::fetchMore(const QModelIndex &parent)
{
    if (!parent.isValid() && !m_busy && m_dataset)
        m_dataset->fetchMore(); // announces the new rows through rowsAppended
}
