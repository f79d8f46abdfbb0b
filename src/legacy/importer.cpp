#include "legacy/importer.h"

#include "data/database.h"
#include "data/databasebuild.h"
#include "data/dbsetup.h"
#include "data/money.h"
#include "data/password.h"
#include "data/schema.h"
#include "data/searchkeys.h"
#include "legacy/jetvalue.h"
#include "legacy/legacysource.h"
#include "legacy/legacyreader.h"

#include <QFile>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include <cmath>

namespace {

const QString kUserTable = QStringLiteral("tblUser");
const QString kRightTable = QStringLiteral("tblUserRight");
const QString kLogTable = QStringLiteral("tblLog");

bool same(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Columns that name a user of the system. The old program compared user
// codes without regard to case, the per-user lists of this system do not.
bool namesUser(const QString &table, const QString &column)
{
    if (same(column, QLatin1String("SUser")))
        return true;
    return same(column, QLatin1String("UserID")) && (same(table, kLogTable) || same(table, kRightTable));
}

QString sourceTypeName(LegacyType t)
{
    switch (t) {
    case LegacyType::Bool: return QStringLiteral("是/否");
    case LegacyType::Integer: return QStringLiteral("整数");
    case LegacyType::Double: return QStringLiteral("小数");
    case LegacyType::Currency: return QStringLiteral("货币");
    case LegacyType::DateTime: return QStringLiteral("日期");
    case LegacyType::Text: return QStringLiteral("文本");
    case LegacyType::Memo: return QStringLiteral("备注");
    case LegacyType::Unsupported: break;
    }
    return QStringLiteral("不支持的类型");
}

QString asText(const QVariant &v, LegacyType t)
{
    switch (t) {
    case LegacyType::Currency:
        return JetValue::currencyText(v.toLongLong());
    case LegacyType::Double:
        return QString::number(v.toDouble(), 'g', 17);
    case LegacyType::DateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case LegacyType::Bool:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return v.toString();
    }
}

// Characters as both engines count them for a column width.
qsizetype charCount(const QString &s) { return s.toUcs4().size(); }

struct Converted {
    QVariant value;
    QString problem;    // reported, the row is still written
    QString dropReason; // the row cannot be written
    bool zeroDate = false;
};

// One old value for one column of the new schema.
Converted convert(const QVariant &v, LegacyType from, const ColumnDef &c)
{
    Converted r;
    if (!v.isValid() || v.isNull()) {
        if (c.required)
            r.dropReason = QStringLiteral("必填列为空，该行未导入");
        return r;
    }
    const QString wrongType = QStringLiteral("%1值“%2”无法转换，已留空").arg(sourceTypeName(from), asText(v, from));
    switch (c.kind) {
    case ColumnKind::Text:
    case ColumnKind::Memo: {
        QString s = asText(v, from);
        if (s.isEmpty() && c.required) {
            r.dropReason = QStringLiteral("必填列为空，该行未导入");
            return r;
        }
        const qsizetype n = charCount(s);
        if (c.kind == ColumnKind::Text && n > c.width) {
            r.problem = QStringLiteral("长度 %1 超过列宽 %2，已截断；原值：%3").arg(n).arg(c.width).arg(s);
            const QList<uint> cut = s.toUcs4().first(c.width);
            s = QString::fromUcs4(reinterpret_cast<const char32_t *>(cut.constData()), cut.size());
        }
        r.value = s;
        return r;
    }
    case ColumnKind::Bool:
        if (from == LegacyType::Bool || from == LegacyType::Integer)
            r.value = v.toLongLong() != 0 || v.toBool();
        else
            r.problem = QStringLiteral("%1值“%2”不是是/否，已作为“否”").arg(sourceTypeName(from), asText(v, from));
        return r;
    case ColumnKind::Date:
    case ColumnKind::DateTime: {
        if (from != LegacyType::DateTime) {
            r.problem = wrongType;
            return r;
        }
        const QDateTime dt = v.toDateTime();
        // The old program wrote day 0 where no date was chosen.
        if (dt.date() == QDate(1899, 12, 30) && dt.time() == QTime(0, 0)) {
            r.zeroDate = true;
            return r;
        }
        if (c.kind == ColumnKind::Date && dt.time() != QTime(0, 0))
            r.problem = QStringLiteral("日期列不能保存时间 %1，只导入了日期 %2")
                            .arg(dt.time().toString(QStringLiteral("HH:mm:ss")),
                                 dt.date().toString(QStringLiteral("yyyy-MM-dd")));
        r.value = dt;
        return r;
    }
    case ColumnKind::Integer:
    case ColumnKind::AutoNumber: {
        bool ok = true;
        qint64 n = 0;
        if (from == LegacyType::Integer) {
            n = v.toLongLong();
        } else if (from == LegacyType::Double) {
            const double d = v.toDouble();
            ok = std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.0e15;
            n = ok ? static_cast<qint64>(d) : 0;
        } else if (from == LegacyType::Currency) {
            ok = v.toLongLong() % 10000 == 0;
            n = v.toLongLong() / 10000;
        } else if (from == LegacyType::Text || from == LegacyType::Memo) {
            n = v.toString().trimmed().toLongLong(&ok);
        } else {
            ok = false;
        }
        if (ok)
            r.value = n;
        else
            r.problem = wrongType;
        return r;
    }
    case ColumnKind::Float:
    case ColumnKind::Currency:
    case ColumnKind::Decimal: {
        if (c.isMoney() && from == LegacyType::Currency) {
            // The old currency type is ten-thousandths too: copied exactly.
            r.value = QVariant::fromValue(Money::fromUnits(v.toLongLong()));
            return r;
        }
        bool ok = true;
        double d = 0;
        if (from == LegacyType::Double)
            d = v.toDouble();
        else if (from == LegacyType::Integer)
            d = static_cast<double>(v.toLongLong());
        else if (from == LegacyType::Currency)
            d = JetValue::currencyDouble(v.toLongLong());
        else if (from == LegacyType::Text || from == LegacyType::Memo)
            d = v.toString().trimmed().toDouble(&ok);
        else
            ok = false;
        if (ok && !std::isfinite(d)) {
            r.problem = QStringLiteral("数值 %1 不是有限数，已留空").arg(d);
            return r;
        }
        if (ok && c.isMoney()) {
            // A double amount as the decimal that was typed into it.
            if (const auto m = Money::fromDouble(d))
                r.value = QVariant::fromValue(*m);
            else
                r.problem = QStringLiteral("数值 %1 超出金额范围，已留空").arg(d);
        } else if (ok) {
            r.value = d;
        } else {
            r.problem = wrongType;
        }
        return r;
    }
    }
    return r;
}

class TableImport
{
public:
    TableImport(Database &db, LegacySource &source, const TableDef &def, const LegacyTable &src,
                const QHash<QString, QString> &users, ImportReport &report, const ImportProgress &progress)
        : m_db(db), m_source(source), m_def(def), m_src(src), m_users(users), m_report(report), m_progress(progress)
    {
    }

    QString run(ImportTableResult &result);

private:
    QString resetNumbering();
    QString rowKey(const QVariantList &values, qint64 rowNo) const;
    void problem(const QString &key, const QString &column, const QString &why)
    {
        m_report.problems.append({m_def.name(), key, column, why});
    }

    Database &m_db;
    LegacySource &m_source;
    const TableDef &m_def;
    const LegacyTable &m_src;
    const QHash<QString, QString> &m_users; // lower-case code -> stored spelling
    ImportReport &m_report;
    const ImportProgress &m_progress;
    QVector<QPair<int, const ColumnDef *>> m_map; // source index -> column of the new table
};

// After the rows are in, new rows continue after the highest number;
// before, an emptied table starts again at 1.
QString TableImport::resetNumbering()
{
    const QString autoCol = m_def.autoNumberColumn();
    if (autoCol.isEmpty())
        return {};
    if (m_db.isPostgres()) {
        return m_db.exec(QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), "
                                        "COALESCE((SELECT MAX(%3) FROM %1), 0) + 1, false)")
                             .arg(m_def.name(), autoCol.toLower(), m_db.dialect().ident(autoCol)));
    }
    // SQLite keeps the highest number it handed out; it follows the
    // imported numbers by itself and only forgets the initial rows here.
    return m_db.exec(QStringLiteral("DELETE FROM sqlite_sequence WHERE lower(name) = lower(?) "
                                    "AND NOT EXISTS (SELECT 1 FROM %1)")
                         .arg(m_def.name()),
                     {m_def.name()});
}

