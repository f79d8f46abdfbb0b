#pragma once

#include "printing/preparedreport.h"
#include "printing/reportlayout.h"

#include <QString>
#include <QStringList>

class Dataset;

// A prepared report as its PDF reads: the text of every page as
// pdftotext -layout gives it, and the page count from pdfinfo.
struct PdfText {
    QStringList pages; // one text per page
    int pageCount = 0;
    QString error;
    QString all() const { return pages.join(QLatin1Char('\f')); }
};

PdfText pdfText(const PreparedReport &r);
PdfText pdfFileText(const QString &pdfPath);
// Loads a template from XML and lays it out over the dataset; fails the
// test when the template does not load.
PreparedReport prepareXml(const QByteArray &xml, Dataset *data, const DatasetResolver &resolver = {});
// Text as it reads back from a PDF in the report font (see the .cpp).
QString fold(QString text);
// How often a part appears in the text, spaces aside.
int occurrences(const QString &text, const QString &part);
// True when the parts appear in this order in the text, spaces aside.
bool inOrder(const QString &text, const QStringList &parts);
// The fields named once in one text line, with any spacing between them.
bool onOneLine(const QString &text, const QStringList &parts);
