// The schema made by brevia-admin init, on every engine under test.
#include "data/database.h"
#include "data/dbsetup.h"
#include "data/password.h"
#include "data/schema.h"
#include "testlib/fixtures.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <memory>

namespace {

class SchemaTest : public ::testing::TestWithParam<Engine>
{
};

QStringList columnsOf(Database &db, const QString &table)
{
    QSqlQuery q(db.sql());
    if (!q.exec(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(table)))
        return {};
    QStringList names;
    const QSqlRecord r = q.record();
    for (int i = 0; i < r.count(); ++i)
        names << r.fieldName(i).toLower();
    return names;
}

QVariant scalar(Database &db, const QString &sql)
{
    QSqlQuery q(db.sql());
    if (!q.exec(sql) || !q.next())
        return {};
    return q.value(0);
}

} // namespace

// The tables and columns of an agency's old database file are the contract
// of the schema: every one of them must exist under the same name.
TEST_P(SchemaTest, HoldsEveryTableAndColumnOfTheOldFiles)
{
    REQUIRE_FIXTURE(path, "legacy/manifest.json");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QJsonObject tables = QJsonDocument::fromJson(f.readAll()).object().value("tables").toObject();
    ASSERT_EQ(tables.size(), 32);
    TempDatabase t(GetParam());
    for (auto it = tables.begin(); it != tables.end(); ++it) {
        const QStringList have = columnsOf(t.db(), it.key());
        ASSERT_FALSE(have.isEmpty()) << it.key().toStdString();
        for (const auto &c : it.value().toObject().value("columns").toArray()) {
            const QString name = c.toObject().value("name").toString();
            EXPECT_TRUE(have.contains(name.toLower())) << it.key().toStdString() << "." << name.toStdString();
            const int length = c.toObject().value("length").toInt();
            const ColumnDef *def = Schema::table(it.key())->column(name);
            if (def && length > 0 && def->kind == ColumnKind::Text && name != "Password") {
                EXPECT_EQ(def->width, length) << it.key().toStdString() << "." << name.toStdString();
            }
        }
    }
}

TEST_P(SchemaTest, NewDatabaseHasAdminWithEveryRightAndTheSeeds)
{
    TempDatabase t(GetParam());
    Database &db = t.db();
    const QString hash = scalar(db, "SELECT Password FROM tblUser WHERE UserID = 'Admin'").toString();
    EXPECT_TRUE(Password::isHash(hash));
    EXPECT_TRUE(Password::verify(hash, "583920"));
    EXPECT_FALSE(Password::verify(hash, "583921"));
    EXPECT_EQ(scalar(db, "SELECT State FROM tblUser WHERE UserID = 'Admin'").toString(), "Yes");
    EXPECT_TRUE(scalar(db, "SELECT Sys FROM tblUser WHERE UserID = 'Admin'").toBool());
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM tblUserRight WHERE UserID = 'Admin'").toInt(), 48);
    EXPECT_EQ(scalar(db, "SELECT count(DISTINCT RightID) FROM tblUserRight").toInt(), 48);
    const QString allFlags = QStringLiteral("SELECT count(*) FROM tblUserRight WHERE %1 AND %2 AND %3 AND %4 AND %5")
                                 .arg(db.dialect().ident("Insert"), db.dialect().ident("Modify"),
                                      db.dialect().ident("Delete"), db.dialect().ident("Query"),
                                      db.dialect().ident("Print"));
    EXPECT_EQ(scalar(db, allFlags).toInt(), 48);
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM tblColor").toInt(), 16);
    EXPECT_EQ(scalar(db, "SELECT CountryName FROM tblCountry WHERE CountryID = 'CN'").toString(), "中国");
    EXPECT_DOUBLE_EQ(scalar(db, "SELECT Rate FROM tblCurrencyRate WHERE CurrID = 'RMB'").toDouble(), 1.0);
    for (const char *empty : {"tblLog", "tblUserInfo", "tblCustomers", "tblBoard"})
        EXPECT_EQ(scalar(db, QStringLiteral("SELECT count(*) FROM %1").arg(empty)).toInt(), 0) << empty;
    EXPECT_EQ(Schema::storedVersion(db), Schema::kVersion);
}

