#pragma once

#include "printing/reporttemplate.h"

#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

// One thing to paint on a page, positioned in millimetres from the page's
// top-left corner.
struct PagePrimitive {
    enum class Kind { Text, Line, Box, Image };
    Kind kind = Kind::Text;
    QRectF rect;
    QString text;      // the text, or the picture's path
    ReportFont font;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    bool wrap = false;
    QString borders;
    double lineWidth = 0.2;
};

using ReportPage = QVector<PagePrimitive>;

// A report laid out into pages, ready for the preview, a printer or a PDF.
struct PreparedReport {
    QString title;
    QPageSize pageSize = QPageSize(QPageSize::A4);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QSizeF pageSizeMm{210, 297};
    QVector<ReportPage> pages;
    QStringList warnings; // fields the template names that the data lacks

    QPageLayout pageLayout() const { return QPageLayout(pageSize, orientation, QMarginsF(0, 0, 0, 0)); }
};
