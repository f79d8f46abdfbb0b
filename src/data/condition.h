#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

class Dialect;

// A row condition made of column names and bound values. User text never
// becomes SQL text: it is always a bound value, so a quote is an ordinary
// character and no text can widen a search.
class Condition
{
public:
    Condition() = default;

    static Condition equals(const QString &column, const QVariant &value); // NULL matches NULL and ''
    static Condition notEquals(const QString &column, const QVariant &value);
    static Condition contains(const QString &column, const QString &text); // case-insensitive, % and _ in text are characters
    // A name column that has a pinyin key (TableDef::searchKeys): contains
    // the text as contains() does, or is found by the text as pinyin
    // (Pinyin::typedPattern on its key column).
    static Condition nameContains(const QString &column, const QString &text);
    static Condition like(const QString &column, const QString &pattern); // the program's own pattern: % and _ are wildcards
    static Condition isEmpty(const QString &column); // NULL or ''
    // Whole days from..to inclusive on a date or date-time column; an
    // invalid bound leaves that side open.
    static Condition dateRange(const QString &column, const QDate &from, const QDate &to);
    static Condition compare(const QString &column, const QString &op, const QVariant &value); // <, <=, >, >=
    static Condition yearIs(const QString &column, int year);
    static Condition monthIs(const QString &column, int month);
    // A fixed SQL fragment from the program itself with '?' for each value.
    static Condition raw(const QString &sql, const QVariantList &values = {});

    Condition operator&&(const Condition &other) const;
    Condition operator||(const Condition &other) const;
    Condition operator!() const;

    bool isNull() const { return m_kind == Kind::None; }
    bool operator==(const Condition &other) const;

    // The SQL for the given engine; the values to bind are appended.
    QString toSql(const Dialect &d, QVariantList &values) const;

private:
    enum class Kind { None, Equals, NotEquals, Contains, NameContains, Like, Empty, DateRange, Compare, Year, Month, Raw, And, Or, Not };
    Kind m_kind = Kind::None;
    QString m_column;
    QString m_op;
    QVariantList m_values;
    QVector<Condition> m_parts;
};
