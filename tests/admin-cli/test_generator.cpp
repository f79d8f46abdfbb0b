// The made-up agency: what it holds must hang together the way the program
// expects real data to, on either engine, and a seed must always give the
// same agency.
#include "admin-cli/generator.h"
#include "data/database.h"
#include "data/databasebuild.h"
#include "data/dataset.h"
#include "data/dbsetup.h"
#include "data/dmmain.h"
#include "data/password.h"
#include "data/schema.h"
#include "data/tabledef.h"
#include "testlib/tempdatabase.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <signal.h>

namespace {

constexpr int kCustomers = 200;

qint64 count(Database &db, const QString &sql)
{
    QSqlQuery q(db.sql());
    if (!q.exec(sql) || !q.next()) {
        ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return -1;
    }
    return q.value(0).toLongLong();
}

// Every row of a table in key order, as text, to compare two databases.
QStringList dump(Database &db, const QString &table, const QString &order)
{
    QSqlQuery q(db.sql());
    EXPECT_TRUE(q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table, order)));
    QStringList rows;
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i) {
            // Amounts in the form the program reads them (ten-thousandths
            // on SQLite, decimals on PostgreSQL).
            const ColumnDef *def = Schema::table(table)->column(q.record().fieldName(i));
            const QVariant v = def && def->isMoney() ? QVariant(db.fromDb(def, q.value(i)).toString()) : q.value(i);
            // The engines hand values back in different types; compare
            // them in one form.
            if (v.typeId() == QMetaType::QDateTime) {
                cells << v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                continue;
            }
            if (v.typeId() == QMetaType::QDate) {
                cells << v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
                continue;
            }
            if (v.typeId() == QMetaType::Bool) {
                cells << QString::number(v.toBool() ? 1 : 0);
                continue;
            }
            bool isNumber = false;
            const double d = v.toString().toDouble(&isNumber);
            cells << (isNumber ? QString::number(d, 'g', 15) : v.toString());
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

class GeneratorTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Generator::Options o;
        o.customers = kCustomers;
        o.seed = 11;
        ASSERT_EQ(Generator::fill(t->db(), o, &counts), "");
    }
    Database &db() { return t->db(); }
    std::unique_ptr<TempDatabase> t;
    Generator::Counts counts;
};

} // namespace

TEST_P(GeneratorTest, FillsEveryBusinessTableInTheUsualProportions)
{
    EXPECT_EQ(count(db(), "SELECT count(*) FROM tblCustomers"), kCustomers);
    auto between = [&](const char *table, double low, double high) {
        const qint64 n = count(db(), QStringLiteral("SELECT count(*) FROM %1").arg(table));
        EXPECT_GE(n, qint64(low * kCustomers)) << table;
        EXPECT_LE(n, qint64(high * kCustomers)) << table;
    };
    between("tblLinkmans", 1.5, 2.5);
    between("tblOperates", 1.1, 1.9);
    between("tblOperateDetail", 2.2, 3.8);
    between("tblCustomerState", 2.4, 3.6);
    between("tblYuangong", 0.4, 0.8);
    between("tblPlan", 0.15, 0.5);
    for (const char *table : {"tblOperaters", "tblShusong", "tblCustLevel", "tblVocation", "tblCustOrigin",
                              "tblCustState", "tblCustDist", "tblOperateType", "tblOperateState", "tblGongzhong"})
        EXPECT_GT(count(db(), QStringLiteral("SELECT count(*) FROM %1").arg(table)), 0) << table;
    // The counts handed back are the rows that are there.
    for (const auto &[table, n] : std::as_const(counts))
        if (table != QLatin1String("tblUser") && table != QLatin1String("tblCountry")
            && table != QLatin1String("tblCurrencyRate") && table != QLatin1String("tblUserRight")) {
            EXPECT_EQ(count(db(), QStringLiteral("SELECT count(*) FROM %1").arg(table)), n) << table.toStdString();
        }
}

