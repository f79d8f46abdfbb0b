#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

// Income contracts ("收款") or expense contracts ("付款").
enum class Direction { Income, Expense };

inline QString directionText(Direction d) { return d == Direction::Income ? QStringLiteral("收款") : QStringLiteral("付款"); }

// The bar charts draw at most this many bars, the largest; the windows ask
// for one more, so the chart can say that there were more.
constexpr int kMaxBars = 400;

// One slice of a pie or one bar: its label, its figure (a count or an
// amount; empty when the database summed nothing) and the dictionary
// entry's colour as stored (0x00BBGGRR; null leaves it to the chart).
struct ChartPoint {
    QString label;
    double value = 0;
    bool empty = false;
    QVariant colorId;
};

// What one refresh of an analysis shows: the list panel's lines in order,
// the chart's title and points. A failed query stops the analysis; what
// was built until then stays, with the database's text in error.
struct AnalysisResult {
    enum class Chart { Pie, Bars };
    Chart chart = Chart::Pie;
    QStringList lines;
    QString title;
    QVector<ChartPoint> points;
    QString error;

    bool ok() const { return error.isEmpty(); }
};
