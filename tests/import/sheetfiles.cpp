#include "import/sheetfiles.h"

#include <QDate>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStringEncoder>

#include <xlsxwriter.h>

namespace {
const QString kNum = QStringLiteral("#num:");
const QString kDate = QStringLiteral("#date:");

const char *kXlwtScript = R"PY(
import datetime, json, sys
import xlwt
grid = json.load(sys.stdin)
book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("Sheet1")
dates = xlwt.easyxf(num_format_str="YYYY-MM-DD")
for r, row in enumerate(grid):
    for c, cell in enumerate(row):
        if cell.startswith("#num:"):
            sheet.write(r, c, float(cell[5:]))
        elif cell.startswith("#date:"):
            y, m, d = (int(x) for x in cell[6:].split("-"))
            sheet.write(r, c, datetime.date(y, m, d), dates)
        elif cell:
            sheet.write(r, c, cell)
book.save(sys.argv[1])
)PY";
} // namespace

QString SheetFiles::writeXlsx(const QString &path, const Grid &grid, bool constantMemory)
{
    lxw_workbook_options options{};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    const QByteArray name = QFile::encodeName(path);
    lxw_workbook *book = workbook_new_opt(name.constData(), &options);
    if (!book)
        return QStringLiteral("workbook_new failed");
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    lxw_format *dateFormat = workbook_add_format(book);
    format_set_num_format(dateFormat, "yyyy-mm-dd");
    for (int r = 0; r < grid.size(); ++r) {
        for (int c = 0; c < grid.at(r).size(); ++c) {
            const QString &cell = grid.at(r).at(c);
            if (cell.startsWith(kNum)) {
                worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c), cell.mid(kNum.size()).toDouble(), nullptr);
            } else if (cell.startsWith(kDate)) {
                const QDate d = QDate::fromString(cell.mid(kDate.size()), QStringLiteral("yyyy-MM-dd"));
                lxw_datetime dt{d.year(), d.month(), d.day(), 0, 0, 0};
                worksheet_write_datetime(sheet, lxw_row_t(r), lxw_col_t(c), &dt, dateFormat);
            } else if (!cell.isEmpty()) {
                worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), cell.toUtf8().constData(), nullptr);
            }
        }
    }
    const lxw_error e = workbook_close(book);
    return e == LXW_NO_ERROR ? QString() : QString::fromUtf8(lxw_strerror(e));
}

QString SheetFiles::writeXls(const QString &path, const Grid &grid)
{
    QJsonArray rows;
    for (const QStringList &r : grid)
        rows.append(QJsonArray::fromStringList(r));
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(kXlwtScript), path});
    if (!p.waitForStarted())
        return QStringLiteral("python3 did not start");
    p.write(QJsonDocument(rows).toJson(QJsonDocument::Compact));
    p.closeWriteChannel();
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString::fromUtf8(p.readAllStandardError());
    return {};
}

QString SheetFiles::writeCsv(const QString &path, const Grid &grid, const QByteArray &encoding, bool bom)
{
    QString text;
    for (const QStringList &row : grid) {
        QStringList cells;
        for (QString cell : row) {
            if (cell.startsWith(kNum))
                cell = cell.mid(kNum.size());
            else if (cell.startsWith(kDate))
                cell = cell.mid(kDate.size());
            if (cell.contains(QLatin1Char(',')) || cell.contains(QLatin1Char('"')) || cell.contains(QLatin1Char('\n')))
                cell = QLatin1Char('"') + QString(cell).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
            cells << cell;
        }
        text += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    QStringEncoder encoder(encoding.constData());
    if (!encoder.isValid())
        return QStringLiteral("no encoder for ") + QString::fromLatin1(encoding);
    QByteArray bytes = encoder(text);
    if (bom)
        bytes.prepend("\xEF\xBB\xBF");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        return f.errorString();
    return {};
}

SheetFiles::Grid SheetFiles::asRead(const Grid &grid)
{
    Grid out = grid;
    for (QStringList &row : out)
        for (QString &cell : row) {
            if (cell.startsWith(kNum))
                cell = cell.mid(kNum.size());
            else if (cell.startsWith(kDate))
                cell = cell.mid(kDate.size());
        }
    return out;
}
