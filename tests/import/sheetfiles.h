#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// Spreadsheet files made by the tests themselves, each by a writer other
// than the reader under test: .xlsx through libxlsxwriter, .xls through
// Python's xlwt. A cell is text, or "#num:13800138000" for a number and
// "#date:1990-05-01" for a date cell with a date format.
namespace SheetFiles {
using Grid = QVector<QStringList>;

// Empty on success, else why the file could not be made.
QString writeXlsx(const QString &path, const Grid &grid, bool constantMemory = false);
QString writeXls(const QString &path, const Grid &grid);
// Comma-separated, fields quoted where they must be, in UTF-8 (with or
// without a byte-order mark) or GB18030, lines ended by CR LF.
QString writeCsv(const QString &path, const Grid &grid, const QByteArray &encoding, bool bom = false);

// The grid as a reader should give it back: dates as "yyyy-MM-dd",
// numbers as their digits.
Grid asRead(const Grid &grid);
} // namespace SheetFiles
