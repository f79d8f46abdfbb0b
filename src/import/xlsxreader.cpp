// A workbook of today is a zip of XML parts. The zip is opened with
// minizip; the parts are read with Qt's XML stream reader: the workbook
// (which sheet is first), its relations (where that sheet lies), the shared
// strings, the cell styles (which cells are dates) and the sheet itself.
#include "import/sheet.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QTime>
#include <QXmlStreamReader>

#include <minizip/unzip.h>

#include <cmath>
#include <memory>

namespace {
const QString kDamaged = QStringLiteral("对不起，该 Excel 文件已损坏或格式不对，无法读取：%1");
// A part of a workbook larger than this is not an agency's list but a
// zip made to fill the memory.
constexpr qint64 kMaxPartBytes = qint64(256) * 1024 * 1024;

struct ZipCloser {
    void operator()(void *z) const { unzClose(z); }
};
using Zip = std::unique_ptr<void, ZipCloser>;

// The bytes of one part; an absent part is an empty array with *found
// false, a damaged one an error.
bool readPart(unzFile zip, const QString &name, QByteArray *out, bool *found)
{
    *found = false;
    out->clear();
    if (unzLocateFile(zip, name.toUtf8().constData(), 2) != UNZ_OK)
        return true;
    *found = true;
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    if (info.uncompressed_size > quint64(kMaxPartBytes))
        return false;
    if (unzOpenCurrentFile(zip) != UNZ_OK)
        return false;
    out->reserve(qsizetype(info.uncompressed_size));
    char buffer[65536];
    int n = 0;
    // The size in the directory may lie: the reading stops at the limit
    // whatever the directory said.
    while ((n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0) {
        out->append(buffer, n);
        if (out->size() > kMaxPartBytes) {
            unzCloseCurrentFile(zip);
            return false;
        }
    }
    const bool crcOk = unzCloseCurrentFile(zip) == UNZ_OK;
    return n == 0 && crcOk;
}

// "Sheet1!..." relation targets are relative to xl/ unless they begin
// with a slash.
QString partPath(const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    QString t = target;
    while (t.startsWith(QStringLiteral("./")))
        t = t.mid(2);
    if (t.startsWith(QStringLiteral("../")))
        return t.mid(3);
    return QStringLiteral("xl/") + t;
}

// The first sheet's relation id, and whether dates count from 1904.
bool readWorkbook(const QByteArray &xml, QString *relationId, bool *date1904)
{
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            if (r.name() == QLatin1String("workbookPr")) {
                const QString v = r.attributes().value(QStringLiteral("date1904")).toString();
                *date1904 = v == QLatin1String("1") || v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
            } else if (r.name() == QLatin1String("sheet") && relationId->isEmpty()) {
                for (const QXmlStreamAttribute &a : r.attributes())
                    if (a.name() == QLatin1String("id"))
                        *relationId = a.value().toString();
            }
        }
    }
    return !r.hasError();
}

QString relationTarget(const QByteArray &xml, const QString &id)
{
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == QLatin1String("Relationship")
            && r.attributes().value(QStringLiteral("Id")) == id)
            return r.attributes().value(QStringLiteral("Target")).toString();
    }
    return {};
}

// The text of each shared string; the phonetic guides (rPh) that a
// Chinese or Japanese workbook may carry are no part of the text.
bool readSharedStrings(const QByteArray &xml, QStringList *strings)
{
    QXmlStreamReader r(xml);
    QString current;
    int phonetic = 0;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            if (r.name() == QLatin1String("si"))
                current.clear();
            else if (r.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (r.name() == QLatin1String("t") && phonetic == 0)
                current += r.readElementText();
        } else if (r.isEndElement()) {
            if (r.name() == QLatin1String("si"))
                *strings << current;
            else if (r.name() == QLatin1String("rPh"))
                --phonetic;
        }
    }
    return !r.hasError();
}

// A number format shows a date when its code has a day, month or year
// place outside quotes and brackets ("yyyy-mm-dd", "[$-804]yyyy\"年\"m\"月\"").
bool isDateFormat(const QString &code)
{
    bool quoted = false;
    int bracket = 0;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == QLatin1Char('\\'))
            ++i;
        else if (c == QLatin1Char('['))
            ++bracket;
        else if (c == QLatin1Char(']'))
            --bracket;
        else if (bracket == 0 && QStringLiteral("dDmMyY").contains(c))
            return true;
    }
    return false;
}

