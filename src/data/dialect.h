#pragma once

#include <QString>
#include <QStringList>

class TableDef;
struct ColumnDef;

enum class Engine { SQLite, PostgreSQL };

// Everything that differs between the two engines is said here and nowhere
// else: quoting, column types, case-insensitive LIKE, date parts.
class Dialect
{
public:
    explicit Dialect(Engine e) : m_engine(e) {}

    Engine engine() const { return m_engine; }
    bool isPostgres() const { return m_engine == Engine::PostgreSQL; }

    // A column or table name as SQL text. Names are created unquoted so that
    // every letter case names the same column; the few that are SQL words
    // (Insert, Delete, ...) are quoted, on PostgreSQL in lower case.
    QString ident(const QString &name) const;

    QString columnType(const ColumnDef &c) const;
    QStringList createStatements(const TableDef &t) const;

    // "expr LIKE '%' || ? || '%' ESCAPE '\'": case-insensitive on both
    // engines. Bind escapeLike(text): a % or _ the user typed is then the
    // character itself, not a wildcard that widens the search to every row.
    // A text without letters of two cases (Chinese, digits) needs no case
    // folding: PostgreSQL then matches with LIKE, which scans a large table
    // about twice as fast as ILIKE.
    QString containsLike(const QString &expr, const QString &text = QStringLiteral("A")) const;
    // LIKE with a whole pattern of the program's own bound as one value; its
    // % and _ are wildcards, and kLikeEscape before one makes it a character.
    QString like(const QString &expr, const QString &pattern = QStringLiteral("A")) const;
    // A name column found as text or by the pinyin of its key column
    // (Condition::nameContains), for a typed text that can be pinyin; the
    // values to bind are appended. The key decides first: the typed letters
    // in order (LIKE), then the pattern (Pinyin::typedPattern; PostgreSQL's
    // ~, on SQLite brevia_name, a function of ours that Database registers on
    // every connection); the name's LIKE runs only where the key has an
    // empty token (Latin letters, digits: the name may hold the text) or
    // is missing. Most rows are read in one column, not two.
    QString nameMatches(const QString &name, const QString &key, const QString &typed, QVariantList &values) const;
    static constexpr QChar kLikeEscape = QLatin1Char('\\');
    // The text with %, _ and kLikeEscape each preceded by kLikeEscape.
    static QString escapeLike(const QString &text);
    static bool hasCase(const QString &text) { return text.toLower() != text.toUpper(); }
    QString year(const QString &expr) const;
    QString month(const QString &expr) const;
    QString boolLiteral(bool v) const;
    // "expr DESC" with empty values after every value, as SQLite sorts
    // them anyway and PostgreSQL only when told.
    QString descendingNullsLast(const QString &expr) const;
    // A bound date or date-time value compared with a column.
    QString dateParam() const;

    static bool isReservedWord(const QString &name);

private:
    Engine m_engine;
};
