#include "analyses/data/figurereader.h"

#include "data/database.h"
#include "data/schema.h"
#include "data/tabledef.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {
FigureReader::Observer &observer()
{
    static FigureReader::Observer o;
    return o;
}
} // namespace

FigureReader::FigureReader(Database &db, AnalysisResult &result) : m_db(db), m_result(result) {}

void FigureReader::setObserver(Observer o) { observer() = std::move(o); }

bool FigureReader::exec(QSqlQuery &q, const QString &sql, const QVariantList &values)
{
    if (failed())
        return false;
    if (observer())
        observer()(sql, values);
    // PostgreSQL's NUMERIC sums come as their decimal text, not a double.
    if (m_db.isPostgres())
        q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    QString error;
    if (!m_db.prepareAndExec(q, sql, values, &error)) {
        m_result.error = error.isEmpty() ? QStringLiteral("查询失败") : error;
        return false;
    }
    return true;
}

std::optional<QString> FigureReader::count(const QString &sql, const QVariantList &values)
{
    QSqlQuery q(m_db.sql());
    if (!exec(q, sql, values))
        return std::nullopt;
    return QString::number(q.next() ? q.value(0).toLongLong() : 0);
}

std::optional<Money> FigureReader::money(const QVariant &stored) const
{
    if (stored.isNull())
        return std::nullopt;
    // Any amount column says how the engine keeps amounts.
    static const ColumnDef *const rmb = Schema::table(QStringLiteral("tblOperates"))->column(QStringLiteral("RMB"));
    return Money::fromVariant(m_db.fromDb(rmb, stored));
}

std::optional<Money> FigureReader::amount(const QString &sql, const QVariantList &values)
{
    QSqlQuery q(m_db.sql());
    if (!exec(q, sql, values) || !q.next())
        return std::nullopt;
    return money(q.value(0));
}

bool FigureReader::rows(const QString &sql, const QVariantList &values,
                        const std::function<void(const QSqlQuery &)> &row)
{
    QSqlQuery q(m_db.sql());
    if (!exec(q, sql, values))
        return false;
    while (q.next())
        row(q);
    if (q.lastError().isValid()) {
        m_result.error = m_db.errorText(q.lastError());
        return false;
    }
    return true;
}

FigureReader::Period FigureReader::period(const QString &column, const QDate &from, const QDate &to) const
{
    static const ColumnDef *const created =
        Schema::table(QStringLiteral("tblOperates"))->column(QStringLiteral("CreateDate"));
    Period p;
    if (from.isValid()) {
        p.condition += QStringLiteral(" AND %1 >= ?").arg(column);
        p.values << m_db.toDb(created, from.startOfDay());
    }
    if (to.isValid()) {
        p.condition += QStringLiteral(" AND %1 < ?").arg(column);
        p.values << m_db.toDb(created, to.addDays(1).startOfDay());
    }
    return p;
}
