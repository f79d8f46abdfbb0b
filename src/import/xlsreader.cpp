// A workbook of the older format (an OLE2 file holding BIFF records) is
// read with FreeXL, which hands out every cell as a number or UTF-8 text
// and dates already as text.
#include "import/sheet.h"

#include <QDir>
#include <QFile>

#include <freexl.h>

#include <cmath>

namespace {
struct Handle {
    const void *xls = nullptr;
    ~Handle()
    {
        if (xls)
            freexl_close(xls);
    }
};

QString doubleText(double d)
{
    if (std::fabs(d) < 1e15 && d == std::floor(d))
        return QString::number(qint64(d));
    return QString::number(d, 'g', 15);
}
} // namespace

QString SheetReader::readXls(const QString &path, Sheet *sheet)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QString damaged = QStringLiteral("对不起，该 Excel 文件已损坏或格式不对，无法读取：%1").arg(shown);
    Handle h;
    if (freexl_open(QFile::encodeName(path).constData(), &h.xls) != FREEXL_OK || !h.xls)
        return damaged;
    unsigned int info = 0;
    if (freexl_get_info(h.xls, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
        return QStringLiteral("对不起，该 Excel 文件设有密码，请先在电子表格程序中取消密码再导入：%1").arg(shown);
    if (freexl_select_active_worksheet(h.xls, 0) != FREEXL_OK)
        return damaged;
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(h.xls, &rows, &columns) != FREEXL_OK)
        return damaged;
    if (rows > unsigned(kMaxRows))
        return QStringLiteral("对不起，文件的行数超过 %1 行，无法导入！").arg(kMaxRows);
    QVector<QStringList> grid;
    grid.reserve(int(rows));
    for (unsigned int r = 0; r < rows; ++r) {
        QStringList cells;
        cells.reserve(columns);
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue v;
            QString text;
            if (freexl_get_cell_value(h.xls, r, c, &v) == FREEXL_OK) {
                switch (v.type) {
                case FREEXL_CELL_INT:
                    text = QString::number(v.value.int_value);
                    break;
                case FREEXL_CELL_DOUBLE:
                    text = doubleText(v.value.double_value);
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME:
                    text = v.value.text_value ? QString::fromUtf8(v.value.text_value) : QString();
                    break;
                default:
                    break;
                }
            }
            cells << text;
        }
        grid << cells;
    }
    setFromGrid(std::move(grid), sheet);
    return {};
}
