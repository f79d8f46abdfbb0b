#pragma once

#include "analyses/data/analysisresult.h"
#include "data/money.h"

#include <QDate>
#include <QString>
#include <QVariantList>

#include <functional>
#include <optional>

class Database;
class QSqlQuery;

// Runs the statements of one analysis on the connection and writes what
// they answer into its result: every statement bound (no value is ever
// written into the text), every figure read in its exact form (counts as
// whole numbers, sums of renminbi and contract amounts as Money). After
// the first failure every call does nothing and answers false, so an
// analysis reads as its list of steps and stops where the database did.
class FigureReader
{
public:
    FigureReader(Database &db, AnalysisResult &result);

    Database &db() const { return m_db; }
    bool failed() const { return !m_result.error.isEmpty(); }

    // The first column of the only row as a count: its text, "0" for none.
    std::optional<QString> count(const QString &sql, const QVariantList &values = {});
    // The first column of the only row as an amount; nullopt when the
    // database summed nothing (no rows, or only empty amounts) or failed.
    std::optional<Money> amount(const QString &sql, const QVariantList &values = {});
    // Every row, in the order the database gives them.
    bool rows(const QString &sql, const QVariantList &values, const std::function<void(const QSqlQuery &)> &row);

    // Columns of an amount read as Money.
    std::optional<Money> money(const QVariant &stored) const;

    // Bound values of a period: the start of its first day and the start
    // of the day after its last, so rows entered at any time of the last
    // day count. An invalid date leaves that end open.
    struct Period {
        QString condition; // " AND col >= ? AND col < ?", or less
        QVariantList values;
    };
    Period period(const QString &column, const QDate &from, const QDate &to) const;

    void add(const QString &line) { m_result.lines << line; }

    // Told every statement before it runs, with its values; the benchmark
    // runs the same statements in the database's own shell.
    using Observer = std::function<void(const QString &sql, const QVariantList &values)>;
    static void setObserver(Observer observer);

private:
    bool exec(QSqlQuery &q, const QString &sql, const QVariantList &values);

    Database &m_db;
    AnalysisResult &m_result;
};

// The texts of an amount and a count as the list shows them: plain
// decimals without grouping, nothing for an empty sum.
inline QString amountText(const std::optional<Money> &m) { return m ? m->toString() : QString(); }
