#include "legacy-reader/mdbsource.h"

#include "legacy/jetvalue.h"

#include <QFile>
#include <QFileInfo>

// glib first: mdbtools.h includes it inside its extern "C" block, where
// glib's C++ parts do not compile.
#include <glib.h>
#include <mdbtools.h>

#include <algorithm>
#include <cstring>

namespace {

MdbHandle *handle(void *h) { return static_cast<MdbHandle *>(h); }

LegacyType typeOf(int jetType)
{
    switch (jetType) {
    case MDB_BOOL:
        return LegacyType::Bool;
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
        return LegacyType::Integer;
    case MDB_FLOAT:
    case MDB_DOUBLE:
        return LegacyType::Double;
    case MDB_MONEY:
        return LegacyType::Currency;
    case MDB_DATETIME:
        return LegacyType::DateTime;
    case MDB_TEXT:
        return LegacyType::Text;
    case MDB_MEMO:
        return LegacyType::Memo;
    default:
        return LegacyType::Unsupported;
    }
}

QString typeName(int jetType)
{
    switch (jetType) {
    case MDB_BOOL: return QStringLiteral("BOOLEAN");
    case MDB_BYTE: return QStringLiteral("BYTE");
    case MDB_INT: return QStringLiteral("INTEGER");
    case MDB_LONGINT: return QStringLiteral("LONG");
    case MDB_MONEY: return QStringLiteral("MONEY");
    case MDB_FLOAT: return QStringLiteral("SINGLE");
    case MDB_DOUBLE: return QStringLiteral("DOUBLE");
    case MDB_DATETIME: return QStringLiteral("DATETIME");
    case MDB_BINARY: return QStringLiteral("BINARY");
    case MDB_TEXT: return QStringLiteral("TEXT");
    case MDB_OLE: return QStringLiteral("OLE");
    case MDB_MEMO: return QStringLiteral("MEMO");
    case MDB_REPID: return QStringLiteral("GUID");
    case MDB_NUMERIC: return QStringLiteral("NUMERIC");
    default: return QStringLiteral("TYPE%1").arg(jetType);
    }
}

MdbCatalogEntry *findTable(MdbHandle *mdb, const QString &name)
{
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && !mdb_is_system_table(entry)
            && QString::fromUtf8(entry->object_name) == name)
            return entry;
    }
    return nullptr;
}

class MdbCursor : public LegacyCursor
{
public:
    MdbCursor(MdbHandle *mdb, MdbTableDef *table, qint64 fileSize) : m_mdb(mdb), m_table(table), m_fileSize(fileSize)
    {
        mdb_read_columns(m_table);
        mdb_rewind_table(m_table);
    }
    ~MdbCursor() override { mdb_free_tabledef(m_table); }

