#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The first worksheet of a spreadsheet, or a CSV file, as text: the first
// line is taken for the headers, every later line is a row of cells. A
// row may be shorter than the headers (its missing cells are empty).
struct Sheet {
    QStringList headers;
    QVector<QStringList> rows;
    int headerLine = 1; // the file's line of the headers (empty lines above are passed over)
    QString encoding; // of a CSV file: "UTF-8" or "GB18030"; empty for a workbook

    QString cell(int row, int column) const
    {
        const QStringList &r = rows.at(row);
        return column < r.size() ? r.at(column) : QString();
    }
};

// Reads the file at path by its contents (a zip is a workbook of today, an
// OLE2 file one of the older format, anything else CSV). Empty on success,
// else the text the clerk is shown.
namespace SheetReader {
// More rows than this are refused before anything is checked: a worksheet
// holds at most 1,048,576 and an agency's list far fewer.
constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

QString read(const QString &path, Sheet *sheet);

// The formats one by one; read() picks among them.
QString readCsv(const QByteArray &bytes, Sheet *sheet);
QString readXlsx(const QString &path, Sheet *sheet);
QString readXls(const QString &path, Sheet *sheet);

// Text that decodes as UTF-8 is UTF-8 (a byte-order mark is dropped);
// anything else is taken for GB18030, which spreadsheet programs on
// Chinese desktops write and which every byte sequence decodes as.
QString decodeText(const QByteArray &bytes, QString *encoding);
// A workbook's day number (with its time of day as the fraction) as the
// text a clerk would type, "1990-05-01" or "2024-03-01 08:30:00".
QString excelDateText(double serial, bool date1904 = false);
// A workbook's cells are rows of cells from the first line on; the first
// line becomes the headers and trailing empty lines are dropped.
void setFromGrid(QVector<QStringList> grid, Sheet *sheet);
} // namespace SheetReader