TEST_P(GeneratorTest, EveryReferenceFindsItsRow)
{
    // column of the referring table, referred table and column
    const struct {
        const char *table, *column, *target, *key;
    } refs[] = {
        {"tblLinkmans", "CustID", "tblCustomers", "CustId"},
        {"tblOperates", "CustID", "tblCustomers", "CustId"},
        {"tblOperates", "LinkCustID", "tblCustomers", "CustId"},
        {"tblOperates", "OperaterID", "tblOperaters", "OperaterID"},
        {"tblOperates", "TypeID", "tblOperateType", "TypeID"},
        {"tblOperates", "OriginId", "tblOperateOrigin", "OriginID"},
        {"tblOperates", "OperateStateID", "tblOperateState", "OperateStateID"},
        {"tblOperates", "CurrID", "tblCurrencyRate", "CurrID"},
        {"tblOperateDetail", "OperateID", "tblOperates", "OperateID"},
        {"tblOperateDetail", "CurrID", "tblCurrencyRate", "CurrID"},
        {"tblCustomerState", "CustID", "tblCustomers", "CustId"},
        {"tblCustomerAddInfo", "CustID", "tblCustomers", "CustId"},
        {"tblCustomerAddInfo", "BankID", "tblFinanceOrgan", "OrganID"},
        {"tblCustomers", "CountryID", "tblCountry", "CountryID"},
        {"tblCustomers", "DistID", "tblCustDist", "DistID"},
        {"tblCustomers", "VocationID", "tblVocation", "VocationId"},
        {"tblCustomers", "OriginID", "tblCustOrigin", "OriginID"},
        {"tblCustomers", "LevelID", "tblCustLevel", "LevelID"},
        {"tblCustomers", "StateId", "tblCustState", "StateID"},
        {"tblCustomers", "OperaterID", "tblOperaters", "OperaterID"},
        {"tblYuangong", "CustID", "tblCustomers", "CustId"},
        {"tblYuangong", "ShusongID", "tblShusong", "ShusongID"},
        {"tblYuangong", "GongzhongID", "tblGongzhong", "GongzhongID"},
        {"tblYuangong", "LevelID", "tblJineng", "LevelID"},
        {"tblYuangong", "TJID", "tblTijian", "TJID"},
        {"tblYuangong", "DepartmentID", "tblDepartment", "DepartmentID"},
        {"tblOperaters", "DepartmentID", "tblDepartment", "DepartmentID"},
        {"tblPlan", "CustID", "tblCustomers", "CustId"},
        {"tblPlan", "OperateId", "tblOperates", "OperateID"},
        {"tblShusongYJ", "ShusongID", "tblShusong", "ShusongID"},
        {"tblUser", "DeptID", "tblDepartment", "DepartmentID"},
    };
    for (const auto &r : refs)
        EXPECT_EQ(count(db(), QStringLiteral("SELECT count(*) FROM %1 a WHERE a.%2 IS NOT NULL AND NOT EXISTS "
                                             "(SELECT 1 FROM %3 b WHERE b.%4 = a.%2)")
                                  .arg(r.table, r.column, r.target, r.key)),
                  0)
            << r.table << "." << r.column;
    // A contract's contact is one of its own customer's contacts.
    EXPECT_EQ(count(db(), "SELECT count(*) FROM tblOperates o WHERE o.LinkmanID IS NOT NULL AND NOT EXISTS "
                          "(SELECT 1 FROM tblLinkmans l WHERE l.CustID = o.CustID AND l.LinkmanID = o.LinkmanID)"),
              0);
    // Contact codes are unique within a customer, and each has one main contact.
    EXPECT_EQ(count(db(), "SELECT count(*) FROM (SELECT CustID, LinkmanID FROM tblLinkmans GROUP BY CustID, LinkmanID "
                          "HAVING count(*) > 1) d"),
              0);
    EXPECT_EQ(count(db(), QStringLiteral("SELECT count(*) FROM (SELECT CustID FROM tblLinkmans GROUP BY CustID "
                                         "HAVING sum(CASE WHEN %1 = %2 THEN 1 ELSE 0 END) <> 1) d")
                              .arg(db().dialect().ident("Main"), db().dialect().boolLiteral(true))),
              0);
}

