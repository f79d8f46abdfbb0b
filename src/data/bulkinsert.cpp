#include "data/bulkinsert.h"

#include "data/database.h"
#include "data/pinyin.h"
#include "data/schema.h"
#include "data/searchkeys.h"
#include "data/tabledef.h"

#include <QSqlError>

namespace {
// Bound values per statement stay well below what either engine accepts
// (SQLite 32766, PostgreSQL 65535); more rows per statement gain little.
constexpr int kMaxValues = 4000;
constexpr int kMaxRows = 250;
} // namespace

BulkInsert::BulkInsert(Database &db, const QString &table, const QStringList &columns)
    : m_db(db), m_table(table), m_full(db.sql())
{
    const TableDef *t = Schema::table(table);
    QStringList all = columns;
    if (t) {
        // Names go in with their pinyin keys, worked out here row by row.
        const SearchKeys::Appended keys = SearchKeys::appendedTo(*t, columns);
        all << keys.keyColumns;
        m_keySources = keys.sourceAt;
    }
    m_given = int(columns.size());
    for (const QString &name : all) {
        const ColumnDef *c = t ? t->column(name) : nullptr;
        m_defs << c;
        m_idents << db.dialect().ident(c ? c->name : name);
    }
    m_perStatement = std::clamp(kMaxValues / std::max(1, int(all.size())), 1, kMaxRows);
    m_pending.reserve(m_perStatement * all.size());
}

QString BulkInsert::statement(int rows) const
{
    QString one = QStringLiteral("(");
    for (int i = 0; i < m_idents.size(); ++i)
        one += i ? QStringLiteral(", ?") : QStringLiteral("?");
    one += QLatin1Char(')');
    QStringList all;
    for (int r = 0; r < rows; ++r)
        all << one;
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(m_table, m_idents.join(QStringLiteral(", ")), all.join(QStringLiteral(", ")));
}

QString BulkInsert::add(const QVariantList &values)
{
    if (values.size() != m_given)
        return QStringLiteral("数据库错误：%1 的值个数不对").arg(m_table);
    for (int i = 0; i < values.size(); ++i)
        m_pending << m_db.toDb(m_defs[i], values[i]);
    for (const int source : std::as_const(m_keySources))
        m_pending << Pinyin::searchKey(values[source].toString());
    if (m_pending.size() >= m_perStatement * m_defs.size())
        return send(m_perStatement);
    return {};
}

QString BulkInsert::flush()
{
    const int rows = m_defs.isEmpty() ? 0 : int(m_pending.size() / m_defs.size());
    return rows > 0 ? send(rows) : QString();
}

QString BulkInsert::send(int rows)
{
    QSqlQuery partial(m_db.sql());
    QSqlQuery *q = &partial;
    if (rows == m_perStatement) {
        if (!m_fullPrepared) {
            m_full.setForwardOnly(true);
            if (!m_full.prepare(statement(rows)))
                return m_db.errorText(m_full.lastError());
            m_fullPrepared = true;
        }
        q = &m_full;
    } else {
        // The last, shorter batch of a table: prepared once and dropped.
        partial.setForwardOnly(true);
        if (!partial.prepare(statement(rows)))
            return m_db.errorText(partial.lastError());
    }
    for (int i = 0; i < m_pending.size(); ++i)
        q->bindValue(i, m_pending[i]);
    const bool ok = q->exec();
    m_pending.clear();
    if (!ok)
        return m_db.errorText(q->lastError());
    m_written += rows;
    return {};
}