QString TableImport::rowKey(const QVariantList &values, qint64 rowNo) const
{
    QStringList parts;
    for (const QString &k : m_def.rowKey()) {
        int found = -1;
        for (const auto &[index, col] : m_map)
            if (same(col->name, k))
                found = index;
        if (found < 0)
            return QStringLiteral("第 %1 行").arg(rowNo);
        parts << QStringLiteral("%1=%2").arg(m_def.column(k)->name, asText(values.value(found), m_src.columns[found].type));
    }
    if (parts.isEmpty())
        return QStringLiteral("第 %1 行").arg(rowNo);
    return parts.join(QStringLiteral(", "));
}

QString TableImport::run(ImportTableResult &result)
{
    for (int i = 0; i < m_src.columns.size(); ++i) {
        const ColumnDef *c = m_def.column(m_src.columns[i].name);
        if (c)
            m_map.append({i, c});
        else
            m_report.columnMismatches << QStringLiteral("%1.%2：新系统没有此列，未导入").arg(m_src.name, m_src.columns[i].name);
    }
    for (const ColumnDef &c : m_def.columns()) {
        bool present = false;
        for (const auto &m : m_map)
            present = present || m.second == &c;
        if (!present && c.kind != ColumnKind::AutoNumber && c.searchKeyOf.isEmpty())
            m_report.columnMismatches << QStringLiteral("%1.%2：旧数据库没有此列，留空").arg(m_def.name(), c.name);
    }

    Transaction tx(m_db);
    if (!tx.ok())
        return tx.error();
    // The new database holds only the initial rows; the old file's rows
    // take their place.
    QString err = m_db.exec(QStringLiteral("DELETE FROM %1").arg(m_def.name()));
    if (err.isEmpty())
        err = resetNumbering();
    if (!err.isEmpty())
        return err;

    QStringList cols, marks;
    for (const auto &m : m_map) {
        cols << m_db.dialect().ident(m.second->name);
        marks << QStringLiteral("?");
    }
    QSqlQuery insert(m_db.sql());
    insert.setForwardOnly(true);
    const QString sql = cols.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_def.name())
                                       : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                             .arg(m_def.name(), cols.join(QStringLiteral(", ")),
                                                  marks.join(QStringLiteral(", ")));
    if (!insert.prepare(sql))
        return m_db.errorText(insert.lastError());

    const bool isUserTable = same(m_def.name(), kUserTable);
    const bool isRightTable = same(m_def.name(), kRightTable);
    int rightUserIndex = -1;
    if (isRightTable)
        for (const auto &m : m_map)
            if (same(m.second->name, QLatin1String("UserID")))
                rightUserIndex = m.first;

    std::unique_ptr<LegacyCursor> cursor = m_source.rows(m_src.name, &err);
    if (!cursor)
        return err;
    const bool pg = m_db.isPostgres();
    QVariantList values;
    QVector<LegacyReadProblem> readProblems;
    qint64 rowNo = 0;
    if (m_progress && m_src.rowCount > 0)
        m_progress(m_def.name(), 0, m_src.rowCount);
    while (cursor->next(values, readProblems)) {
        ++rowNo;
        ++result.read;
        const QString key = rowKey(values, rowNo);
        for (const auto &p : readProblems)
            problem(key, m_src.columns.value(p.column).name, p.why);

        // Rights of a user that is gone would pass to a new user of the
        // same code.
        if (isRightTable) {
            const QString user = rightUserIndex < 0 ? QString() : values.value(rightUserIndex).toString();
            if (!m_users.contains(user.toLower())) {
                ++result.orphanRights;
                continue;
            }
        }

        QVariantList binds;
        QString dropReason;
        for (const auto &[index, col] : m_map) {
            const LegacyType from = m_src.columns[index].type;
            Converted c = convert(values.value(index), from, *col);
            if (c.zeroDate)
                ++result.zeroDates;
            if (!c.problem.isEmpty())
                problem(key, col->name, c.problem);
            if (!c.dropReason.isEmpty() && dropReason.isEmpty())
                dropReason = QStringLiteral("%1：%2").arg(col->name, c.dropReason);
            if (namesUser(m_def.name(), col->name) && c.value.typeId() == QMetaType::QString) {
                const auto it = m_users.constFind(c.value.toString().toLower());
                if (it != m_users.constEnd() && *it != c.value.toString()) {
                    c.value = *it;
                    ++result.userCase;
                }
            }
            if (isUserTable && same(col->name, QLatin1String("Password"))) {
                // An empty old password stays an empty password.
                const QString hash = Password::hash(c.value.toString());
                if (hash.isEmpty())
                    return QStringLiteral("无法生成口令摘要");
                c.value = hash;
            }
            binds << m_db.toDb(col, c.value);
        }
        if (!dropReason.isEmpty()) {
            problem(key, QString(), dropReason);
            continue;
        }

        // On PostgreSQL a failed statement spoils the whole transaction;
        // a savepoint keeps the rows before it.
        if (pg && !(err = m_db.exec(QStringLiteral("SAVEPOINT legacy_row"))).isEmpty())
            return err;
        for (int i = 0; i < binds.size(); ++i)
            insert.bindValue(i, binds[i]);
        if (insert.exec()) {
            ++result.written;
            if (pg && !(err = m_db.exec(QStringLiteral("RELEASE SAVEPOINT legacy_row"))).isEmpty())
                return err;
        } else {
            const QString why = m_db.errorText(insert.lastError());
            if (pg && !(err = m_db.exec(QStringLiteral("ROLLBACK TO SAVEPOINT legacy_row"))).isEmpty())
                return err;
            problem(key, QString(),
                    why == QStringLiteral("对不起，该代码已存在！") ? QStringLiteral("与已导入的行键值重复，该行未导入")
                                                                   : QStringLiteral("该行未能写入：") + why);
        }
        if (m_progress && rowNo % 64 == 0)
            m_progress(m_def.name(), rowNo, std::max(rowNo, m_src.rowCount));
    }
    if (m_progress)
        m_progress(m_def.name(), rowNo, rowNo);
    if (!(err = resetNumbering()).isEmpty())
        return err;
    // The old program knew no pinyin: the names' keys are worked out here.
    if (m_def.hasSearchKeys() && !(err = SearchKeys::fill(m_db, m_def)).isEmpty())
        return err;
    return tx.commit();
}

} // namespace

