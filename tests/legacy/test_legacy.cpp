// brevia-admin import: the old Jet file of an agency copied into a new
// database, compared value by value with the fixture's manifest.
#include "data/database.h"
#include "data/dbsetup.h"
#include "data/password.h"
#include "data/schema.h"
#include "legacy/importer.h"
#include "legacy/jetvalue.h"
#include "app/tfrmlogin.h"
#include "data/session.h"
#include "testlib/fakeprompts.h"
#include "memorysource.h"
#include "testlib/fixtures.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <limits>
#include <time.h>

namespace {


QJsonObject manifest()
{
    static const QJsonObject m = [] {
        QFile f(fixturePath(QStringLiteral("legacy/manifest.json")));
        f.open(QIODevice::ReadOnly);
        return QJsonDocument::fromJson(f.readAll()).object();
    }();
    return m;
}

// A place for a new database that does not exist yet: a file name on
// SQLite, an empty database on PostgreSQL.
QString newTarget(TempDatabase &tmp, Engine e)
{
    return e == Engine::SQLite ? tmp.dir() + QStringLiteral("/imported.hdb") : tmp.location();
}

std::unique_ptr<Database> openTarget(const QString &location)
{
    QString err;
    auto db = Database::open(location, &err);
    EXPECT_TRUE(db) << err.toStdString();
    return db;
}

QVector<QVariantList> readTable(Database &db, const TableDef &def, const QStringList &columns)
{
    QStringList cols;
    for (const QString &c : columns)
        cols << db.dialect().ident(def.column(c)->name);
    const QString autoCol = def.autoNumberColumn();
    QSqlQuery q(db.sql());
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(cols.join(QStringLiteral(", ")), def.name());
    if (!autoCol.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + autoCol;
    QVector<QVariantList> rows;
    if (!q.exec(sql)) {
        ADD_FAILURE() << sql.toStdString();
        return rows;
    }
    while (q.next()) {
        QVariantList r;
        for (int i = 0; i < columns.size(); ++i)
            r << db.fromDb(def.column(columns[i]), q.value(i));
        rows << r;
    }
    return rows;
}

QString keyText(const QVariant &v) { return v.toString(); }
QString keyText(const QJsonValue &v) { return v.toVariant().toString(); }

// Both sides in one order where the table keeps no numbering: by the
// columns that identify a row.
template <typename Row>
void sortByKey(QVector<Row> &rows, const QVector<int> &keyIndexes)
{
    std::stable_sort(rows.begin(), rows.end(), [&](const Row &a, const Row &b) {
        for (int i : keyIndexes) {
            const QString x = keyText(a[i]), y = keyText(b[i]);
            if (x != y)
                return x < y;
        }
        return false;
    });
}

bool namesUser(const QString &table, const QString &column)
{
    return column == QLatin1String("SUser")
        || (column == QLatin1String("UserID") && (table == QLatin1String("tblLog") || table == QLatin1String("tblUserRight")));
}

// One stored value against the manifest's, by the manifest's type.
void expectValue(const QString &where, const QString &type, const ColumnDef &col, const QJsonValue &expected,
                 const QVariant &actual, bool isPassword)
{
    const std::string at = where.toStdString();
    if (isPassword) {
        EXPECT_TRUE(Password::verify(actual.toString(), expected.toString())) << at << " password does not verify";
        return;
    }
    const bool empty = expected.isNull() || (expected.isString() && expected.toString().isEmpty());
    if (type == QLatin1String("BOOLEAN")) {
        EXPECT_EQ(actual.toBool(), expected.toBool()) << at;
    } else if (empty) {
        EXPECT_TRUE(actual.isNull() || !actual.isValid()) << at << " expected NULL, got " << actual.toString().toStdString();
    } else if (type == QLatin1String("TEXT") || type == QLatin1String("MEMO")) {
        EXPECT_EQ(actual.toString(), expected.toString()) << at;
    } else if (type == QLatin1String("LONG")) {
        EXPECT_EQ(actual.toLongLong(), expected.toInteger()) << at;
    } else if (type == QLatin1String("DOUBLE")) {
        EXPECT_EQ(actual.toDouble(), expected.toDouble()) << at; // exactly the stored double
    } else if (type == QLatin1String("MONEY")) {
        EXPECT_EQ(std::llround(actual.toDouble() * 10000), std::llround(expected.toDouble() * 10000)) << at;
    } else if (type == QLatin1String("DATETIME")) {
        const QDateTime e = QDateTime::fromString(expected.toString(), Qt::ISODate);
        ASSERT_TRUE(e.isValid()) << at;
        if (col.kind == ColumnKind::Date) {
            EXPECT_EQ(e.time(), QTime(0, 0)) << at << " date column with a time in the manifest";
            EXPECT_EQ(actual.toDate(), e.date()) << at;
        } else {
            EXPECT_EQ(actual.toDateTime().toString(Qt::ISODate), e.toString(Qt::ISODate)) << at;
        }
    } else {
        ADD_FAILURE() << at << " unknown manifest type " << type.toStdString();
    }
}

class FixtureImport : public ::testing::TestWithParam<Engine>
{
};

TEST_P(FixtureImport, EveryTableRowAndValueEqualsTheManifestSaveTheCleanUps)
{
    REQUIRE_FIXTURE(kFixture, "legacy/HKP30.hdb");
    const QJsonObject tables = manifest().value("tables").toObject();
    ASSERT_EQ(tables.size(), manifest().value("table_count").toInt());

    TempDatabase tmp(GetParam(), false);
    const QString target = newTarget(tmp, GetParam());
    ImportReport report;
    ASSERT_EQ(LegacyImport::importFile(kFixture, target, &report), QString());
    EXPECT_TRUE(report.problems.isEmpty()) << report.text().toStdString();
    auto db = openTarget(target);
    ASSERT_TRUE(db);

    // The documented clean-ups, worked out from the manifest itself.
    QHash<QString, QString> users;
    for (const auto &u : tables.value("tblUser").toObject().value("rows").toArray())
        users.insert(u.toObject().value("UserID").toString().toLower(), u.toObject().value("UserID").toString());
    int caseFixes = 0, zeroDates = 0, orphanRights = 0;

    for (auto it = tables.begin(); it != tables.end(); ++it) {
        const QString name = it.key();
        SCOPED_TRACE(name.toStdString());
        const TableDef *def = Schema::table(name);
        ASSERT_TRUE(def);
        const QJsonObject t = it.value().toObject();
        QStringList columns, types;
        for (const auto &c : t.value("columns").toArray()) {
            columns << c.toObject().value("name").toString();
            types << c.toObject().value("type").toString();
            ASSERT_TRUE(def->column(columns.last())) << columns.last().toStdString();
        }
        QVector<QJsonArray> expected;
        for (const auto &r : t.value("rows").toArray()) {
            QJsonArray row;
            bool keep = true;
            for (int i = 0; i < columns.size(); ++i) {
                QJsonValue v = r.toObject().value(columns[i]);
                if (types[i] == QLatin1String("DATETIME") && v.toString() == QLatin1String("1899-12-30T00:00:00")) {
                    v = QJsonValue::Null;
                    ++zeroDates;
                }
                if (namesUser(name, columns[i]) && v.isString()) {
                    const QString canon = users.value(v.toString().toLower());
                    if (name == QLatin1String("tblUserRight") && canon.isEmpty())
                        keep = false;
                    if (!canon.isEmpty() && canon != v.toString()) {
                        v = canon;
                        ++caseFixes;
                    }
                }
                row.append(v);
            }
            if (keep)
                expected << row;
            else
                ++orphanRights;
        }
        const ImportTableResult *result = report.table(name);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->read, t.value("row_count").toInt());
        EXPECT_EQ(result->written, expected.size());

        QVector<QVariantList> actual = readTable(*db, *def, columns);
        ASSERT_EQ(actual.size(), expected.size());
        if (def->autoNumberColumn().isEmpty()) {
            QVector<int> key;
            for (const QString &k : def->rowKey())
                key << columns.indexOf(def->column(k)->name);
            ASSERT_FALSE(key.isEmpty());
            ASSERT_FALSE(key.contains(-1));
            sortByKey(actual, key);
            sortByKey(expected, key);
        }
        for (int r = 0; r < expected.size(); ++r)
            for (int c = 0; c < columns.size(); ++c)
                expectValue(QStringLiteral("%1 row %2 %3").arg(name).arg(r + 1).arg(columns[c]), types[c],
                            *def->column(columns[c]), expected[r][c], actual[r][c],
                            name == QLatin1String("tblUser") && columns[c] == QLatin1String("Password"));
    }
    EXPECT_EQ(report.userCaseTotal(), caseFixes);
    EXPECT_EQ(report.zeroDateTotal(), zeroDates);
    EXPECT_EQ(report.orphanRightTotal(), orphanRights);

    // New rows are numbered after the imported ones, gaps included.
    QVariant cno, rowNo;
    ASSERT_EQ(db->insertRow("tblCustomers", {{"CustId", "KH0100"}}, &cno), QString());
    EXPECT_EQ(cno.toLongLong(), 10);
    ASSERT_EQ(db->insertRow("tblColor", {{"ColorID", 1}}, &rowNo), QString());
    EXPECT_EQ(rowNo.toLongLong(), tables.value("tblColor").toObject().value("row_count").toInt() + 1);
}

// The agency's staff keep their old passwords: they log in through the
// program's own login dialog after the import.
TEST_P(FixtureImport, ImportedUsersLogInWithTheirOldPasswords)
{
    REQUIRE_FIXTURE(kFixture, "legacy/HKP30.hdb");
    TempDatabase tmp(GetParam(), false);
    const QString target = newTarget(tmp, GetParam());
    ImportReport report;
    ASSERT_EQ(LegacyImport::importFile(kFixture, target, &report), QString());
    auto db = openTarget(target);
    ASSERT_TRUE(db);
    FakePrompts prompts;
    const struct {
        QString user, password;
        bool in;
    } cases[] = {{"wangfang", "wf2003", true}, {"liuli", "ll@1982", true}, {"Admin", "583920", true},
                 {"liuli", "LL@1982", false}};
    for (const auto &c : cases) {
        Session::current().reset();
        prompts.clear();
        TfrmLogin dlg(*db);
        dlg.show();
        dlg.userBox()->setEditText(c.user);
        dlg.passwordBox()->setText(c.password);
        dlg.BtnOkClick();
        EXPECT_EQ(dlg.result() == QDialog::Accepted, c.in) << c.user.toStdString() << " " << prompts.last().toStdString();
        EXPECT_EQ(Session::current().userId(), c.in ? c.user : QString());
    }
    Session::current().reset();
}

TEST_P(FixtureImport, RefusesAnExistingTargetAndLeavesItAlone)
{
    REQUIRE_FIXTURE(kFixture, "legacy/HKP30.hdb");
    TempDatabase tmp(GetParam(), false);
    const QString target = newTarget(tmp, GetParam());
    ImportReport first, second;
    ASSERT_EQ(LegacyImport::importFile(kFixture, target, &first), QString());
    const QString err = LegacyImport::importFile(kFixture, target, &second);
    EXPECT_TRUE(err.contains(QStringLiteral("拒绝覆盖"))) << err.toStdString();
    auto db = openTarget(target);
    ASSERT_TRUE(db);
    QSqlQuery q(db->sql());
    ASSERT_TRUE(q.exec("SELECT count(*) FROM tblCustomers") && q.next());
    EXPECT_EQ(q.value(0).toInt(), 8);
}

// Cases the fixture does not hold: each clean-up, values that cannot be
// kept as they are, and what is imported unchanged although it looks odd.
TEST_P(FixtureImport, CleanUpsAndUnconvertibleValuesAreCountedAndReported)
{
    using T = LegacyType;
    const QVariant null;
    const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0));
    const QString longName(60, QChar(0x4E2D));
    MemorySource src;
    src.add("tblUser", {{"UserID", T::Text}, {"Password", T::Text}, {"Sys", T::Bool}},
            {{"Boss", null, true}, {"clerk", "pa ss\t", false}});
    src.add("tblUserRight", {{"UserID", T::Text}, {"RightID", T::Text}, {"Insert", T::Bool}},
            {{"Boss", "101", true}, {"gone", "101", true}, {"CLERK", "101", false}, {"boss", "101", false}});
    src.add("tblCustomers",
            {{"CNo", T::Integer}, {"CustId", T::Text}, {"CustName", T::Text}, {"CreateDate", T::DateTime},
             {"SUser", T::Text}, {"Memo", T::Memo}, {"Fax2", T::Text}},
            {{qint64(5), "KH01  ", "a'b\"c", zero, "BOSS", "x\ty\r\nz  ", "dropped column"},
             {qint64(9), "KH02", longName, QDateTime(QDate(1899, 12, 30), QTime(8, 0)), "nobody", "", null}});
    src.add("tblLog", {{"LogID", T::Integer}, {"UserID", T::Text}}, {{qint64(3), "CLERK"}});
    src.add("tblBoard", {{"BNo", T::Integer}, {"BDate", T::DateTime}},
            {{qint64(1), QDateTime(QDate(2005, 3, 1), QTime(10, 0))}});
    src.add("tblCountry", {{"CountryID", T::Text}, {"CountryName", T::Text}, {"Memo", T::Text}},
            {{"JP", "日本", "日本国"}, {"XX", "无备注", null}});
    src.add("tblOperates", {{"OperateID", T::Text}, {"Rate", T::Double}, {"RMB", T::Currency}},
            {{"HT1", std::numeric_limits<double>::quiet_NaN(), qint64(1234567890123456)}});
    src.add("tblExtra", {{"A", T::Text}}, {{"a"}});

    TempDatabase tmp(GetParam(), false);
    const QString target = newTarget(tmp, GetParam());
    QString err;
    auto db = DbSetup::create(target, &err);
    ASSERT_TRUE(db) << err.toStdString();
    ImportReport report;
    ASSERT_EQ(LegacyImporter(src, *db).run(&report), QString());
    const std::string text = report.text().toStdString();

    // Clean-ups.
    EXPECT_EQ(report.table("tblCustomers")->userCase, 1) << text;
    EXPECT_EQ(report.table("tblLog")->userCase, 1) << text;
    EXPECT_EQ(report.table("tblUserRight")->userCase, 2) << text;
    EXPECT_EQ(report.zeroDateTotal(), 1) << text;
    EXPECT_EQ(report.orphanRightTotal(), 1) << text;

    auto rows = [&](const QString &sql) {
        QSqlQuery q(db->sql());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        QStringList out;
        while (q.next()) {
            QStringList r;
            for (int i = 0; q.record().count() > i; ++i)
                r << (q.value(i).isNull() ? QStringLiteral("NULL") : q.value(i).toString());
            out << r.join('|');
        }
        return out;
    };
    EXPECT_EQ(rows("SELECT UserID FROM tblUser ORDER BY UserID"), QStringList({"Boss", "clerk"}));
    EXPECT_EQ(rows("SELECT UserID, RightID FROM tblUserRight ORDER BY UserID"), QStringList({"Boss|101", "clerk|101"}));
    EXPECT_EQ(rows("SELECT CNo, CustId, CustName, SUser, Memo FROM tblCustomers ORDER BY CNo"),
              QStringList({"5|KH01  |a'b\"c|Boss|x\ty\r\nz  ", "9|KH02|" + longName.left(50) + "|nobody|NULL"}));
    EXPECT_EQ(rows("SELECT UserID FROM tblLog"), QStringList({"clerk"}));
    EXPECT_EQ(rows("SELECT CountryID FROM tblCountry"), QStringList({"JP"}));
    EXPECT_EQ(rows("SELECT count(*) FROM tblColor"), QStringList({"16"})); // not in the old file: kept

    QSqlQuery q(db->sql());
    ASSERT_TRUE(q.exec("SELECT CNo, CreateDate FROM tblCustomers ORDER BY CNo"));
    ASSERT_TRUE(q.next());
    EXPECT_TRUE(q.value(1).isNull());
    ASSERT_TRUE(q.next());
    EXPECT_EQ(db->fromDb(Schema::table("tblCustomers")->column("CreateDate"), q.value(1)).toDateTime(),
              QDateTime(QDate(1899, 12, 30), QTime(8, 0)));
    ASSERT_TRUE(q.exec("SELECT BDate FROM tblBoard") && q.next());
    EXPECT_EQ(db->fromDb(Schema::table("tblBoard")->column("BDate"), q.value(0)).toDate(), QDate(2005, 3, 1));
    ASSERT_TRUE(q.exec("SELECT Rate, CAST(RMB AS TEXT) FROM tblOperates") && q.next());
    EXPECT_TRUE(q.value(0).isNull());
    if (GetParam() == Engine::PostgreSQL) {
        EXPECT_EQ(q.value(1).toString(), "123456789012.3456");
    }

    ASSERT_TRUE(q.exec("SELECT UserID, Password FROM tblUser ORDER BY UserID"));
    ASSERT_TRUE(q.next());
    EXPECT_TRUE(Password::verify(q.value(1).toString(), ""));
    ASSERT_TRUE(q.next());
    EXPECT_TRUE(Password::verify(q.value(1).toString(), "pa ss\t"));

    // What was reported, by table, column and why.
    auto reported = [&](const QString &table, const QString &column, const QString &why) {
        for (const auto &p : report.problems)
            if (p.table == table && p.column == column && p.why.contains(why))
                return true;
        return false;
    };
    EXPECT_TRUE(reported("tblCustomers", "CustName", QStringLiteral("超过列宽 50"))) << text;
    EXPECT_TRUE(reported("tblBoard", "BDate", QStringLiteral("10:00:00"))) << text;
    EXPECT_TRUE(reported("tblCountry", "", QStringLiteral("必填"))) << text;
    EXPECT_TRUE(reported("tblOperates", "Rate", QStringLiteral("不是有限数"))) << text;
    EXPECT_TRUE(reported("tblUserRight", "", QStringLiteral("重复"))) << text;
    EXPECT_EQ(report.problems.size(), 5) << text;
    EXPECT_EQ(report.table("tblCountry")->read, 2);
    EXPECT_EQ(report.table("tblCountry")->written, 1);
    EXPECT_TRUE(report.columnMismatches.join('\n').contains("Fax2")) << text;
    EXPECT_TRUE(report.notes.join('\n').contains("tblExtra")) << text;
}

