#include "legacy/jetfile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

constexpr int kPageSize = 4096; // Jet 4 and the formats after it
constexpr quint32 kCataloguePage = 2;
constexpr int kMaxDefinitionPages = 256;

// Page kinds, the first byte of a page.
constexpr quint8 kDataPage = 0x01;
constexpr quint8 kDefinitionPage = 0x02;
constexpr quint8 kBitmapPage = 0x05;

// A data page: the number of rows, then one offset per row, the rows
// themselves packed from the end of the page downwards.
constexpr int kRowCountAt = 12;
constexpr int kRowTableAt = 14;
constexpr int kMaxRowsPerPage = (kPageSize - kRowTableAt) / 2;
constexpr quint16 kRowOffsetMask = 0x1fff;
// Rows the reading library passes over: deleted rows and the stubs that
// point to a row moved elsewhere on update.
constexpr quint16 kRowPassedOver = 0x4000;

// Column kinds that matter here.
constexpr quint8 kBool = 0x01;
constexpr quint8 kInt = 0x03;
constexpr quint8 kLong = 0x04;
constexpr quint8 kText = 0x0a;
constexpr quint8 kOle = 0x0b;
constexpr quint8 kMemo = 0x0c;

// Catalogue flags of the system's own tables.
constexpr quint32 kSystemObject = 0x80000002u;
constexpr int kTableObject = 1;

// What is wrong, in the user's words; the walk stops at the first one.
struct Damage {
    QString why;
};