const ImportTableResult *ImportReport::table(const QString &name) const
{
    for (const auto &t : tables)
        if (same(t.table, name))
            return &t;
    return nullptr;
}

int ImportReport::userCaseTotal() const
{
    int n = 0;
    for (const auto &t : tables)
        n += t.userCase;
    return n;
}

int ImportReport::zeroDateTotal() const
{
    int n = 0;
    for (const auto &t : tables)
        n += t.zeroDates;
    return n;
}

int ImportReport::orphanRightTotal() const
{
    int n = 0;
    for (const auto &t : tables)
        n += t.orphanRights;
    return n;
}

QString ImportReport::text() const
{
    QString s;
    s += QStringLiteral("导入结果（读取 / 写入 行数）：\n");
    qint64 read = 0, written = 0;
    for (const auto &t : tables) {
        s += QStringLiteral("  %1 %2 / %3\n").arg(t.table, -22).arg(t.read, 7).arg(t.written, 7);
        read += t.read;
        written += t.written;
    }
    s += QStringLiteral("  %1 %2 / %3\n").arg(QStringLiteral("合计"), -20).arg(read, 7).arg(written, 7);

    auto cleanup = [&](const QString &title, int ImportTableResult::*field, const QString &unit) {
        int total = 0;
        QStringList per;
        for (const auto &t : tables)
            if (t.*field > 0) {
                total += t.*field;
                per << QStringLiteral("%1 %2").arg(t.table).arg(t.*field);
            }
        s += QStringLiteral("  %1：%2 %3").arg(title).arg(total).arg(unit);
        if (!per.isEmpty())
            s += QStringLiteral("（%1）").arg(per.join(QStringLiteral("，")));
        s += QLatin1Char('\n');
    };
    s += QStringLiteral("清理：\n");
    cleanup(QStringLiteral("用户代码只差大小写，改为该用户的写法"), &ImportTableResult::userCase, QStringLiteral("处"));
    cleanup(QStringLiteral("空日期 1899-12-30 改为空"), &ImportTableResult::zeroDates, QStringLiteral("处"));
    cleanup(QStringLiteral("已不存在的用户的权限未导入"), &ImportTableResult::orphanRights, QStringLiteral("行"));

    if (!notes.isEmpty()) {
        s += QStringLiteral("说明：\n");
        for (const QString &n : notes)
            s += QStringLiteral("  %1\n").arg(n);
    }
    if (!columnMismatches.isEmpty()) {
        s += QStringLiteral("与新系统不符的列（%1 处）：\n").arg(columnMismatches.size());
        for (const QString &c : columnMismatches)
            s += QStringLiteral("  %1\n").arg(c);
    }
    if (!missingTables.isEmpty()) {
        s += QStringLiteral("旧数据库缺少的表（%1 个，保持新建时的内容）：\n").arg(missingTables.size());
        for (const QString &t : missingTables)
            s += QStringLiteral("  %1\n").arg(t);
    }
    if (problems.isEmpty()) {
        s += QStringLiteral("无法转换的值：无\n");
    } else {
        s += QStringLiteral("无法转换的值（%1 个）：\n").arg(problems.size());
        for (const auto &p : problems) {
            s += QStringLiteral("  %1").arg(p.table);
            if (!p.rowKey.isEmpty())
                s += QStringLiteral(" [%1]").arg(p.rowKey);
            if (!p.column.isEmpty())
                s += QStringLiteral(" %1").arg(p.column);
            s += QStringLiteral("：%1\n").arg(p.why);
        }
    }
    return s;
}