bool isBuiltInDate(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
}

// For each cell style (the s attribute of a cell), whether it shows a date.
QVector<bool> readDateStyles(const QByteArray &xml)
{
    QVector<bool> styles;
    QSet<int> customDates;
    QXmlStreamReader r(xml);
    bool inCellXfs = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            if (r.name() == QLatin1String("numFmt")) {
                if (isDateFormat(r.attributes().value(QStringLiteral("formatCode")).toString()))
                    customDates.insert(r.attributes().value(QStringLiteral("numFmtId")).toInt());
            } else if (r.name() == QLatin1String("cellXfs")) {
                inCellXfs = true;
            } else if (inCellXfs && r.name() == QLatin1String("xf")) {
                const int id = r.attributes().value(QStringLiteral("numFmtId")).toInt();
                styles << (isBuiltInDate(id) || customDates.contains(id));
            }
        } else if (r.isEndElement() && r.name() == QLatin1String("cellXfs")) {
            inCellXfs = false;
        }
    }
    return styles;
}

// "BC12" -> column 54 (from 0), row 11 (from 0); false when malformed.
bool cellPlace(QStringView ref, int *column, int *row)
{
    int c = 0, i = 0;
    while (i < ref.size() && ref.at(i).isLetter()) {
        c = c * 26 + (ref.at(i).toUpper().unicode() - 'A' + 1);
        if (c > SheetReader::kMaxColumns)
            return false;
        ++i;
    }
    if (i == 0)
        return false;
    bool ok = false;
    const int r = ref.mid(i).toInt(&ok);
    if (!ok || r < 1 || r > SheetReader::kMaxRows)
        return false;
    *column = c - 1;
    *row = r - 1;
    return true;
}

// A number as a clerk reads it: whole numbers without a decimal point or
// an exponent (telephone numbers are often typed as numbers).
QString numberText(const QString &raw)
{
    if (!raw.contains(QLatin1Char('E')) && !raw.contains(QLatin1Char('e')))
        return raw;
    bool ok = false;
    const double d = raw.toDouble(&ok);
    if (!ok)
        return raw;
    if (std::fabs(d) < 1e15 && d == std::floor(d))
        return QString::number(qint64(d));
    return QString::number(d, 'g', 15);
}
} // namespace

// A day number of a workbook as a date text: day 1 is 1900-01-01 and the
// workbook programs count a 29 February 1900 that never was, so later
// days are one less; a 1904 workbook counts from 1904-01-01 as day 0.
QString SheetReader::excelDateText(double serial, bool date1904)
{
    if (!(serial >= 0 && serial < 2958466))
        return QString::number(serial, 'g', 15);
    qint64 days = qint64(std::floor(serial));
    const double fraction = serial - double(days);
    QDate d;
    if (date1904)
        d = QDate(1904, 1, 1).addDays(days);
    else
        d = days >= 61 ? QDate(1899, 12, 30).addDays(days) : QDate(1899, 12, 31).addDays(days);
    const int seconds = int(std::lround(fraction * 86400.0));
    if (seconds == 0)
        return d.toString(QStringLiteral("yyyy-MM-dd"));
    if (seconds >= 86400)
        return d.addDays(1).toString(QStringLiteral("yyyy-MM-dd"));
    return d.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ')
        + QTime(0, 0).addSecs(seconds).toString(QStringLiteral("HH:mm:ss"));
}