TEST_P(GeneratorTest, RenminbiIsTheAmountTimesTheRateOfItsCurrency)
{
    QSqlQuery q(db().sql());
    ASSERT_TRUE(q.exec("SELECT o.CompactAmount, o.RMB, c.Rate, o.Profit, o.Rate FROM tblOperates o "
                       "JOIN tblCurrencyRate c ON c.CurrID = o.CurrID"));
    int contracts = 0, foreign = 0;
    while (q.next()) {
        ++contracts;
        const TableDef *def = Schema::table("tblOperates");
        const double amount = db().fromDb(def->column("CompactAmount"), q.value(0)).toDouble(),
                     rmb = db().fromDb(def->column("RMB"), q.value(1)).toDouble(), rate = q.value(2).toDouble();
        EXPECT_GT(amount, 0);
        EXPECT_NEAR(rmb, amount * rate, 0.00005 + 1e-9 * amount);
        EXPECT_NEAR(q.value(4).toDouble(), db().fromDb(def->column("Profit"), q.value(3)).toDouble() / amount, 1e-9);
        if (rate != 1.0)
            ++foreign;
    }
    EXPECT_EQ(contracts, count(db(), "SELECT count(*) FROM tblOperates"));
    EXPECT_GT(foreign, 0) << "some contracts are in another currency";

    ASSERT_TRUE(q.exec("SELECT d.Price, d.Amount, d.DTotal, d.RMB, c.Rate FROM tblOperateDetail d "
                       "JOIN tblCurrencyRate c ON c.CurrID = d.CurrID"));
    int lines = 0;
    while (q.next()) {
        ++lines;
        // Amounts come back from the database as it keeps them exactly.
        const TableDef *def = Schema::table("tblOperateDetail");
        auto amount = [&](int i, const char *col) { return db().fromDb(def->column(col), q.value(i)).toDouble(); };
        const double total = amount(0, "Price") * amount(1, "Amount");
        EXPECT_NEAR(amount(2, "DTotal"), total, 1e-6);
        EXPECT_NEAR(amount(3, "RMB"), total * q.value(4).toDouble(), 0.00005 + 1e-9 * total);
    }
    EXPECT_EQ(lines, count(db(), "SELECT count(*) FROM tblOperateDetail"));
}

TEST_P(GeneratorTest, MoneyLinesAreNumberedOneByOnePerContract)
{
    EXPECT_EQ(count(db(), "SELECT count(*) FROM (SELECT OperateID, DetailNo FROM tblOperateDetail "
                          "GROUP BY OperateID, DetailNo HAVING count(*) > 1) d"),
              0);
    // 1..n without gaps, as a user numbering them would.
    EXPECT_EQ(count(db(), "SELECT count(*) FROM (SELECT OperateID FROM tblOperateDetail GROUP BY OperateID "
                          "HAVING min(DetailNo) <> 1 OR max(DetailNo) <> count(*)) d"),
              0);
}

TEST_P(GeneratorTest, OwnersAreExistingUsersWithRightsAndAPassword)
{
    for (const char *table : {"tblCustomers", "tblLinkmans", "tblOperates"}) {
        EXPECT_EQ(count(db(), QStringLiteral("SELECT count(*) FROM %1 WHERE SUser IS NULL").arg(table)), 0) << table;
        EXPECT_EQ(count(db(), QStringLiteral("SELECT count(*) FROM %1 a WHERE NOT EXISTS "
                                             "(SELECT 1 FROM tblUser u WHERE u.UserID = a.SUser)")
                                  .arg(table)),
                  0)
            << table;
    }
    // Spread over several users, so the per-user lists differ.
    EXPECT_GE(count(db(), "SELECT count(DISTINCT SUser) FROM tblCustomers"), 4);
    // A contact or contract belongs to the user of its customer.
    EXPECT_EQ(count(db(), "SELECT count(*) FROM tblOperates o JOIN tblCustomers c ON c.CustId = o.CustID "
                          "WHERE c.SUser <> o.SUser"),
              0);
    // Every ordinary user can open the customer module.
    EXPECT_EQ(count(db(), "SELECT count(*) FROM tblUser u WHERE NOT EXISTS "
                          "(SELECT 1 FROM tblUserRight r WHERE r.UserID = u.UserID AND r.RightID = '301')"),
              0);
    QSqlQuery q(db().sql());
    ASSERT_TRUE(q.exec("SELECT UserID, Password FROM tblUser WHERE UserID <> 'Admin'"));
    int users = 0;
    while (q.next()) {
        ++users;
        EXPECT_TRUE(Password::verify(q.value(1).toString(), "123456")) << q.value(0).toString().toStdString();
    }
    EXPECT_GE(users, 3);
}

