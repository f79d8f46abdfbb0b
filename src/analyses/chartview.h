#pragma once

#include "analyses/data/analysisresult.h"

#include <QImage>
#include <QWidget>

class QPainter;

// The analyses' chart: a pie with depth, its largest slice pulled out and
// every slice marked with its name and share ("0.00%"), or bars with depth
// in a colour each, marked with their label and value ("#,##0.###"), the
// largest first. Cream background, bold blue title. A dictionary entry's
// colour (0x00BBGGRR) paints its slice; the others take the chart's own.
//
// Painted here rather than by Qt Charts: its pies and bars are flat, with
// no depth for either, and its bar marks cannot carry the grouped figures.
class ChartView : public QWidget
{
    Q_OBJECT
public:
    explicit ChartView(QWidget *parent = nullptr);

    void setChart(AnalysisResult::Chart kind, const QString &title, const QVector<ChartPoint> &points);
    void clear();

    AnalysisResult::Chart kind() const { return m_kind; }
    const QString &title() const { return m_title; }
    const QVector<ChartPoint> &points() const { return m_points; }
    // Bars beyond this many are left out of the picture (the largest come
    // first, so those left out are the smallest).
    static constexpr int kMaxBars = ::kMaxBars;

    // The chart as a picture of the given size (the widget's own by
    // default), for saving as PNG and for printing.
    QImage toImage(QSize size = {}) const;
    // Paints the chart into the rectangle.
    void paint(QPainter &p, const QRectF &rect) const;

    // The width the bars need to stay readable; the pie takes any.
    int neededWidth() const;
    QSize sizeHint() const override;

    static QColor background();
    // The chart's own colour for the n-th slice or bar without one.
    static QColor autoColor(int n);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintPie(QPainter &p, const QRectF &area) const;
    void paintBars(QPainter &p, const QRectF &area) const;
    QColor colorOf(int n) const;

    AnalysisResult::Chart m_kind = AnalysisResult::Chart::Pie;
    QString m_title;
    QVector<ChartPoint> m_points;
};