TEST_P(FixtureImport, WithoutOldUsersTheInitialAdministratorStays)
{
    MemorySource src;
    src.add("tblCustomers", {{"CustId", LegacyType::Text}}, {{"KH01"}});
    TempDatabase tmp(GetParam(), false);
    QString err;
    auto db = DbSetup::create(newTarget(tmp, GetParam()), &err);
    ASSERT_TRUE(db) << err.toStdString();
    ImportReport report;
    ASSERT_EQ(LegacyImporter(src, *db).run(&report), QString());
    QSqlQuery q(db->sql());
    ASSERT_TRUE(q.exec("SELECT count(*) FROM tblUserRight WHERE UserID = 'Admin'") && q.next());
    EXPECT_EQ(q.value(0).toInt(), Schema::rightCodes().size());
}

// A table or column of the system that the old file lacks, or rows its
// definition records but that were not there to read: the import goes on
// and the report says what is missing.
TEST_P(FixtureImport, WhatTheOldFileLacksIsListedAndTheImportIsNotComplete)
{
    auto legacyType = [](ColumnKind k) {
        switch (k) {
        case ColumnKind::Text: return LegacyType::Text;
        case ColumnKind::Memo: return LegacyType::Memo;
        case ColumnKind::Bool: return LegacyType::Bool;
        case ColumnKind::Date:
        case ColumnKind::DateTime: return LegacyType::DateTime;
        case ColumnKind::Integer:
        case ColumnKind::AutoNumber: return LegacyType::Integer;
        case ColumnKind::Float:
        case ColumnKind::Decimal: return LegacyType::Double;
        case ColumnKind::Currency: return LegacyType::Currency;
        }
        return LegacyType::Unsupported;
    };
    // Every table of the system with its columns, one user, no other rows.
    auto oldFile = [&](const QString &withoutTable, const QString &withoutColumn, qint64 recordedUsers) {
        MemorySource src;
        for (const TableDef &t : Schema::tables()) {
            if (t.name() == withoutTable)
                continue;
            QVector<LegacyColumn> columns;
            QVariantList user;
            for (const ColumnDef &c : t.columns()) {
                if (t.name() + "." + c.name == withoutColumn)
                    continue;
                columns.append({c.name, legacyType(c.kind)});
                user << (c.name == QLatin1String("UserID") ? QVariant("Admin") : QVariant());
            }
            const bool users = t.name() == QLatin1String("tblUser");
            src.add(t.name(), columns, users ? QVector<QVariantList>{user} : QVector<QVariantList>{},
                    users ? recordedUsers : -1);
        }
        return src;
    };
    const struct {
        const char *what;
        QString withoutTable, withoutColumn;
        qint64 recordedUsers;
        QString listed; // empty: nothing to list
    } cases[] = {
        {"whole", {}, {}, 1, {}},
        {"without a table", "tblYuangong", {}, 1, "旧数据库缺少的表（1 个，保持新建时的内容）：\n  tblYuangong\n"},
        {"without a column", {}, "tblCustomers.Email", 1, "与新系统不符的列（1 处）：\n  tblCustomers.Email：旧数据库没有此列，留空\n"},
        {"fewer rows than recorded", {}, {}, 2, "  tblUser：旧数据库的表定义记有 2 行，读出 1 行\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        MemorySource src = oldFile(c.withoutTable, c.withoutColumn, c.recordedUsers);
        TempDatabase tmp(GetParam(), false);
        QString err;
        auto db = DbSetup::create(newTarget(tmp, GetParam()), &err);
        ASSERT_TRUE(db) << err.toStdString();
        ImportReport report;
        ASSERT_EQ(LegacyImporter(src, *db).run(&report), QString());
        const QString text = report.text();
        EXPECT_EQ(report.isComplete(), c.listed.isEmpty()) << text.toStdString();
        EXPECT_TRUE(text.contains(c.listed)) << text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, FixtureImport, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

TEST(LegacyImport, RefusesWhatIsNotAnOldDatabaseAndCreatesNoTarget)
{
    QTemporaryDir dir;
    const QString text = dir.filePath("notes.hdb");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Standard Jet DB? no, just a note\n");
    f.close();
    const QString sqlite = dir.filePath("empty.sqlite");
    {
        QString err;
        auto db = Database::open(sqlite, &err, true);
        ASSERT_TRUE(db) << err.toStdString();
    }
    const struct {
        QString file;
        QString why;
    } cases[] = {
        {text, QStringLiteral("不是旧系统的数据库文件")},
        {sqlite, QStringLiteral("不是旧系统的数据库文件")},
        {dir.filePath("missing.hdb"), QStringLiteral("不存在")},
    };
    for (const auto &c : cases) {
        const QString target = dir.filePath("new.hdb");
        ImportReport report;
        const QString err = LegacyImport::importFile(c.file, target, &report);
        EXPECT_TRUE(err.contains(c.why)) << c.file.toStdString() << ": " << err.toStdString();
        EXPECT_FALSE(QFile::exists(target)) << c.file.toStdString();
    }
}

TEST(LegacyImport, JetDatesAndCurrencyConvertExactly)
{
    const struct {
        double days;
        QDateTime expected;
    } dates[] = {
        {0.0, QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC)},
        {1.5, QDateTime(QDate(1899, 12, 31), QTime(12, 0), Qt::UTC)},
        {-1.25, QDateTime(QDate(1899, 12, 29), QTime(6, 0), Qt::UTC)}, // before day 0 the time still counts forward
        {-0.5, QDateTime(QDate(1899, 12, 30), QTime(12, 0), Qt::UTC)},
        {38426.0 + 37425.0 / 86400.0, QDateTime(QDate(2005, 3, 15), QTime(10, 23, 45), Qt::UTC)},
        {38426.9999999, QDateTime(QDate(2005, 3, 16), QTime(0, 0), Qt::UTC)}, // rounds into the next day
        {2958465.0, QDateTime(QDate(9999, 12, 31), QTime(0, 0), Qt::UTC)},
        {32250.0 + 9000.0 / 86400.0, QDateTime(QDate(1988, 4, 17), QTime(2, 30), Qt::UTC)},
        {-657434.0, QDateTime(QDate(100, 1, 1), QTime(0, 0), Qt::UTC)},
        {2958466.0, QDateTime()},
        {std::numeric_limits<double>::quiet_NaN(), QDateTime()},
        {std::numeric_limits<double>::infinity(), QDateTime()},
    };
    // A clock time that did not exist in local time (clocks put forward
    // in China on 1988-04-17 at 02:00) still arrives as stored.
    const QByteArray oldTz = qgetenv("TZ");
    qputenv("TZ", "Asia/Shanghai");
    tzset();
    for (const auto &d : dates) {
        const QDateTime got = JetValue::toDateTime(d.days);
        EXPECT_EQ(got.isValid(), d.expected.isValid()) << d.days;
        EXPECT_EQ(got.date(), d.expected.date()) << d.days;
        EXPECT_EQ(got.time(), d.expected.time()) << d.days;
    }
    if (oldTz.isEmpty())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldTz);
    tzset();

    const struct {
        qint64 raw;
        const char *text;
    } money[] = {
        {0, "0"},
        {300000, "30"},
        {300814634, "30081.4634"},
        {-1, "-0.0001"},
        {-123450, "-12.345"},
        {std::numeric_limits<qint64>::min(), "-922337203685477.5808"},
        {std::numeric_limits<qint64>::max(), "922337203685477.5807"},
    };
    for (const auto &m : money)
        EXPECT_EQ(JetValue::currencyText(m.raw), QString::fromLatin1(m.text)) << m.raw;
    EXPECT_EQ(JetValue::currencyDouble(300814634), 30081.4634);
}

TEST(LegacyImport, TheAdminToolImportsTheFixtureAndRefusesTheSecondTime)
{
    REQUIRE_FIXTURE(kFixture, "legacy/HKP30.hdb");
    QTemporaryDir dir;
    const QString target = dir.filePath("Data/HKP30.hdb");
    QProcess p;
    p.start(BREVIA_ADMIN, {"import", kFixture, target});
    ASSERT_TRUE(p.waitForFinished(120000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_EQ(p.exitCode(), 0) << out.toStdString() << p.readAllStandardError().toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression(QStringLiteral("tblUserRight +73 / +73")))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("无法转换的值：无"))) << out.toStdString();
    ASSERT_TRUE(QFile::exists(target));
    const qint64 size = QFileInfo(target).size();

    p.start(BREVIA_ADMIN, {"import", kFixture, target});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("拒绝覆盖")));
    EXPECT_EQ(QFileInfo(target).size(), size);
}

} // namespace
