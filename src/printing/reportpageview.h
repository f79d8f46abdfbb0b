#pragma once

#include "printing/preparedreport.h"

#include <QHash>
#include <QImage>
#include <QWidget>

// The preview area: the pages one below the other at the chosen zoom.
// Only the pages in sight are painted, so a long list opens at once.
class ReportPageView : public QWidget
{
    Q_OBJECT
public:
    explicit ReportPageView(const PreparedReport &report, QWidget *parent = nullptr);

    void setZoom(int percent);
    int zoom() const { return m_zoom; }
    QSize sizeHint() const override;
    QRect pageRect(int page) const; // where a page is drawn, in this widget
    int paintedPages() const { return m_painted; } // pages rendered so far

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double dpi() const;
    QSize pageSize() const;

    const PreparedReport &m_report;
    int m_zoom = 100;
    QHash<int, QImage> m_cache;
    int m_painted = 0;
};
