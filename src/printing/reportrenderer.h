#pragma once

#include "printing/preparedreport.h"

#include <QFont>
#include <QImage>
#include <QString>

class QPainter;
class QPagedPaintDevice;
class QPrinter;

// Paints prepared pages. The same code serves the preview, the printer and
// the PDF file, so what the user sees is what comes out of the printer.
namespace ReportRenderer {
// The font a report text is printed in (what measures a text's width too).
QFont font(const ReportFont &f);
// Paints one page with the painter's origin at the page's top-left corner;
// pxPerMm is the scale of the painter's device.
void paintPage(QPainter &p, const ReportPage &page, double pxPerMm);
// The page as a picture at the given resolution, for the preview.
QImage pageImage(const PreparedReport &r, int page, double dpi);
// Pages first..last (1-based, inclusive; 0 means from the start or to the
// end) onto a printer or PDF writer, whose page layout is set here.
bool paint(const PreparedReport &r, QPagedPaintDevice *device, int first = 0, int last = 0, int copies = 1);
bool print(const PreparedReport &r, QPrinter *printer);
bool writePdf(const PreparedReport &r, const QString &path, QString *error);
} // namespace ReportRenderer