quint16 u16(const uchar *p) { return quint16(p[0] | (p[1] << 8)); }
quint32 u32(const uchar *p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

// A run of bytes inside one page (a row) or one joined table definition;
// every read is checked against its end.
struct Bytes {
    const uchar *data = nullptr;
    int size = 0;
    QString what; // "第 53 页第 2 行", for the message

    void need(qint64 at, qint64 n) const
    {
        if (at < 0 || n < 0 || at + n > size)
            throw Damage{QStringLiteral("%1的结构超出其范围").arg(what)};
    }
    quint8 byte(qint64 at) const
    {
        need(at, 1);
        return data[at];
    }
    quint16 word(qint64 at) const
    {
        need(at, 2);
        return u16(data + at);
    }
    quint32 dword(qint64 at) const
    {
        need(at, 4);
        return u32(data + at);
    }
    Bytes mid(qint64 at, qint64 n) const
    {
        need(at, n);
        return {data + at, int(n), what};
    }
};

QString utf16(const Bytes &b)
{
    QString s;
    s.reserve(b.size / 2);
    for (int i = 0; i + 1 < b.size; i += 2)
        s += QChar(u16(b.data + i));
    return s;
}

// Jet 4 text: UTF-16, or after FF FE single bytes and UTF-16 by turns,
// each 00 switching.
QString jetText(const Bytes &b)
{
    if (b.size < 2 || b.data[0] != 0xff || b.data[1] != 0xfe)
        return utf16(b);
    QString s;
    bool single = true;
    for (int i = 2; i < b.size;) {
        if (b.data[i] == 0) {
            single = !single;
            ++i;
        } else if (single) {
            s += QChar(b.data[i++]);
        } else if (i + 1 < b.size) {
            s += QChar(u16(b.data + i));
            i += 2;
        } else {
            break;
        }
    }
    return s;
}

struct Column {
    quint8 type = 0;
    int number = 0;   // bit in a row's null mask
    int varIndex = 0; // place among a row's variable-length fields
    bool fixed = false;
    int fixedOffset = 0;
    int length = 0;
    QString name;
};

struct Definition {
    quint32 page = 0;
    QByteArray bytes; // the definition's pages joined
    int varColumns = 0;
    QVector<Column> columns;
    quint32 usageMap = 0; // row pointers: page << 8 | row
    quint32 freeMap = 0;

    const Column *column(const QString &name) const
    {
        for (const Column &c : columns)
            if (c.name.compare(name, Qt::CaseInsensitive) == 0)
                return &c;
        return nullptr;
    }
};

// A row taken apart as the reading library takes it apart: the column
// count first, the null mask last, before it the offsets of the
// variable-length fields.
class Row
{
public:
    Row(const Bytes &b, const Definition &d) : m_bytes(b)
    {
        m_columns = b.word(0);
        m_maskBytes = (m_columns + 7) / 8;
        b.need(b.size - m_maskBytes, m_maskBytes);
        m_dataEnd = b.size - m_maskBytes;
        if (d.varColumns > 0) {
            const int count = b.word(qint64(b.size) - m_maskBytes - 2);
            m_dataEnd -= 2 + 2 * (count + 1);
            if (m_dataEnd < 2)
                throw Damage{QStringLiteral("%1的结构超出其范围").arg(b.what)};
            for (int i = 0; i <= count; ++i) {
                const int at = b.word(qint64(b.size) - m_maskBytes - 4 - 2 * i);
                if (at < 2 || at > m_dataEnd || (i > 0 && at < m_varOffsets.last()))
                    throw Damage{QStringLiteral("%1的字段位置超出其范围").arg(b.what)};
                m_varOffsets << at;
            }
        }
    }

    // The bytes of a field, empty when NULL or not in this row.
    Bytes field(const Column &c) const
    {
        if (c.number >= m_columns || !(m_bytes.data[m_bytes.size - m_maskBytes + c.number / 8] & (1 << (c.number % 8))))
            return {nullptr, 0, m_bytes.what};
        if (c.fixed) {
            if (c.type == kBool)
                return {nullptr, 0, m_bytes.what}; // the null mask is the value
            if (2 + c.fixedOffset + c.length > m_dataEnd)
                throw Damage{QStringLiteral("%1的字段 %2 超出该行").arg(m_bytes.what, c.name)};
            return m_bytes.mid(2 + c.fixedOffset, c.length);
        }
        if (c.varIndex + 1 >= m_varOffsets.size())
            return {nullptr, 0, m_bytes.what};
        const int start = m_varOffsets[c.varIndex];
        return m_bytes.mid(start, m_varOffsets[c.varIndex + 1] - start);
    }

private:
    Bytes m_bytes;
    int m_columns = 0;
    int m_maskBytes = 0;
    int m_dataEnd = 0;
    QVector<int> m_varOffsets;
};

class Walker
{
public:
    Walker(const uchar *file, qint64 size, const std::function<void()> &alive)
        : m_file(file), m_pages(quint32(size / kPageSize)), m_alive(alive)
    {
    }

    quint32 pageCount() const { return m_pages; }

    const uchar *page(quint64 n)
    {
        if (n >= m_pages)
            throw Damage{QStringLiteral("第 %1 页超出文件末尾，文件只有 %2 页").arg(n).arg(m_pages)};
        if (m_alive && ++m_reads % 4096 == 0)
            m_alive();
        return m_file + qint64(n) * kPageSize;
    }

    // Row r of data page n, between its own offset and the one before.
    Bytes row(quint32 n, int r)
    {
        const uchar *pg = page(n);
        if (pg[0] != kDataPage)
            throw Damage{QStringLiteral("第 %1 页不是数据页").arg(n)};
        const int count = u16(pg + kRowCountAt);
        if (count > kMaxRowsPerPage)
            throw Damage{QStringLiteral("第 %1 页的行数 %2 超出一页所能容纳").arg(n).arg(count)};
        if (r >= count)
            throw Damage{QStringLiteral("第 %1 页没有第 %2 行").arg(n).arg(r)};
        const int start = u16(pg + kRowTableAt + 2 * r) & kRowOffsetMask;
        const int end = r == 0 ? kPageSize : u16(pg + kRowTableAt + 2 * (r - 1)) & kRowOffsetMask;
        const QString what = QStringLiteral("第 %1 页第 %2 行").arg(n).arg(r);
        if (start < kRowTableAt + 2 * count || start >= end || end > kPageSize)
            throw Damage{QStringLiteral("%1超出该页的范围").arg(what)};
        return {pg + start, end - start, what};
    }

    Bytes pointedRow(quint32 pointer) { return row(pointer >> 8, int(pointer & 0xff)); }

    Definition definition(quint32 first)
    {
        Definition d;
        d.page = first;
        QSet<quint32> seen;
        for (quint32 p = first; p != 0;) {
            if (seen.contains(p))
                throw Damage{QStringLiteral("表定义的页链在第 %1 页回到自身").arg(p)};
            // 255 columns with the longest names and 32 indexes fill a
            // few dozen pages.
            if (seen.size() >= kMaxDefinitionPages)
                throw Damage{QStringLiteral("表定义的页链超过 %1 页").arg(kMaxDefinitionPages)};
            seen.insert(p);
            const uchar *pg = page(p);
            if (pg[0] != kDefinitionPage)
                throw Damage{QStringLiteral("第 %1 页不是表定义页").arg(p)};
            if (p == first)
                d.bytes.append(reinterpret_cast<const char *>(pg), kPageSize);
            else
                d.bytes.append(reinterpret_cast<const char *>(pg) + 8, kPageSize - 8);
            p = u32(pg + 4);
        }
        const Bytes b{reinterpret_cast<const uchar *>(d.bytes.constData()), int(d.bytes.size()),
                      QStringLiteral("第 %1 页的表定义").arg(first)};
        d.varColumns = b.word(0x2b);
        const int columns = b.word(0x2d);
        const quint32 indexes = b.dword(0x2f);
        const quint32 realIndexes = b.dword(0x33);
        d.usageMap = b.dword(0x37);
        d.freeMap = b.dword(0x3b);
        if (columns == 0 || d.varColumns > columns)
            throw Damage{QStringLiteral("%1的字段数 %2 不可能").arg(b.what).arg(columns)};
        // The sections of the definition, each checked to lie inside it:
        // index entries, columns, column names, index columns, indexes,
        // index names.
        qint64 at = 0x3f + 12 * qint64(realIndexes);
        b.need(at, 25 * qint64(columns));
        for (int i = 0; i < columns; ++i) {
            const qint64 e = at + 25 * i;
            Column c;
            c.type = b.byte(e);
            c.number = b.word(e + 5);
            c.varIndex = b.word(e + 7);
            c.fixed = (b.byte(e + 15) & 0x01) != 0;
            c.fixedOffset = b.word(e + 21);
            c.length = b.word(e + 23);
            d.columns << c;
        }
        at += 25 * qint64(columns);
        for (Column &c : d.columns) {
            const int len = b.word(at);
            c.name = utf16(b.mid(at + 2, len));
            at += 2 + len;
        }
        at += 52 * qint64(realIndexes);
        b.need(at, 28 * qint64(indexes));
        at += 28 * qint64(indexes);
        for (quint32 i = 0; i < indexes; ++i)
            at += 2 + b.mid(at + 2, b.word(at)).size;
        return d;
    }

    // The pages the table's usage map names, the way the reading library
    // walks them.
    QVector<quint32> dataPages(const Definition &d)
    {
        if (d.freeMap != 0)
            pointedRow(d.freeMap);
        const Bytes map = pointedRow(d.usageMap);
        QVector<quint32> pages;
        auto add = [&](quint64 p) {
            if (p >= m_pages)
                throw Damage{QStringLiteral("页面位图列出的第 %1 页超出文件末尾，文件只有 %2 页").arg(p).arg(m_pages)};
            pages << quint32(p);
        };
        switch (map.byte(0)) {
        case 0: { // the bitmap in the row, from a first page on
            const quint32 first = map.dword(1);
            for (qint64 i = 0; i < (qint64(map.size) - 5) * 8; ++i)
                if (map.data[5 + i / 8] & (1 << (i % 8)))
                    add(quint64(first) + quint64(i));
            break;
        }
        case 1: { // bitmap pages, each for a stretch of the file
            const qint64 perPage = (kPageSize - 4) * 8;
            for (qint64 k = 0; k < (qint64(map.size) - 1) / 4; ++k) {
                const quint32 mapPage = map.dword(1 + 4 * k);
                if (mapPage == 0)
                    continue;
                const uchar *bits = page(mapPage);
                if (bits[0] != kBitmapPage)
                    throw Damage{QStringLiteral("第 %1 页不是页面位图").arg(mapPage)};
                for (qint64 i = 0; i < perPage; ++i)
                    if (bits[4 + i / 8] & (1 << (i % 8)))
                        add(quint64(k * perPage + i));
            }
            break;
        }
        default:
            throw Damage{QStringLiteral("页面位图的类型 %1 未知").arg(map.byte(0))};
        }
        return pages;
    }

    // Calls f with every row a scan of the table returns; the number of them.
    qint64 forEachRow(const Definition &d, const std::function<void(const Row &)> &f)
    {
        qint64 rows = 0;
        for (quint32 n : dataPages(d)) {
            const uchar *pg = page(n);
            if (pg[0] != kDataPage)
                throw Damage{QStringLiteral("第 %1 页不是数据页").arg(n)};
            // A page of another table: the reading library passes over it.
            if (u32(pg + 4) != d.page)
                continue;
            const int count = u16(pg + kRowCountAt);
            for (int r = 0; r < count; ++r) {
                if (r < kMaxRowsPerPage && (u16(pg + kRowTableAt + 2 * r) & kRowPassedOver))
                    continue;
                const Row row(this->row(n, r), d);
                f(row);
                ++rows;
            }
        }
        return rows;
    }

    // Checks every field of the row against the row, and every long
    // value against the pages it lies on.
    void checkFields(const Row &row, const Definition &d)
    {
        for (const Column &c : d.columns) {
            const Bytes f = row.field(c);
            if (c.type == kMemo || c.type == kOle)
                longValue(f, c.name, false);
        }
    }

    // A memo or OLE value: 12 bytes in the row, its length and where the
    // rest lies. With keep, its bytes.
    QByteArray longValue(const Bytes &field, const QString &column, bool keep)
    {
        if (field.size == 0)
            return {};
        if (field.size < 12)
            throw Damage{QStringLiteral("%1的字段 %2 不完整").arg(field.what, column)};
        const quint32 head = field.dword(0);
        const quint32 length = head & 0x3fffffffu;
        switch (head & 0xc0000000u) {
        case 0x80000000u: // in the row itself
            if (length > quint32(field.size - 12))
                throw Damage{QStringLiteral("%1的字段 %2 长度 %3 超出该行").arg(field.what, column).arg(length)};
            return keep ? QByteArray(reinterpret_cast<const char *>(field.data) + 12, int(length)) : QByteArray();
        case 0x40000000u: { // one row elsewhere
            const Bytes r = pointedRow(field.dword(4));
            if (length > quint32(r.size))
                throw Damage{QStringLiteral("%1的字段 %2 长度 %3 超出%4").arg(field.what, column).arg(length).arg(r.what)};
            return keep ? QByteArray(reinterpret_cast<const char *>(r.data), int(length)) : QByteArray();
        }
        case 0: { // a chain of rows, each starting with the next one's place
            QByteArray out;
            QSet<quint32> seen;
            qint64 total = 0;
            for (quint32 next = field.dword(4); next != 0;) {
                if (seen.contains(next))
                    throw Damage{QStringLiteral("%1的字段 %2 的页链在第 %3 页回到自身")
                                     .arg(field.what, column)
                                     .arg(next >> 8)};
                seen.insert(next);
                const Bytes r = pointedRow(next);
                if (r.size < 4)
                    throw Damage{QStringLiteral("%1不完整").arg(r.what)};
                total += r.size - 4;
                if (keep && out.size() < qint64(length))
                    out.append(reinterpret_cast<const char *>(r.data) + 4, r.size - 4);
                next = r.dword(0);
            }
            if (total < qint64(length))
                throw Damage{QStringLiteral("%1的字段 %2 应有 %3 字节，页链中只有 %4 字节")
                                 .arg(field.what, column)
                                 .arg(length)
                                 .arg(total)};
            return out.left(qsizetype(length));
        }
        default:
            throw Damage{QStringLiteral("%1的字段 %2 的长值类型不明").arg(field.what, column)};
        }
    }

private:
    const uchar *m_file;
    quint32 m_pages;
    std::function<void()> m_alive;
    quint64 m_reads = 0;
};

// The property blocks of a catalogue entry: "MR2", then blocks of a
// length and a kind; the names block lists names, the others a header
// and entries that refer to those names.
void checkProperties(const QByteArray &blob, const QString &what)
{
    const Bytes b{reinterpret_cast<const uchar *>(blob.constData()), int(blob.size()), what};
    if (blob.isEmpty())
        return;
    if (!blob.startsWith(QByteArrayView("MR2\0", 4)))
        throw Damage{QStringLiteral("%1不是属性块").arg(what)};
    qint64 names = 0;
    for (qint64 at = 4; at < b.size;) {
        const quint32 len = b.dword(at);
        const int kind = b.word(at + 4);
        if (len < 6)
            throw Damage{QStringLiteral("%1的长度 %2 不可能").arg(what).arg(len)};
        const Bytes block = b.mid(at, len);
        if (kind == 0x80) {
            names = 0;
            for (qint64 p = 6; p < block.size; ++names)
                p += 2 + block.mid(p + 2, block.word(p)).size;
        } else {
            const quint32 head = block.dword(6);
            if (head < 4)
                throw Damage{QStringLiteral("%1的长度 %2 不可能").arg(what).arg(head)};
            block.need(6, head);
            for (qint64 p = 6 + head; p < block.size;) {
                const int entry = block.word(p);
                if (entry < 8)
                    throw Damage{QStringLiteral("%1的长度 %2 不可能").arg(what).arg(entry)};
                const Bytes e = block.mid(p, entry);
                if (e.word(4) >= names)
                    throw Damage{QStringLiteral("%1引用了不存在的名称").arg(what)};
                e.need(8, e.word(6));
                p += entry;
            }
        }
        at += len;
    }
}

bool looksLikeJet(const QByteArray &head)
{
    return head.size() >= 0x15 && head.startsWith(QByteArray("\x00\x01\x00\x00", 4))
        && (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB");
}

} // namespace

QString JetFile::check(const QString &path, QVector<JetTableInfo> *tables, const std::function<void()> &alive)
{
    tables->clear();
    const QString notOld = QStringLiteral("不是旧系统的数据库文件（Jet 数据库）：%1").arg(path);
    if (!QFileInfo(path).isFile())
        return QStringLiteral("旧数据库文件不存在：%1").arg(path);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("无法打开旧数据库文件：%1（%2）").arg(path, f.errorString());
    const QByteArray head = f.read(0x15);
    if (!looksLikeJet(head))
        return notOld;
    // The old system wrote Jet 4 files; a Jet 3 file is laid out otherwise.
    if (head.at(0x14) == 0)
        return QStringLiteral("不是旧系统的数据库文件（Jet 3 格式，旧系统的数据库是 Jet 4 格式）：%1").arg(path);
    const QString damaged = QStringLiteral("旧数据库文件已损坏：");
    const qint64 size = f.size();
    if (size % kPageSize != 0)
        return damaged
            + QStringLiteral("文件大小 %1 字节不是整页（每页 %2 字节），文件可能没有复制完整：%3")
                  .arg(size)
                  .arg(kPageSize)
                  .arg(path);
    if (size / kPageSize <= qint64(kCataloguePage))
        return damaged + QStringLiteral("文件只有 %1 页，没有表目录：%2").arg(size / kPageSize).arg(path);
    if (size / kPageSize > 0xffffff)
        return damaged + QStringLiteral("文件大小 %1 字节超出 Jet 数据库的上限：%2").arg(size).arg(path);
    const uchar *file = f.map(0, size);
    if (!file)
        return QStringLiteral("无法读取旧数据库文件：%1（%2）").arg(path, f.errorString());

    Walker walker(file, size, alive);
    QString subject = QStringLiteral("表目录");
    try {
        const Definition catalogue = walker.definition(kCataloguePage);
        const Column *id = catalogue.column(QStringLiteral("Id"));
        const Column *name = catalogue.column(QStringLiteral("Name"));
        const Column *type = catalogue.column(QStringLiteral("Type"));
        const Column *flags = catalogue.column(QStringLiteral("Flags"));
        const Column *props = catalogue.column(QStringLiteral("LvProp"));
        if (!id || id->type != kLong || !id->fixed || !name || name->type != kText || !type || type->type != kInt
            || !type->fixed || !flags || flags->type != kLong || !flags->fixed)
            throw Damage{QStringLiteral("第 %1 页不是表目录的定义").arg(kCataloguePage)};

        QVector<JetTableInfo> found;
        walker.forEachRow(catalogue, [&](const Row &row) {
            const Bytes idBytes = row.field(*id);
            const Bytes typeBytes = row.field(*type);
            const Bytes flagBytes = row.field(*flags);
            if (idBytes.size < 4 || typeBytes.size < 2)
                return;
            const QString objectName = jetText(row.field(*name));
            const bool userTable = (qint16(typeBytes.word(0)) & 0x7f) == kTableObject
                && !(flagBytes.size >= 4 && (flagBytes.dword(0) & kSystemObject));
            try {
                walker.checkFields(row, catalogue);
                // The reading library takes every entry's properties apart.
                if (props)
                    checkProperties(walker.longValue(row.field(*props), props->name, true),
                                    QStringLiteral("%1 的属性").arg(objectName));
            } catch (const Damage &d) {
                if (userTable)
                    subject = QStringLiteral("表 %1 ").arg(objectName);
                throw Damage{userTable ? d.why : QStringLiteral("%1：%2").arg(objectName, d.why)};
            }
            if (userTable)
                found.append({objectName, idBytes.dword(0) & 0x00ffffffu, 0});
        });

        for (JetTableInfo &t : found) {
            subject = QStringLiteral("表 %1 ").arg(t.name);
            const Definition d = walker.definition(t.definitionPage);
            t.rows = walker.forEachRow(d, [&](const Row &row) { walker.checkFields(row, d); });
        }
        *tables = found;
    } catch (const Damage &d) {
        return damaged + QStringLiteral("%1无法读取（%2）：%3").arg(subject, d.why, path);
    }
    return {};
}