QString LegacyImporter::run(ImportReport *report, const ImportProgress &progress)
{
    const QVector<LegacyTable> sources = m_source.tables();
    auto findSource = [&](const QString &name) -> const LegacyTable * {
        for (const auto &t : sources)
            if (same(t.name, name))
                return &t;
        return nullptr;
    };

    // The users of the old file, read first: rights and user codes
    // elsewhere are checked against them.
    QHash<QString, QString> users;
    const LegacyTable *userTable = findSource(kUserTable);
    if (userTable) {
        int idIndex = -1;
        for (int i = 0; i < userTable->columns.size(); ++i)
            if (same(userTable->columns[i].name, QLatin1String("UserID")))
                idIndex = i;
        QString err;
        auto cursor = m_source.rows(userTable->name, &err);
        if (!cursor)
            return err;
        QVariantList values;
        QVector<LegacyReadProblem> ignored;
        while (idIndex >= 0 && cursor->next(values, ignored)) {
            const QString id = values.value(idIndex).toString();
            if (!id.isEmpty())
                users.insert(id.toLower(), id);
        }
    }
    // Without a single old user nobody could log in; then the initial
    // administrator and his rights stay.
    const bool keepInitialUsers = users.isEmpty();
    if (keepInitialUsers)
        users.insert(QStringLiteral("admin"), QStringLiteral("Admin"));

    for (const TableDef &def : Schema::tables()) {
        const LegacyTable *src = findSource(def.name());
        if (!src) {
            report->missingTables << def.name();
            continue;
        }
        if (keepInitialUsers && (same(def.name(), kUserTable) || same(def.name(), kRightTable))) {
            report->notes << QStringLiteral("%1：旧数据库没有用户，保留初始管理员 Admin 及其权限，未导入此表").arg(def.name());
            continue;
        }
        ImportTableResult result;
        result.table = def.name();
        TableImport t(m_db, m_source, def, *src, users, *report, progress);
        const QString err = t.run(result);
        report->tables.append(result);
        if (!err.isEmpty())
            return QStringLiteral("导入表 %1 失败：%2").arg(def.name(), err);
        // The table's definition counts its rows; rows the reader could
        // not reach would otherwise go missing without a word.
        if (result.read != src->rowCount)
            report->problems.append({def.name(), QString(), QString(),
                                     QStringLiteral("旧数据库的表定义记有 %1 行，读出 %2 行")
                                         .arg(src->rowCount)
                                         .arg(result.read)});
    }
    for (const auto &t : sources)
        if (!Schema::table(t.name))
            report->notes << QStringLiteral("%1：新系统没有此表，未导入（%2 行）").arg(t.name).arg(t.rowCount);
    return {};
}

namespace LegacyImport {

QString importFile(const QString &oldPath, const QString &target, ImportReport *report, const ImportProgress &progress)
{
    // The whole file is read before the target is made: a file that
    // cannot be read leaves nothing behind.
    QString err;
    auto source = LegacyReader().read(oldPath, &err);
    if (!source)
        return err;
    bool known = false;
    for (const auto &t : source->tables())
        known = known || Schema::table(t.name);
    if (!known)
        return QStringLiteral("不是旧系统的数据库文件：其中没有旧系统的任何数据表：%1").arg(oldPath);

    // A half-filled database must never be taken for the agency's data:
    // it is built aside and only put in place (marked whole) at the end.
    DbSetup::Build build(target);
    Database *db = build.start(&err);
    if (!db)
        return err;
    if (err = LegacyImporter(*source, *db).run(report, progress); !err.isEmpty())
        return err;
    return build.finish();
}

} // namespace LegacyImport
