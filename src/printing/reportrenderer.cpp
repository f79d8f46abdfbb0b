#include "printing/reportrenderer.h"

#include "data/outputfile.h"
#include "printing/reportfonts.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QPrinter>

#include <algorithm>

namespace ReportRenderer {

QFont font(const ReportFont &f)
{
    QFont result(ReportFonts::family(f.family));
    result.setPointSizeF(f.size);
    result.setBold(f.bold);
    result.setItalic(f.italic);
    // Shaped Latin runs of the CJK font use digit glyphs that the PDF's
    // text map does not know, so "KH001" would copy and search as "KH".
    result.setStyleStrategy(QFont::PreferNoShaping);
    return result;
}

namespace {

QRectF scaled(const QRectF &r, double s) { return QRectF(r.x() * s, r.y() * s, r.width() * s, r.height() * s); }

// Photos are read from their path each time a report shows them; a page
// asks for the same few files again and again while scrolling.
QImage picture(const QString &path)
{
    static QHash<QString, QImage> cache;
    if (cache.size() > 64)
        cache.clear();
    auto it = cache.constFind(path);
    if (it == cache.constEnd())
        it = cache.insert(path, QImage(path));
    return it.value();
}

void drawText(QPainter &p, const PagePrimitive &prim, const QRectF &r, double s)
{
    if (!prim.borders.isEmpty()) {
        p.setPen(QPen(Qt::black, std::max(prim.lineWidth * s, 0.5)));
        if (prim.borders.contains(QLatin1Char('l')))
            p.drawLine(r.topLeft(), r.bottomLeft());
        if (prim.borders.contains(QLatin1Char('t')))
            p.drawLine(r.topLeft(), r.topRight());
        if (prim.borders.contains(QLatin1Char('r')))
            p.drawLine(r.topRight(), r.bottomRight());
        if (prim.borders.contains(QLatin1Char('b')))
            p.drawLine(r.bottomLeft(), r.bottomRight());
    }
    if (prim.text.isEmpty())
        return;
    p.setFont(font(prim.font));
    p.setPen(Qt::black);
    // A little air between a cell's frame and its text.
    const double pad = prim.borders.isEmpty() ? 0 : 0.8 * s;
    const QRectF inner = r.adjusted(pad, 0, -pad, 0);
    if (prim.wrap) {
        p.save();
        p.setClipRect(r);
        p.drawText(inner, int(prim.align) | Qt::TextWordWrap, prim.text);
        p.restore();
        return;
    }
    // One line: too long a text is cut with an ellipsis, never run into
    // the next column.
    const QFontMetricsF fm(p.font(), p.device());
    const QString shown = inner.width() > 0 ? fm.elidedText(prim.text, Qt::ElideRight, inner.width()) : prim.text;
    p.drawText(inner, int(prim.align) | Qt::TextDontClip | Qt::TextSingleLine, shown);
}

} // namespace

void paintPage(QPainter &p, const ReportPage &page, double s)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setBrush(Qt::NoBrush);
    for (const PagePrimitive &prim : page) {
        const QRectF r = scaled(prim.rect, s);
        switch (prim.kind) {
        case PagePrimitive::Kind::Text:
            drawText(p, prim, r, s);
            break;
        case PagePrimitive::Kind::Line:
            p.setPen(QPen(Qt::black, std::max(prim.lineWidth * s, 0.5)));
            p.drawLine(r.topLeft(), r.bottomRight());
            break;
        case PagePrimitive::Kind::Box:
            p.setPen(QPen(Qt::black, std::max(prim.lineWidth * s, 0.5)));
            p.drawRect(r);
            break;
        case PagePrimitive::Kind::Image: {
            const QImage img = picture(prim.text);
            if (img.isNull())
                break;
            // Photos keep their proportions inside the frame.
            QSizeF size = img.size();
            size.scale(r.size(), Qt::KeepAspectRatio);
            const QRectF target(r.x() + (r.width() - size.width()) / 2, r.y() + (r.height() - size.height()) / 2,
                                size.width(), size.height());
            p.drawImage(target, img);
            break;
        }
        }
    }
    p.restore();
}

QImage pageImage(const PreparedReport &r, int page, double dpi)
{
    const double s = dpi / 25.4;
    QImage img(QSize(qRound(r.pageSizeMm.width() * s), qRound(r.pageSizeMm.height() * s)),
               QImage::Format_ARGB32_Premultiplied);
    // Fonts are sized in points against the image's own resolution.
    img.setDotsPerMeterX(qRound(dpi / 0.0254));
    img.setDotsPerMeterY(qRound(dpi / 0.0254));
    img.fill(Qt::white);
    if (page >= 0 && page < r.pages.size()) {
        QPainter p(&img);
        paintPage(p, r.pages[page], s);
    }
    return img;
}

bool paint(const PreparedReport &r, QPagedPaintDevice *device, int first, int last, int copies)
{
    if (r.pages.isEmpty())
        return false;
    device->setPageLayout(r.pageLayout());
    const int from = std::clamp(first < 1 ? 1 : first, 1, int(r.pages.size()));
    const int to = std::clamp(last < 1 ? int(r.pages.size()) : last, from, int(r.pages.size()));
    QPainter p;
    if (!p.begin(device))
        return false;
    const double s = device->logicalDpiX() / 25.4;
    bool firstSheet = true;
    for (int c = 0; c < std::max(copies, 1); ++c)
        for (int i = from; i <= to; ++i) {
            if (!firstSheet && !device->newPage())
                return false;
            firstSheet = false;
            paintPage(p, r.pages[i - 1], s);
        }
    return p.end();
}

bool print(const PreparedReport &r, QPrinter *printer)
{
    // Report coordinates are measured from the paper's edge.
    printer->setFullPage(true);
    const bool all = printer->printRange() == QPrinter::AllPages;
    const int copies = printer->supportsMultipleCopies() ? 1 : printer->copyCount();
    return paint(r, printer, all ? 0 : printer->fromPage(), all ? 0 : printer->toPage(), copies);
}

bool writePdf(const PreparedReport &r, const QString &path, QString *error)
{
    *error = OutputFile::write(path, [&r](QIODevice &out, QString *reason) {
        QPdfWriter pdf(&out);
        pdf.setResolution(300);
        pdf.setTitle(r.title);
        pdf.setCreator(QStringLiteral("Brevia"));
        if (paint(r, &pdf))
            return true;
        *reason = QStringLiteral("无法生成PDF文件");
        return false;
    });
    return error->isEmpty();
}

} // namespace ReportRenderer