TEST_P(GeneratorTest, TheDataModuleShowsTheCustomersWithTheirNames)
{
    TdmMain dm;
    ASSERT_EQ(dm.connectTo(t->openAnother()), "");
    Dataset *customers = dm.dataset("tblCustomers");
    ASSERT_TRUE(customers->open());
    EXPECT_EQ(customers->rowCount(), kCustomers);
    for (int r = 0; r < 20; ++r) {
        EXPECT_FALSE(customers->value(r, "LevelName").toString().isEmpty()) << r;
        EXPECT_FALSE(customers->value(r, "VocationName").toString().isEmpty()) << r;
        EXPECT_FALSE(customers->value(r, "Operater").toString().isEmpty()) << r;
    }
    // Dates lie over several years, in the order the files were opened.
    EXPECT_GE(count(db(), QStringLiteral("SELECT count(DISTINCT %1) FROM tblCustomers")
                              .arg(db().dialect().year("CreateDate"))),
              5);
}

// Printouts head their pages with the agency's name and envelopes carry its
// address; its own window asks for name, address, telephone and post code.
TEST_P(GeneratorTest, TheAgencyHasItsOwnDetails)
{
    TdmMain dm;
    ASSERT_EQ(dm.connectTo(t->openAnother()), "");
    Dataset *info = dm.dataset("tblUserInfo");
    ASSERT_TRUE(info->isActive() || info->open());
    ASSERT_EQ(info->rowCount(), 1);
    for (const char *field : {"UserName", "Address", "Telephone", "PostCode"})
        EXPECT_FALSE(info->value(0, field).toString().trimmed().isEmpty()) << field;
    EXPECT_TRUE(info->value(0, "UserName").toString().contains(QStringLiteral("家政")));
}

TEST_P(GeneratorTest, TheSameSeedGivesTheSameAgencyOnEitherEngine)
{
    // The reference is always made on SQLite, so that on PostgreSQL this
    // also shows that the engine changes nothing.
    TempDatabase again(Engine::SQLite);
    Generator::Options o;
    o.customers = kCustomers;
    o.seed = 11;
    ASSERT_EQ(Generator::fill(again.db(), o), "");
    for (const auto &[table, order] : {std::pair{"tblCustomers", "CNo"}, {"tblOperates", "OperateID"},
                                       {"tblOperateDetail", "OperateID, DetailNo"}, {"tblLinkmans", "LNo"},
                                       {"tblYuangong", "YuangongID"}, {"tblCustomerState", "RowNo"}}) {
        const QStringList a = dump(db(), table, order), b = dump(again.db(), table, order);
        EXPECT_EQ(a.size(), b.size()) << table;
        EXPECT_TRUE(a == b) << table << ": " << (a.isEmpty() ? "" : a.first().toStdString()) << " / "
                            << (b.isEmpty() ? "" : b.first().toStdString());
    }
    TempDatabase other(Engine::SQLite);
    o.seed = 12;
    ASSERT_EQ(Generator::fill(other.db(), o), "");
    EXPECT_NE(dump(db(), "tblCustomers", "CNo"), dump(other.db(), "tblCustomers", "CNo"));
}

INSTANTIATE_TEST_SUITE_P(Engines, GeneratorTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

TEST(GeneratorFile, RefusesAnExistingDatabaseAndLeavesItAlone)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("agency.hdb");
    Generator::Options o;
    o.customers = 5;
    ASSERT_EQ(Generator::generate(file, o), "");
    const qint64 size = QFileInfo(file).size();
    const QString err = Generator::generate(file, o);
    EXPECT_TRUE(err.contains(QStringLiteral("已存在"))) << err.toStdString();
    EXPECT_EQ(QFileInfo(file).size(), size);
    QString openErr;
    auto db = Database::open(file, &openErr);
    ASSERT_TRUE(db) << openErr.toStdString();
    EXPECT_EQ(count(*db, "SELECT count(*) FROM tblCustomers"), 5);
}

