#include "data/condition.h"

#include "data/dialect.h"
#include "data/pinyin.h"
#include "data/tabledef.h"

namespace {
QString dayText(const QDate &d) { return d.toString(QStringLiteral("yyyy-MM-dd")); }
// NULL and '' are both empty; the cast keeps the test valid on columns
// of any type.
QString emptyTest(const QString &col) { return QStringLiteral("COALESCE(CAST(%1 AS TEXT), '') = ''").arg(col); }
} // namespace

Condition Condition::equals(const QString &column, const QVariant &value)
{
    Condition c;
    c.m_kind = Kind::Equals;
    c.m_column = column;
    c.m_values = {value};
    return c;
}

Condition Condition::notEquals(const QString &column, const QVariant &value)
{
    Condition c = equals(column, value);
    c.m_kind = Kind::NotEquals;
    return c;
}

Condition Condition::contains(const QString &column, const QString &text)
{
    Condition c;
    c.m_kind = Kind::Contains;
    c.m_column = column;
    c.m_values = {text};
    return c;
}

Condition Condition::nameContains(const QString &column, const QString &text)
{
    Condition c = contains(column, text);
    c.m_kind = Kind::NameContains;
    return c;
}

Condition Condition::like(const QString &column, const QString &pattern)
{
    Condition c = contains(column, pattern);
    c.m_kind = Kind::Like;
    return c;
}

Condition Condition::isEmpty(const QString &column)
{
    Condition c;
    c.m_kind = Kind::Empty;
    c.m_column = column;
    return c;
}

Condition Condition::dateRange(const QString &column, const QDate &from, const QDate &to)
{
    Condition c;
    c.m_kind = Kind::DateRange;
    c.m_column = column;
    c.m_values = {from, to};
    return c;
}

Condition Condition::compare(const QString &column, const QString &op, const QVariant &value)
{
    Condition c;
    c.m_kind = Kind::Compare;
    c.m_column = column;
    static const QStringList ops{"<", "<=", ">", ">=", "=", "<>"};
    c.m_op = ops.contains(op) ? op : QStringLiteral("=");
    c.m_values = {value};
    return c;
}

Condition Condition::yearIs(const QString &column, int year)
{
    Condition c;
    c.m_kind = Kind::Year;
    c.m_column = column;
    c.m_values = {year};
    return c;
}

Condition Condition::monthIs(const QString &column, int month)
{
    Condition c = yearIs(column, month);
    c.m_kind = Kind::Month;
    return c;
}

Condition Condition::raw(const QString &sql, const QVariantList &values)
{
    Condition c;
    c.m_kind = Kind::Raw;
    c.m_column = sql;
    c.m_values = values;
    return c;
}

Condition Condition::operator&&(const Condition &other) const
{
    if (isNull())
        return other;
    if (other.isNull())
        return *this;
    Condition c;
    c.m_kind = Kind::And;
    c.m_parts = {*this, other};
    return c;
}

Condition Condition::operator||(const Condition &other) const
{
    if (isNull())
        return other;
    if (other.isNull())
        return *this;
    Condition c;
    c.m_kind = Kind::Or;
    c.m_parts = {*this, other};
    return c;
}

Condition Condition::operator!() const
{
    if (isNull())
        return *this;
    Condition c;
    c.m_kind = Kind::Not;
    c.m_parts = {*this};
    return c;
}

bool Condition::operator==(const Condition &o) const
{
    return m_kind == o.m_kind && m_column == o.m_column && m_op == o.m_op && m_values == o.m_values
        && m_parts == o.m_parts;
}

QString Condition::toSql(const Dialect &d, QVariantList &values) const
{
    const QString col = m_column.isEmpty() ? QString() : d.ident(m_column);
    switch (m_kind) {
    case Kind::None:
        return QStringLiteral("1=1");
    case Kind::Equals: {
        const QVariant &v = m_values.first();
        if (v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty()))
            return emptyTest(col);
        values << v;
        return QStringLiteral("%1 = ?").arg(col);
    }
    case Kind::NotEquals: {
        const QVariant &v = m_values.first();
        if (v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty()))
            return QStringLiteral("NOT ") + emptyTest(col);
        values << v;
        return QStringLiteral("(%1 IS NULL OR %1 <> ?)").arg(col);
    }
    case Kind::Contains:
        values << Dialect::escapeLike(m_values.first().toString());
        return d.containsLike(col, values.last().toString());
    case Kind::NameContains: {
        const QString text = m_values.first().toString();
        if (Pinyin::typedPattern(text).isEmpty()) {
            values << Dialect::escapeLike(text);
            return d.containsLike(col, values.last().toString());
        }
        return d.nameMatches(col, d.ident(TableDef::searchKeyName(m_column)), text, values);
    }
    case Kind::Like:
        values << m_values.first().toString();
        return d.like(col, values.last().toString());
    case Kind::Empty:
        return emptyTest(col);
    case Kind::DateRange: {
        const QDate from = m_values[0].toDate();
        const QDate to = m_values[1].toDate();
        QStringList parts;
        // Compared as half-open ranges of days, so that a date-time with a
        // time part on the last day is inside.
        if (from.isValid()) {
            parts << QStringLiteral("%1 >= ?").arg(col);
            values << dayText(from);
        }
        if (to.isValid()) {
            parts << QStringLiteral("%1 < ?").arg(col);
            values << dayText(to.addDays(1));
        }
        if (parts.isEmpty())
            return QStringLiteral("%1 IS NOT NULL").arg(col);
        return QLatin1Char('(') + parts.join(QStringLiteral(" AND ")) + QLatin1Char(')');
    }
    case Kind::Compare: {
        QVariant v = m_values.first();
        if (v.typeId() == QMetaType::QDate)
            v = dayText(v.toDate());
        else if (v.typeId() == QMetaType::QDateTime)
            v = v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        values << v;
        return QStringLiteral("%1 %2 ?").arg(col, m_op);
    }
    case Kind::Year:
        values << m_values.first();
        return d.year(col) + QStringLiteral(" = ?");
    case Kind::Month:
        values << m_values.first();
        return d.month(col) + QStringLiteral(" = ?");
    case Kind::Raw:
        values << m_values;
        return QLatin1Char('(') + m_column + QLatin1Char(')');
    case Kind::And:
    case Kind::Or: {
        const QString a = m_parts[0].toSql(d, values);
        const QString b = m_parts[1].toSql(d, values);
        return QStringLiteral("(%1 %2 %3)").arg(a, m_kind == Kind::And ? QStringLiteral("AND") : QStringLiteral("OR"), b);
    }
    case Kind::Not:
        return QStringLiteral("NOT (%1)").arg(m_parts[0].toSql(d, values));
    }
    return QStringLiteral("1=1");
}