// Codes the database refuses twice, user codes regardless of letter case,
// memos it requires, and widths it enforces.
TEST_P(SchemaTest, DatabaseRefusesWhatTheRulesForbid)
{
    TempDatabase t(GetParam());
    Database &db = t.db();
    struct Case {
        const char *what;
        QString table;
        FieldValues row;
        bool refused;
    } cases[] = {
        {"second Admin in other case", "tblUser", {{"UserID", "ADMIN"}, {"Sys", false}}, true},
        {"new user", "tblUser", {{"UserID", "zhang"}, {"Sys", false}}, false},
        {"dictionary memo missing", "tblCustLevel", {{"LevelID", "A"}, {"LevelName", "甲"}}, true},
        {"dictionary memo empty", "tblCustLevel", {{"LevelID", "A"}, {"LevelName", "甲"}, {"Memo", ""}}, true},
        {"dictionary complete", "tblCustLevel", {{"LevelID", "A"}, {"LevelName", "甲"}, {"Memo", "甲级"}}, false},
        {"dictionary code twice", "tblCustLevel", {{"LevelID", "A"}, {"LevelName", "乙"}, {"Memo", "x"}}, true},
        {"contract", "tblOperates", {{"OperateID", "HT1"}}, false},
        {"contract code twice", "tblOperates", {{"OperateID", "HT1"}}, true},
        {"money line", "tblOperateDetail", {{"OperateID", "HT1"}, {"DetailNo", 1}}, false},
        {"money line number twice", "tblOperateDetail", {{"OperateID", "HT1"}, {"DetailNo", 1}}, true},
        {"code of 31 characters", "tblCustomers", {{"CustId", QString(31, 'x')}}, true},
        {"code of 30 Chinese characters", "tblCustomers", {{"CustId", QString(30, QChar(0x5BA2))}}, false},
        {"contacts share a code", "tblLinkmans", {{"LinkmanID", "L1"}}, false},
        {"contacts share a code again", "tblLinkmans", {{"LinkmanID", "L1"}}, false},
        {"same colour twice", "tblColor", {{"ColorID", 255}}, false},
    };
    for (const auto &c : cases) {
        const QString err = db.insertRow(c.table, c.row);
        EXPECT_EQ(!err.isEmpty(), c.refused) << c.what << ": " << err.toStdString();
    }
    EXPECT_EQ(db.insertRow("tblOperateDetail", {{"OperateID", "HT1"}, {"DetailNo", 1}}), "对不起，该代码已存在！");
}

TEST_P(SchemaTest, ValuesComeBackAsStored)
{
    TempDatabase t(GetParam());
    Database &db = t.db();
    const QDateTime at(QDate(2005, 3, 7), QTime(10, 23, 45));
    QVariant cno;
    ASSERT_EQ(db.insertRow("tblCustomers",
                           {{"CustId", "KH 01 "}, {"CustName", "Patrick O'Neill"}, {"CreateDate", at}, {"City", ""}},
                           &cno),
              "");
    EXPECT_EQ(cno.toInt(), 1);
    ASSERT_EQ(db.insertRow("tblOperates", {{"OperateID", "HT"}, {"RMB", 30081.46344}, {"Link", true},
                                          {"WriteDate", QDate(1899, 12, 30)}, {"Rate", 0.16666666666666666}}),
              "");
    QSqlQuery q(db.sql());
    ASSERT_TRUE(q.exec("SELECT CustId, CustName, CreateDate, City FROM tblCustomers") && q.next());
    const TableDef *c = Schema::table("tblCustomers");
    EXPECT_EQ(q.value(0).toString(), "KH 01 ");
    EXPECT_EQ(q.value(1).toString(), "Patrick O'Neill");
    EXPECT_EQ(db.fromDb(c->column("CreateDate"), q.value(2)).toDateTime(), at);
    EXPECT_TRUE(q.value(3).isNull()); // empty text is stored as NULL
    const TableDef *o = Schema::table("tblOperates");
    ASSERT_TRUE(q.exec("SELECT RMB, " + db.dialect().ident("Link") + ", WriteDate, Rate FROM tblOperates") && q.next());
    EXPECT_DOUBLE_EQ(db.fromDb(o->column("RMB"), q.value(0)).toDouble(), 30081.4634);
    EXPECT_TRUE(db.fromDb(o->column("Link"), q.value(1)).toBool());
    EXPECT_EQ(db.fromDb(o->column("WriteDate"), q.value(2)).toDateTime(), QDate(1899, 12, 30).startOfDay());
    EXPECT_EQ(db.fromDb(o->column("Rate"), q.value(3)).toDouble(), 0.16666666666666666);
}

