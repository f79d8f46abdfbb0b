#include "import/sheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace {
const QString kUnreadable = QStringLiteral("对不起，无法读取文件：%1\n%2");
constexpr qint64 kMaxCsvBytes = qint64(512) * 1024 * 1024;

// The separator of the first line: the one of comma, tab and semicolon
// met most often outside quotes (a sheet saved "as text" uses tabs, some
// European settings semicolons); a comma when none is met.
QChar separatorOf(const QString &text)
{
    int comma = 0, tab = 0, semicolon = 0;
    bool quoted = false;
    for (QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char(','))
            ++comma;
        else if (!quoted && c == QLatin1Char('\t'))
            ++tab;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolon;
    }
    if (tab > comma && tab >= semicolon)
        return QLatin1Char('\t');
    if (semicolon > comma)
        return QLatin1Char(';');
    return QLatin1Char(',');
}

// The grid export of this program puts a ' before a cell that a
// spreadsheet would run as a formula; reading it back takes it off again.
QString withoutFormulaGuard(const QString &cell)
{
    static const QString guarded = QStringLiteral("=+-@\t\r");
    if (cell.size() >= 2 && cell.at(0) == QLatin1Char('\'') && guarded.contains(cell.at(1)))
        return cell.mid(1);
    return cell;
}
} // namespace

QString SheetReader::decodeText(const QByteArray &bytes, QString *encoding)
{
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(body);
    if (!utf8.hasError()) {
        *encoding = QStringLiteral("UTF-8");
        return text;
    }
    QStringDecoder gb("GB18030");
    if (gb.isValid()) {
        *encoding = QStringLiteral("GB18030");
        return gb(bytes);
    }
    // Without a GB18030 codec nothing else could be meant; the clerk sees
    // replacement characters in the preview rather than nothing at all.
    *encoding = QStringLiteral("UTF-8");
    return text;
}

QString SheetReader::readCsv(const QByteArray &bytes, Sheet *sheet)
{
    QString encoding;
    const QString text = decodeText(bytes, &encoding);
    const QChar sep = separatorOf(text);
    QVector<QStringList> grid;
    QStringList row;
    QString cell;
    bool quoted = false;
    bool wasQuoted = false;
    auto endCell = [&] {
        row << withoutFormulaGuard(cell);
        cell.clear();
        wasQuoted = false;
    };
    auto endRow = [&] {
        endCell();
        grid << row;
        row.clear();
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += c;
            }
        } else if (c == QLatin1Char('"') && cell.isEmpty()) {
            quoted = true;
            wasQuoted = true;
        } else if (c == sep) {
            endCell();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            endRow();
            if (grid.size() > kMaxRows)
                return QStringLiteral("对不起，文件的行数超过 %1 行，无法导入！").arg(kMaxRows);
        } else {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !row.isEmpty() || wasQuoted)
        endRow();
    setFromGrid(std::move(grid), sheet);
    sheet->encoding = encoding;
    return {};
}

void SheetReader::setFromGrid(QVector<QStringList> grid, Sheet *sheet)
{
    auto blank = [](const QStringList &r) {
        return std::all_of(r.begin(), r.end(), [](const QString &c) { return c.trimmed().isEmpty(); });
    };
    while (!grid.isEmpty() && blank(grid.last()))
        grid.removeLast();
    // Lines above the headers that hold nothing (a title row left empty)
    // are passed over, so the first line with text is the headers.
    qsizetype first = 0;
    while (first < grid.size() && blank(grid.at(first)))
        ++first;
    sheet->headers.clear();
    sheet->rows.clear();
    sheet->encoding.clear();
    sheet->headerLine = int(first) + 1;
    if (first >= grid.size())
        return;
    sheet->headers = grid.at(first);
    for (QString &h : sheet->headers)
        h = h.trimmed();
    sheet->rows.reserve(grid.size() - first - 1);
    for (qsizetype i = first + 1; i < grid.size(); ++i)
        sheet->rows << std::move(grid[i]);
}

QString SheetReader::read(const QString &path, Sheet *sheet)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return kUnreadable.arg(QDir::toNativeSeparators(path), f.errorString());
    const QByteArray head = f.peek(8);
    QString error;
    if (head.startsWith("PK\x03\x04")) {
        f.close();
        error = readXlsx(path, sheet);
    } else if (head.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
        f.close();
        error = readXls(path, sheet);
    } else {
        if (f.size() > kMaxCsvBytes)
            return QStringLiteral("对不起，文件太大，无法导入：%1").arg(QDir::toNativeSeparators(path));
        const QByteArray bytes = f.readAll();
        if (f.error() != QFileDevice::NoError)
            return kUnreadable.arg(QDir::toNativeSeparators(path), f.errorString());
        // A binary file that is neither workbook would fill the preview with
        // noise: a NUL byte never stands in a text file.
        if (bytes.contains('\0'))
            return QStringLiteral("对不起，无法识别该文件的格式，请选择 .xlsx、.xls 或 .csv 文件！");
        error = readCsv(bytes, sheet);
    }
    if (error.isEmpty() && sheet->headers.isEmpty())
        return QStringLiteral("对不起，该文件中没有数据！");
    if (error.isEmpty() && sheet->headers.size() > kMaxColumns)
        return QStringLiteral("对不起，文件的列数超过 %1 列，无法导入！").arg(kMaxColumns);
    return error;
}