QString SheetReader::readXlsx(const QString &path, Sheet *sheet)
{
    const QString shown = QDir::toNativeSeparators(path);
    Zip zip(unzOpen64(QFile::encodeName(path).constData()));
    if (!zip)
        return kDamaged.arg(shown);
    QByteArray workbook, rels, strings, styles, xml;
    bool found = false;
    if (!readPart(zip.get(), QStringLiteral("xl/workbook.xml"), &workbook, &found) || !found)
        return kDamaged.arg(shown);
    QString relationId;
    bool date1904 = false;
    if (!readWorkbook(workbook, &relationId, &date1904))
        return kDamaged.arg(shown);
    QString sheetPart = QStringLiteral("xl/worksheets/sheet1.xml");
    if (!readPart(zip.get(), QStringLiteral("xl/_rels/workbook.xml.rels"), &rels, &found))
        return kDamaged.arg(shown);
    if (found && !relationId.isEmpty()) {
        const QString target = relationTarget(rels, relationId);
        if (!target.isEmpty())
            sheetPart = partPath(target);
    }
    QStringList shared;
    if (!readPart(zip.get(), QStringLiteral("xl/sharedStrings.xml"), &strings, &found)
        || (found && !readSharedStrings(strings, &shared)))
        return kDamaged.arg(shown);
    if (!readPart(zip.get(), QStringLiteral("xl/styles.xml"), &styles, &found))
        return kDamaged.arg(shown);
    const QVector<bool> dateStyles = found ? readDateStyles(styles) : QVector<bool>();
    if (!readPart(zip.get(), sheetPart, &xml, &found) || !found)
        return kDamaged.arg(shown);
    zip.reset();

    QVector<QStringList> grid;
    QXmlStreamReader r(xml);
    int row = -1, column = -1;
    QString type;
    int style = 0;
    QString value;
    bool hasValue = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            const QStringView name = r.name();
            if (name == QLatin1String("row")) {
                const QStringView ref = r.attributes().value(QStringLiteral("r"));
                bool ok = false;
                const int n = ref.toInt(&ok);
                row = ok && n >= 1 && n <= kMaxRows ? n - 1 : row + 1;
                if (row >= kMaxRows)
                    return QStringLiteral("对不起，文件的行数超过 %1 行，无法导入！").arg(kMaxRows);
                column = -1;
            } else if (name == QLatin1String("c")) {
                const QStringView ref = r.attributes().value(QStringLiteral("r"));
                int c = 0, rr = 0;
                if (!ref.isEmpty() && cellPlace(ref, &c, &rr)) {
                    column = c;
                    row = rr;
                } else {
                    ++column;
                    row = std::max(row, 0);
                }
                if (column >= kMaxColumns)
                    return QStringLiteral("对不起，文件的列数超过 %1 列，无法导入！").arg(kMaxColumns);
                type = r.attributes().value(QStringLiteral("t")).toString();
                style = r.attributes().value(QStringLiteral("s")).toInt();
                value.clear();
                hasValue = false;
            } else if (name == QLatin1String("v")) {
                value = r.readElementText();
                hasValue = true;
            } else if (name == QLatin1String("is")) {
                // An inline string: its runs' texts, without phonetic guides.
                int phonetic = 0;
                while (!r.atEnd() && !(r.isEndElement() && r.name() == QLatin1String("is"))) {
                    r.readNext();
                    if (r.isStartElement() && r.name() == QLatin1String("rPh"))
                        ++phonetic;
                    else if (r.isEndElement() && r.name() == QLatin1String("rPh"))
                        --phonetic;
                    else if (r.isStartElement() && r.name() == QLatin1String("t") && phonetic == 0)
                        value += r.readElementText();
                }
                hasValue = true;
            }
        } else if (r.isEndElement() && r.name() == QLatin1String("c") && hasValue && row >= 0 && column >= 0) {
            QString text;
            if (type == QLatin1String("s")) {
                bool ok = false;
                const int i = value.toInt(&ok);
                if (!ok || i < 0 || i >= shared.size())
                    return kDamaged.arg(shown);
                text = shared.at(i);
            } else if (type == QLatin1String("b")) {
                text = value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            } else if (type.isEmpty() || type == QLatin1String("n")) {
                bool ok = false;
                const double d = value.toDouble(&ok);
                text = ok && style >= 0 && style < dateStyles.size() && dateStyles.at(style)
                    ? excelDateText(d, date1904)
                    : numberText(value);
            } else {
                text = value; // str, inlineStr, e, d: the text as written
            }
            if (grid.size() <= row)
                grid.resize(row + 1);
            QStringList &cells = grid[row];
            while (cells.size() <= column)
                cells << QString();
            cells[column] = text;
        }
    }
    if (r.hasError())
        return kDamaged.arg(shown);
    setFromGrid(std::move(grid), sheet);
    return {};
}