TEST_P(SchemaTest, InitRefusesAnExistingDatabase)
{
    TempDatabase t(GetParam());
    QString err;
    EXPECT_EQ(DbSetup::create(t.location(), &err), nullptr);
    EXPECT_FALSE(err.isEmpty());
    // and it left the data alone
    EXPECT_EQ(scalar(t.db(), "SELECT count(*) FROM tblUserRight").toInt(), 48);
}

// A commit that returned must be on the disk: the write-ahead log is
// synced at every commit, not only at checkpoints.
TEST(SqliteFile, EveryCommitReachesTheDiskBeforeItReturns)
{
    TempDatabase t(Engine::SQLite);
    // The file as init made it, and opened again as the program opens it.
    const std::unique_ptr<Database> again = t.openAnother();
    ASSERT_TRUE(again);
    for (Database *db : {&t.db(), again.get()}) {
        EXPECT_TRUE(db->journalIsWal());
        EXPECT_EQ(scalar(*db, "PRAGMA synchronous").toInt(), 2); // FULL
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, SchemaTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

// The command line tool as the README's run command uses it.
TEST(AdminTool, InitMakesTheDefaultDatabaseOnceAndRefusesTheSecondTime)
{
    QTemporaryDir home;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("BREVIA_HOME", home.path());
    p.setProcessEnvironment(env);
    p.start(BREVIA_ADMIN, {"init"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QString file = home.filePath("Data/HKP30.hdb");
    ASSERT_TRUE(QFile::exists(file));
    const qint64 size = QFileInfo(file).size();
    p.start(BREVIA_ADMIN, {"init"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(QFileInfo(file).size(), size);
    p.start(BREVIA_ADMIN, {"migrate", file});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

// The test programs hash at the smallest cost to save time; the shipped
// programs must not. Verification takes the cost from the stored string, so
// either kind verifies in either kind of process.
TEST(AdminTool, HashesTheAdministratorPasswordAtTheInteractiveCost)
{
    QTemporaryDir home;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("BREVIA_HOME", home.path());
    p.setProcessEnvironment(env);
    p.start(BREVIA_ADMIN, {"init"});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QString err;
    auto db = Database::open(home.filePath("Data/HKP30.hdb"), &err);
    ASSERT_TRUE(db) << err.toStdString();
    const QString shipped = scalar(*db, "SELECT Password FROM tblUser WHERE UserID = 'Admin'").toString();
    // $argon2id$v=19$m=<KiB>,t=<passes>,p=<lanes>$salt$hash
    EXPECT_EQ(shipped.section('$', 3, 3), "m=65536,t=2,p=1") << shipped.toStdString();
    EXPECT_TRUE(Password::verify(shipped, "583920"));
    EXPECT_FALSE(Password::verify(shipped, "583921"));

    const QString cheap = Password::hash("583920");
    EXPECT_EQ(cheap.section('$', 3, 3), "m=8,t=1,p=1") << cheap.toStdString();
    EXPECT_TRUE(Password::verify(cheap, "583920"));
}
