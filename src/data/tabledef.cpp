#include "data/tabledef.h"

#include <algorithm>

TableDef::TableDef(QString name, QVector<ColumnDef> columns)
    : m_name(std::move(name)), m_columns(std::move(columns))
{
}

TableDef &TableDef::primaryKey(QStringList columns)
{
    m_primaryKey = std::move(columns);
    return *this;
}

TableDef &TableDef::unique(QStringList columns)
{
    m_indexes.append({std::move(columns), true});
    return *this;
}

TableDef &TableDef::index(QStringList columns)
{
    m_indexes.append({std::move(columns), false});
    return *this;
}

TableDef &TableDef::orderBy(QStringList columns)
{
    m_order = std::move(columns);
    return *this;
}

TableDef &TableDef::searchKeys(const QStringList &columns)
{
    for (const QString &c : columns) {
        ColumnDef key{searchKeyName(c), ColumnKind::Memo};
        key.searchKeyOf = c;
        m_columns.append(key);
    }
    return *this;
}

QString TableDef::searchKeyColumn(const QString &column) const
{
    for (const auto &c : m_columns)
        if (!c.searchKeyOf.isEmpty() && c.searchKeyOf.compare(column, Qt::CaseInsensitive) == 0)
            return c.name;
    return {};
}

bool TableDef::hasSearchKeys() const
{
    return std::any_of(m_columns.begin(), m_columns.end(), [](const ColumnDef &c) { return !c.searchKeyOf.isEmpty(); });
}

QString TableDef::autoNumberColumn() const
{
    for (const auto &c : m_columns)
        if (c.kind == ColumnKind::AutoNumber)
            return c.name;
    return {};
}

QStringList TableDef::rowKey() const
{
    if (!m_primaryKey.isEmpty())
        return m_primaryKey;
    const QString autoCol = autoNumberColumn();
    if (!autoCol.isEmpty())
        return {autoCol};
    for (const auto &ix : m_indexes)
        if (ix.unique)
            return ix.columns;
    return {};
}

int TableDef::indexOf(const QString &column) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].name.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const ColumnDef *TableDef::column(const QString &name) const
{
    const int i = indexOf(name);
    return i < 0 ? nullptr : &m_columns[i];
}

QStringList TableDef::columnNames() const
{
    QStringList names;
    for (const auto &c : m_columns)
        names << c.name;
    return names;
}
