#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The kinds of column the system knows. Each engine maps them in Dialect.
enum class ColumnKind {
    Text,      // text(n): width holds n
    Memo,      // unbounded text
    Bool,      // yes/no, never NULL
    Date,      // a calendar day
    DateTime,  // a day and a time of day (date pickers store midnight)
    Integer,
    Float,
    Currency,  // renminbi, four decimals, exact (shown as money)
    Decimal,   // an amount or quantity in any currency, four decimals, exact
    AutoNumber // filled by the database, never written by the program
};

struct ColumnDef {
    QString name;
    ColumnKind kind = ColumnKind::Text;
    int width = 0;          // for Text
    bool required = false;  // NOT NULL and, for text, not empty
    bool noCase = false;    // unique regardless of letter case
    // A hidden column kept by the program: the pinyin search key (Pinyin::searchKey)
    // of the column named here, written with it on every store.
    QString searchKeyOf = QString();

    bool isText() const { return kind == ColumnKind::Text || kind == ColumnKind::Memo; }
    bool isDate() const { return kind == ColumnKind::Date || kind == ColumnKind::DateTime; }
    bool isNumber() const
    {
        return kind == ColumnKind::Integer || kind == ColumnKind::Float || kind == ColumnKind::Currency
            || kind == ColumnKind::Decimal || kind == ColumnKind::AutoNumber;
    }
    // Kept as exact ten-thousandths (Money): INTEGER on SQLite, NUMERIC on PostgreSQL.
    bool isMoney() const { return kind == ColumnKind::Currency || kind == ColumnKind::Decimal;
    }
};

struct IndexDef {
    QStringList columns;
    bool unique = false;
};

// The description of one table: its columns in their stored order, the key
// that addresses a row, and its indexes. Everything that knows a table
// (the schema, datasets, the importer) reads it from here.
class TableDef
{
public:
    TableDef() = default;
    TableDef(QString name, QVector<ColumnDef> columns);

    TableDef &primaryKey(QStringList columns);
    TableDef &unique(QStringList columns);
    TableDef &index(QStringList columns);
    TableDef &orderBy(QStringList columns);
    // Name columns found by pinyin: each gets a hidden key column "<name>Py".
    TableDef &searchKeys(const QStringList &columns);
    static QString searchKeyName(const QString &column) { return column + QStringLiteral("Py"); }

    const QString &name() const { return m_name; }
    const QVector<ColumnDef> &columns() const { return m_columns; }
    const QStringList &primaryKeyColumns() const { return m_primaryKey; }
    const QVector<IndexDef> &indexes() const { return m_indexes; }
    const QStringList &defaultOrder() const { return m_order; }

    // The columns that identify one row: the primary key, else the
    // auto-number column, else the first unique index.
    QStringList rowKey() const;
    QString autoNumberColumn() const;

    int indexOf(const QString &column) const; // case-insensitive, -1 when absent
    const ColumnDef *column(const QString &name) const;
    QStringList columnNames() const;
    // The key column of a name column found by pinyin; empty when it has none.
    QString searchKeyColumn(const QString &column) const;
    bool hasSearchKeys() const;

private:
    QString m_name;
    QVector<ColumnDef> m_columns;
    QStringList m_primaryKey;
    QVector<IndexDef> m_indexes;
    QStringList m_order;
};

// Short constructors that keep the schema readable.
namespace col {
inline ColumnDef text(const QString &n, int w) { return {n, ColumnKind::Text, w}; }
inline ColumnDef reqText(const QString &n, int w) { return {n, ColumnKind::Text, w, true}; }
inline ColumnDef memo(const QString &n) { return {n, ColumnKind::Memo}; }
inline ColumnDef yesNo(const QString &n) { return {n, ColumnKind::Bool}; }
inline ColumnDef date(const QString &n) { return {n, ColumnKind::Date}; }
inline ColumnDef dateTime(const QString &n) { return {n, ColumnKind::DateTime}; }
inline ColumnDef integer(const QString &n) { return {n, ColumnKind::Integer}; }
inline ColumnDef real(const QString &n) { return {n, ColumnKind::Float}; }
inline ColumnDef currency(const QString &n) { return {n, ColumnKind::Currency}; }
inline ColumnDef decimal(const QString &n) { return {n, ColumnKind::Decimal}; }
inline ColumnDef autoNumber(const QString &n) { return {n, ColumnKind::AutoNumber}; }
} // namespace col