    bool next(QVariantList &values, QVector<LegacyReadProblem> &problems) override
    {
        values.clear();
        problems.clear();
        if (!mdb_fetch_row(m_table))
            return false;
        // Reading a memo pages through other pages; every value is taken
        // from this copy of the row's page, and the page is put back before
        // each memo so that libmdb finds the memo's header where it expects.
        std::memcpy(m_page, m_mdb->pg_buf, sizeof m_page);
        for (unsigned i = 0; i < m_table->num_cols; ++i) {
            auto *col = static_cast<MdbColumn *>(g_ptr_array_index(m_table->columns, i));
            values << value(col, static_cast<int>(i), problems);
        }
        return true;
    }

private:
    QVariant value(MdbColumn *col, int index, QVector<LegacyReadProblem> &problems)
    {
        // A yes/no value lives in the row's null mask; libmdb leaves
        // cur_value_len 0 for yes.
        if (col->col_type == MDB_BOOL)
            return col->cur_value_len == 0;
        const int start = col->cur_value_start;
        const int len = col->cur_value_len;
        if (len == 0)
            return {};
        if (start < 0 || len < 0 || start + len > static_cast<int>(sizeof m_page)) {
            problems.append({index, QStringLiteral("字段位置超出数据页，文件可能已损坏")});
            return {};
        }
        const unsigned char *p = m_page + start;
        auto fixed = [&](int need) {
            if (len >= need)
                return true;
            problems.append({index, QStringLiteral("字段长度 %1 不足 %2 字节").arg(len).arg(need)});
            return false;
        };
        switch (col->col_type) {
        case MDB_BYTE:
            return fixed(1) ? QVariant(qint64(p[0])) : QVariant();
        case MDB_INT:
            return fixed(2) ? QVariant(qint64(qint16(quint16(p[0] | (p[1] << 8))))) : QVariant();
        case MDB_LONGINT:
            return fixed(4) ? QVariant(qint64(qint32(quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16)
                                                      | (quint32(p[3]) << 24))))
                            : QVariant();
        case MDB_FLOAT: {
            if (!fixed(4))
                return {};
            const quint32 bits = quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
            float f;
            std::memcpy(&f, &bits, sizeof f);
            return double(f);
        }
        case MDB_DOUBLE:
            return fixed(8) ? QVariant(JetValue::doubleAt(p)) : QVariant();
        case MDB_MONEY:
            return fixed(8) ? QVariant(JetValue::int64At(p)) : QVariant();
        case MDB_DATETIME: {
            if (!fixed(8))
                return {};
            const double days = JetValue::doubleAt(p);
            const QDateTime dt = JetValue::toDateTime(days);
            if (!dt.isValid()) {
                problems.append({index, QStringLiteral("日期值 %1 不是有效日期").arg(days, 0, 'g', 17)});
                return {};
            }
            return dt;
        }
        case MDB_TEXT:
            return text(col, start, len);
        case MDB_MEMO: {
            if (!fixed(12))
                return {};
            // libmdb cuts a memo at its bind size; the stored length tells
            // how much room the UTF-8 text can need at most. No memo is
            // longer than the file that holds it.
            const quint32 stored = (quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16)
                                    | (quint32(p[3]) << 24))
                & 0x3fffffffu;
            const size_t bytes = std::min<qint64>(stored, m_fileSize);
            mdb_set_bind_size(m_mdb, std::max<size_t>(MDB_BIND_SIZE, bytes * 2 + 64));
            std::memcpy(m_mdb->pg_buf, m_page, sizeof m_page);
            return text(col, start, len);
        }
        default:
            problems.append({index, QStringLiteral("不支持的字段类型 %1").arg(typeName(col->col_type))});
            return {};
        }
    }

    QVariant text(MdbColumn *col, int start, int len)
    {
        char *s = mdb_col_to_string(m_mdb, m_page, start, col->col_type, len);
        if (!s)
            return {};
        QString v = QString::fromUtf8(s);
        g_free(s);
        return v;
    }

    MdbHandle *m_mdb;
    MdbTableDef *m_table;
    qint64 m_fileSize;
    unsigned char m_page[MDB_PGSIZE];
};

} // namespace

MdbSource::~MdbSource()
{
    mdb_close(handle(m_handle));
}

std::unique_ptr<MdbSource> MdbSource::open(const QString &path, const QVector<JetTableInfo> &checked,
                                           QString *error)
{
    const QByteArray name = QFile::encodeName(path);
    MdbHandle *mdb = mdb_open(name.constData(), MDB_NOFLAGS);
    if (!mdb) {
        *error = QStringLiteral("无法打开旧数据库文件：%1").arg(path);
        return nullptr;
    }
    std::unique_ptr<MdbSource> source(new MdbSource(mdb, QFileInfo(path).size()));
    auto damaged = [&](const QString &subject, const QString &why) {
        return QStringLiteral("旧数据库文件已损坏：%1无法读取（%2）：%3").arg(subject, why, path);
    };
    if (!mdb_read_catalog(mdb, MDB_TABLE)) {
        *error = damaged(QStringLiteral("表目录"), QStringLiteral("读取库拒绝了它"));
        return nullptr;
    }
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry))
            continue;
        const QString tableName = QString::fromUtf8(entry->object_name);
        const QString subject = QStringLiteral("表 %1 ").arg(tableName);
        const bool wasChecked = std::any_of(checked.begin(), checked.end(), [&](const JetTableInfo &t) {
            return t.name == tableName && t.definitionPage == entry->table_pg;
        });
        if (!wasChecked) {
            *error = damaged(subject, QStringLiteral("表目录的两次读取不一致"));
            return nullptr;
        }
        // A table whose definition cannot be read is damage, never a
        // table that is not there.
        MdbTableDef *table = mdb_read_table(entry);
        if (!table) {
            *error = damaged(subject, QStringLiteral("读取库无法读取第 %1 页的表定义").arg(entry->table_pg));
            return nullptr;
        }
        mdb_read_columns(table);
        LegacyTable t;
        t.name = tableName;
        t.rowCount = table->num_rows;
        for (unsigned c = 0; c < table->num_cols; ++c) {
            auto *col = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, c));
            t.columns.append({QString::fromUtf8(col->name), typeOf(col->col_type)});
        }
        mdb_free_tabledef(table);
        source->m_tables.append(t);
    }
    return source;
}

std::unique_ptr<LegacyCursor> MdbSource::rows(const QString &table, QString *error)
{
    MdbHandle *mdb = handle(m_handle);
    MdbCatalogEntry *entry = findTable(mdb, table);
    MdbTableDef *def = entry ? mdb_read_table(entry) : nullptr;
    if (!def) {
        *error = QStringLiteral("读取库无法读取它的表定义");
        return nullptr;
    }
    return std::make_unique<MdbCursor>(mdb, def, m_fileSize);
}