class GeneratorStopTest : public ::testing::TestWithParam<Engine>
{
};

// brevia-admin generate killed while it writes: nothing at the location is
// taken for a database (no SQLite file there; a PostgreSQL database without
// the mark of a whole one), neither by migrate nor by the program.
TEST_P(GeneratorStopTest, AGenerateKilledHalfWayLeavesNothingThatOpens)
{
    const bool sqlite = GetParam() == Engine::SQLite;
    TempDatabase empty(GetParam(), false);
    QTemporaryDir dir;
    const QString location = sqlite ? dir.filePath("agency.hdb") : empty.location();
    QProcess p;
    p.start(BREVIA_ADMIN, {"generate", location, "--customers", "200000"});
    ASSERT_TRUE(p.waitForStarted());
    // Killed once the first blocks of customers are stored.
    const auto stored = [&] {
        QString at = location;
        if (sqlite) {
            const QStringList building = QDir(dir.path()).entryList({".agency.hdb.*.building"}, QDir::Files | QDir::Hidden);
            if (building.isEmpty())
                return 0;
            at = dir.filePath(building.first());
        }
        QString err;
        auto db = Database::open(at, &err);
        if (!db)
            return 0;
        QSqlQuery q(db->sql());
        return q.exec("SELECT count(*) FROM tblCustomers") && q.next() ? q.value(0).toInt() : 0;
    };
    for (int i = 0; i < 1200 && stored() < 10000; ++i)
        ASSERT_FALSE(p.waitForFinished(100)) << p.readAllStandardError().toStdString();
    ASSERT_GE(stored(), 10000);
    ::kill(pid_t(p.processId()), SIGKILL);
    ASSERT_TRUE(p.waitForFinished(30000));

    if (sqlite) {
        EXPECT_FALSE(QFileInfo::exists(location));
    }
    QString err;
    EXPECT_FALSE(DbSetup::openExisting(location, &err));
    if (!sqlite) {
        EXPECT_TRUE(err.startsWith(QStringLiteral("数据库没有生成完毕"))) << err.toStdString();
    }
    QProcess migrate;
    migrate.start(BREVIA_ADMIN, {"migrate", location});
    ASSERT_TRUE(migrate.waitForFinished(60000));
    EXPECT_EQ(migrate.exitCode(), 1);

    // Finished, the same location is a database like any other.
    if (sqlite) {
        Generator::Options o;
        o.customers = 3;
        ASSERT_EQ(Generator::generate(location, o), "");
        auto db = DbSetup::openExisting(location, &err);
        ASSERT_TRUE(db) << err.toStdString();
        EXPECT_EQ(count(*db, "SELECT count(*) FROM tblCustomers"), 3);
        EXPECT_EQ(Schema::storedVersion(*db), Schema::kVersion);
    }
}

// A build that fails (or whose object goes unfinished) takes away what it
// made; on PostgreSQL the database itself and anything else in it stay.
TEST_P(GeneratorStopTest, AnUnfinishedBuildIsRemoved)
{
    TempDatabase empty(GetParam(), false);
    const bool sqlite = GetParam() == Engine::SQLite;
    QTemporaryDir dir;
    const QString location = sqlite ? dir.filePath("agency.hdb") : empty.location();
    if (!sqlite) {
        ASSERT_EQ(empty.db().exec("CREATE TABLE theirs (x INTEGER)"), "");
    }
    {
        DbSetup::Build build(location);
        QString err;
        Database *db = build.start(&err);
        ASSERT_TRUE(db) << err.toStdString();
        ASSERT_EQ(Generator::fill(*db, Generator::Options{2, 1}), "");
    }
    if (sqlite) {
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    } else {
        EXPECT_FALSE(Schema::hasAnyTable(empty.db()));
        EXPECT_TRUE(empty.db().tableNames().contains("theirs", Qt::CaseInsensitive));
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, GeneratorStopTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });
