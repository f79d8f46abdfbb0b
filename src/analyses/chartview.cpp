#include "analyses/chartview.h"

#include "analyses/data/analysisformat.h"
#include "ui/colorchooser.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kTilt = 0.62;       // the pie seen from above at a slant: height / width
constexpr double kPieDepth = 0.2;    // of the pie's height on the screen
constexpr double kExplode = 0.1;     // of the radius
constexpr double kMinBarSlot = 28;   // pixels per bar before the chart scrolls
constexpr double kLabelWidth = 0.28; // of the chart's width, at most, per pie label

double radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// Ticks of 1, 2 or 5 times a power of ten, about five of them.
double niceStep(double range)
{
    if (range <= 0)
        return 1;
    const double raw = range / 5.0;
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    const double f = raw / mag;
    return (f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10) * mag;
}

struct Label {
    int slice;
    QPointF anchor; // on the pie's edge
    double y;       // where its text sits, after making room
    bool right;
};

// Moves the labels of one side apart so no two overlap, within top..bottom.
void spread(QVector<Label *> &side, double lineHeight, double top, double bottom)
{
    std::sort(side.begin(), side.end(), [](const Label *a, const Label *b) { return a->y < b->y; });
    double next = top;
    for (Label *l : side) {
        l->y = std::max(l->y, next);
        next = l->y + lineHeight;
    }
    double last = bottom;
    for (auto it = side.rbegin(); it != side.rend(); ++it) {
        (*it)->y = std::min((*it)->y, last - lineHeight);
        last = (*it)->y;
    }
}

} // namespace

ChartView::ChartView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Chart"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 160);
}

QColor ChartView::background() { return QColor(255, 251, 240); }

QColor ChartView::autoColor(int n)
{
    static const QColor palette[] = {
        QColor(0x4F, 0x81, 0xBD), QColor(0xC0, 0x50, 0x4D), QColor(0x9B, 0xBB, 0x59), QColor(0x80, 0x64, 0xA2),
        QColor(0x4B, 0xAC, 0xC6), QColor(0xF7, 0x96, 0x46), QColor(0x2C, 0x4D, 0x75), QColor(0x77, 0x2C, 0x2A),
        QColor(0x5F, 0x75, 0x30), QColor(0x4D, 0x3B, 0x62), QColor(0x27, 0x6A, 0x7C), QColor(0xB6, 0x57, 0x08),
        QColor(0x72, 0x9A, 0xCA), QColor(0xCD, 0x7F, 0x7D), QColor(0xAF, 0xC9, 0x7A), QColor(0xFF, 0xD7, 0x00)};
    return palette[n % int(std::size(palette))];
}

QColor ChartView::colorOf(int n) const
{
    const QVariant &id = m_points[n].colorId;
    if (!id.isNull() && id.isValid())
        return colorFromId(id.toLongLong());
    return autoColor(n);
}

void ChartView::setChart(AnalysisResult::Chart kind, const QString &title, const QVector<ChartPoint> &points)
{
    m_kind = kind;
    m_title = title;
    m_points = points;
    // Bars that do not fit stay readable: the chart grows and its area scrolls.
    setMinimumWidth(std::max(200, neededWidth()));
    updateGeometry();
    update();
}

void ChartView::clear() { setChart(m_kind, {}, {}); }

int ChartView::neededWidth() const
{
    if (m_kind != AnalysisResult::Chart::Bars)
        return 0;
    const int n = std::min<int>(m_points.size(), kMaxBars);
    return int(90 + n * kMinBarSlot);
}

QSize ChartView::sizeHint() const { return {std::max(400, neededWidth()), 300}; }

QImage ChartView::toImage(QSize size) const
{
    if (!size.isValid())
        size = this->size();
    QImage img(size, QImage::Format_RGB32);
    img.fill(background());
    QPainter p(&img);
    p.setFont(font());
    paint(p, QRectF(QPointF(0, 0), QSizeF(size)));
    return img;
}

void ChartView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paint(p, rect());
}

void ChartView::paint(QPainter &p, const QRectF &rect) const
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(rect, background());
    QRectF area = rect.adjusted(8, 6, -8, -8);
    if (!m_title.isEmpty()) {
        QFont f = p.font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * 1.25);
        p.setFont(f);
        p.setPen(QColor(0, 0, 255));
        const double h = QFontMetricsF(f).height();
        // A chart wider than its window (many bars) keeps its title over
        // the part shown first.
        double width = area.width();
        if (parentWidget() && parentWidget()->width() > 100)
            width = std::min(width, double(parentWidget()->width()) - 16);
        p.drawText(QRectF(area.left(), area.top(), width, h), Qt::AlignHCenter | Qt::AlignVCenter, m_title);
        area.setTop(area.top() + h + 6);
        p.setFont(font());
    }
    if (!m_points.isEmpty() && area.width() > 40 && area.height() > 40) {
        if (m_kind == AnalysisResult::Chart::Pie)
            paintPie(p, area);
        else
            paintBars(p, area);
    }
    p.restore();
}

void ChartView::paintPie(QPainter &p, const QRectF &area) const
{
    double total = 0;
    int largest = -1;
    for (int i = 0; i < m_points.size(); ++i) {
        const ChartPoint &pt = m_points[i];
        if (pt.empty || pt.value <= 0)
            continue;
        total += pt.value;
        if (largest < 0 || pt.value > m_points[largest].value)
            largest = i;
    }
    if (total <= 0)
        return; // nothing has a share: no visible slice

    const QFontMetricsF fm(p.font());
    const double lineHeight = fm.height();
    struct Slice {
        int index;
        double start, span, mid; // degrees, counter-clockwise from three o'clock
        QPointF offset;
    };
    QVector<Slice> slices;
    double angle = 90; // from twelve o'clock, clockwise
    for (int i = 0; i < m_points.size(); ++i) {
        const ChartPoint &pt = m_points[i];
        if (pt.empty || pt.value <= 0)
            continue;
        const double span = -360.0 * pt.value / total;
        slices.push_back({i, angle, span, angle + span / 2, {}});
        angle += span;
    }

    // Each side of the pie is as wide as its own labels.
    QStringList texts;
    double sideWidth[2] = {0, 0}; // left, right
    const double maxLabel = area.width() * kLabelWidth;
    for (const ChartPoint &pt : m_points) {
        // The share is always shown whole; a long name gives way.
        const QString share = QLatin1Char(' ') + AnalysisFormat::percent(pt.empty ? 0 : pt.value / total);
        texts << fm.elidedText(pt.label, Qt::ElideRight, maxLabel - fm.horizontalAdvance(share)) + share;
    }
    for (const Slice &sl : slices) {
        const int side = std::cos(radians(sl.mid)) >= 0 ? 1 : 0;
        sideWidth[side] = std::max(sideWidth[side], fm.horizontalAdvance(texts[sl.index]));
    }
    // The pie takes what the labels at either side leave.
    const double reach = 1 + kExplode;
    const double rxByWidth = (area.width() - sideWidth[0] - sideWidth[1] - 2 * 22) / (2 * reach);
    const double rxByHeight = (area.height() - 2 * lineHeight) / ((2 * kTilt) * reach + kPieDepth * 2 * kTilt);
    const double rx = std::max(24.0, std::min(rxByWidth, rxByHeight));
    const double ry = rx * kTilt;
    const double depth = kPieDepth * 2 * ry;
    const double spare = std::max(0.0, area.width() - sideWidth[0] - sideWidth[1] - 2 * 22 - 2 * reach * rx);
    const QPointF centre(area.left() + spare / 2 + sideWidth[0] + 22 + reach * rx, area.center().y() - depth / 2);
    const QRectF ellipse(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry);
    if (slices.size() > 1)
        for (Slice &sl : slices)
            if (sl.index == largest)
                sl.offset = QPointF(std::cos(radians(sl.mid)) * kExplode * rx, -std::sin(radians(sl.mid)) * kExplode * ry);

    // Back to front: the sides of the near slices cover the far ones.
    QVector<Slice> order = slices;
    std::stable_sort(order.begin(), order.end(),
                     [](const Slice &a, const Slice &b) { return std::sin(radians(a.mid)) > std::sin(radians(b.mid)); });
    const int layers = order.size() > 150 ? 1 : std::max(1, int(std::ceil(depth)));
    for (const Slice &s : order) {
        const QColor c = colorOf(s.index);
        const QColor side = c.darker(150);
        p.setPen(QPen(side, 1));
        p.setBrush(side);
        for (int k = layers; k >= 1; --k) {
            const double dy = depth * k / layers;
            p.drawPie(ellipse.translated(s.offset + QPointF(0, dy)), int(std::lround(s.start * 16)),
                      int(std::lround(s.span * 16)));
        }
        p.setPen(QPen(c.darker(125), 0.8));
        p.setBrush(c);
        p.drawPie(ellipse.translated(s.offset), int(std::lround(s.start * 16)), int(std::lround(s.span * 16)));
    }

    // Marks: name and share beside each slice, joined to its edge.
    QVector<Label> labels;
    for (const Slice &s : slices) {
        const double c = std::cos(radians(s.mid)), sn = std::sin(radians(s.mid));
        QPointF anchor = centre + s.offset + QPointF(c * rx, -sn * ry);
        if (sn < 0)
            anchor.ry() += depth / 2;
        labels.push_back({s.index, anchor, anchor.y() - lineHeight / 2 - sn * lineHeight * 0.6, c >= 0});
    }
    const double capacity = std::floor(area.height() / lineHeight);
    for (bool right : {false, true}) {
        QVector<Label *> side;
        for (Label &l : labels)
            if (l.right == right)
                side << &l;
        // More labels than lines: the largest slices keep theirs.
        if (side.size() > capacity) {
            std::stable_sort(side.begin(), side.end(), [this](const Label *a, const Label *b) {
                return m_points[a->slice].value > m_points[b->slice].value;
            });
            for (int i = int(capacity); i < side.size(); ++i)
                side[i]->slice = -1;
            side.resize(int(capacity));
        }
        spread(side, lineHeight, area.top(), area.bottom());
    }
    p.setBrush(Qt::NoBrush);
    for (const Label &l : labels) {
        if (l.slice < 0)
            continue;
        const double width = sideWidth[l.right ? 1 : 0];
        const double textX = l.right ? centre.x() + rx * reach + 18 : centre.x() - rx * reach - 18 - width;
        const QRectF box(textX, l.y, width, lineHeight);
        const QPointF joint(l.right ? box.left() - 3 : box.right() + 3, box.center().y());
        p.setPen(QPen(QColor(90, 90, 90), 0.8));
        p.drawLine(l.anchor, joint);
        p.setPen(Qt::black);
        p.drawText(box, (l.right ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter | Qt::TextDontClip,
                   texts[l.slice]);
    }
}

void ChartView::paintBars(QPainter &p, const QRectF &area) const
{
    const int n = std::min<int>(m_points.size(), kMaxBars);
    QFont small = p.font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    p.setFont(small);
    const QFontMetricsF fm(small);

    double lo = 0, hi = 0;
    QStringList values;
    double valueWidth = 0, labelWidth = 0;
    for (int i = 0; i < n; ++i) {
        const ChartPoint &pt = m_points[i];
        const double v = pt.empty ? 0 : pt.value;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        values << (pt.empty ? QString() : AnalysisFormat::number(pt.value));
        valueWidth = std::max(valueWidth, fm.horizontalAdvance(values.last()));
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(pt.label));
    }
    if (hi == lo)
        hi = lo + 1;
    const double step = niceStep(hi - lo);
    const double axisLo = std::floor(lo / step) * step, axisHi = std::ceil(hi / step) * step;

    double tickWidth = 0;
    for (double v = axisLo; v <= axisHi + step / 2; v += step)
        tickWidth = std::max(tickWidth, fm.horizontalAdvance(AnalysisFormat::number(v)));
    const double left = area.left() + tickWidth + 8;
    const double slot = (area.right() - 14 - left) / n;
    const double barWidth = std::max(4.0, slot * 0.6);
    const double depth = std::min(12.0, barWidth * 0.35);
    // Marks that do not fit across a bar stand upright.
    const bool valuesUpright = valueWidth > slot - 2;
    const bool labelsUpright = labelWidth > slot - 2;
    const double maxUpright = std::min(110.0, area.height() * 0.25);
    const double bottomSpace = labelsUpright ? std::min(maxUpright, labelWidth) + 6 : fm.height() + 4;
    const double topSpace = (valuesUpright ? std::min(maxUpright, valueWidth) : fm.height()) + depth + 4;
    // Bars below zero carry their marks under them.
    const double belowSpace = lo < 0 ? topSpace - depth : 0;
    const QRectF plot(left, area.top() + topSpace, area.right() - 14 - left,
                      area.height() - topSpace - bottomSpace - belowSpace);
    if (plot.height() < 20)
        return;
    const auto yOf = [&](double v) { return plot.bottom() - (v - axisLo) / (axisHi - axisLo) * plot.height(); };

    // The axis with its grid.
    p.setPen(QPen(QColor(200, 200, 200), 0.8, Qt::DotLine));
    for (double v = axisLo; v <= axisHi + step / 2; v += step) {
        const double y = yOf(v);
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.save();
        p.setPen(Qt::black);
        p.drawText(QRectF(area.left(), y - fm.height() / 2, tickWidth, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                   AnalysisFormat::number(std::abs(v) < step / 1e6 ? 0 : v));
        p.restore();
    }
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(plot.topLeft(), plot.bottomLeft());
    const double zero = yOf(0);
    p.drawLine(QPointF(plot.left(), zero), QPointF(plot.right(), zero));

    for (int i = 0; i < n; ++i) {
        const ChartPoint &pt = m_points[i];
        const double x = plot.left() + i * slot + (slot - barWidth) / 2;
        const double y = yOf(pt.empty ? 0 : pt.value);
        const double top = std::min(y, zero), bottom = std::max(y, zero);
        const QColor c = autoColor(i);
        p.setPen(QPen(c.darker(140), 0.6));
        p.setBrush(c.darker(130));
        p.drawPolygon(QPolygonF({QPointF(x + barWidth, top), QPointF(x + barWidth + depth, top - depth),
                                 QPointF(x + barWidth + depth, bottom - depth), QPointF(x + barWidth, bottom)}));
        p.setBrush(c.lighter(125));
        p.drawPolygon(QPolygonF({QPointF(x, top), QPointF(x + depth, top - depth),
                                 QPointF(x + barWidth + depth, top - depth), QPointF(x + barWidth, top)}));
        p.setBrush(c);
        p.drawRect(QRectF(x, top, barWidth, bottom - top));

        p.setPen(Qt::black);
        const double centreX = x + barWidth / 2 + depth / 2;
        const QString &value = values[i];
        const bool below = !pt.empty && pt.value < 0;
        if (valuesUpright) {
            p.save();
            p.translate(below ? x + barWidth / 2 : centreX, below ? bottom + 3 : top - depth - 3);
            p.rotate(-90);
            p.drawText(below ? QRectF(-maxUpright, -fm.height() / 2, maxUpright, fm.height())
                             : QRectF(0, -fm.height() / 2, maxUpright, fm.height()),
                       (below ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                       fm.elidedText(value, Qt::ElideRight, maxUpright));
            p.restore();
        } else {
            p.drawText(below ? QRectF(x + barWidth / 2 - slot / 2, bottom + 2, slot, fm.height())
                             : QRectF(centreX - slot / 2, top - depth - 2 - fm.height(), slot, fm.height()),
                       Qt::AlignCenter, value);
        }
        const double labelTop = plot.bottom() + belowSpace + 4;
        if (labelsUpright) {
            p.save();
            p.translate(x + barWidth / 2, labelTop);
            p.rotate(-90);
            p.drawText(QRectF(-maxUpright, -fm.height() / 2, maxUpright, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                       fm.elidedText(pt.label, Qt::ElideRight, maxUpright));
            p.restore();
        } else {
            p.drawText(QRectF(x + barWidth / 2 - slot / 2, labelTop, slot, fm.height()), Qt::AlignCenter, pt.label);
        }
    }
    if (m_points.size() > n) {
        p.setPen(QColor(90, 90, 90));
        p.drawText(area, Qt::AlignRight | Qt::AlignTop, QStringLiteral("仅显示前 %1 项").arg(n));
    }
    p.setFont(font());
}
