#include "printing/reportpageview.h"

#include "printing/reportrenderer.h"

#include <QPaintEvent>
#include <QPainter>

namespace {
const int kGap = 12; // grey space around each page
}

ReportPageView::ReportPageView(const PreparedReport &report, QWidget *parent) : QWidget(parent), m_report(report)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    setPalette(pal);
    resize(sizeHint());
}

void ReportPageView::setZoom(int percent)
{
    if (percent == m_zoom || percent <= 0)
        return;
    m_zoom = percent;
    m_cache.clear();
    resize(sizeHint());
    updateGeometry();
    update();
}

double ReportPageView::dpi() const { return logicalDpiX() * m_zoom / 100.0; }

QSize ReportPageView::pageSize() const
{
    const double s = dpi() / 25.4;
    return QSize(qRound(m_report.pageSizeMm.width() * s), qRound(m_report.pageSizeMm.height() * s));
}

QSize ReportPageView::sizeHint() const
{
    const QSize p = pageSize();
    const int n = int(m_report.pages.size());
    return QSize(p.width() + 2 * kGap, n * (p.height() + kGap) + kGap);
}

QRect ReportPageView::pageRect(int page) const
{
    const QSize p = pageSize();
    const int x = std::max(kGap, (width() - p.width()) / 2);
    return QRect(QPoint(x, kGap + page * (p.height() + kGap)), p);
}

void ReportPageView::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    const int step = pageSize().height() + kGap;
    if (step <= 0)
        return;
    const int first = std::max(0, (event->rect().top() - kGap) / step);
    const int last = std::min(int(m_report.pages.size()) - 1, event->rect().bottom() / step);
    for (int i = first; i <= last; ++i) {
        const QRect r = pageRect(i);
        if (!r.intersects(event->rect()))
            continue;
        // Drawn at the screen's own pixels: on a scaled screen a picture
        // made at the logical size would be blown up and blurred.
        const qreal ratio = devicePixelRatioF();
        auto it = m_cache.constFind(i);
        if (it == m_cache.constEnd() || !qFuzzyCompare(it.value().devicePixelRatio(), ratio)) {
            // Keep only a handful of page pictures; they are quick to redo.
            if (m_cache.size() > 8)
                m_cache.clear();
            QImage page = ReportRenderer::pageImage(m_report, i, dpi() * ratio);
            page.setDevicePixelRatio(ratio);
            it = m_cache.insert(i, page);
            ++m_painted;
        }
        p.drawImage(r.topLeft(), it.value());
    }
}
