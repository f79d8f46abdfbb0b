// Backups and restores on both engines: a copy taken while another
// process writes, kill -9 in the middle of a restore, the refusals, the
// day's folder and safety copies, the two windows and brevia-admin.
#include "admin/tfrmbackup.h"
#include "admin/tfrmrestore.h"
#include "data/bulkinsert.h"
#include "data/clock.h"
#include "data/database.h"
#include "data/databasebackup.h"
#include "data/dbsetup.h"
#include "data/dmmain.h"
#include "data/money.h"
#include "data/readonly.h"
#include "data/schema.h"
#include "data/session.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSqlQuery>

#include <functional>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Every row of every table as text that does not depend on the engine,
// sorted: two databases with the same dump hold the same data.
QStringList dump(Database &db)
{
    QStringList rows;
    for (const TableDef &t : Schema::tables()) {
        QStringList cols;
        for (const ColumnDef &c : t.columns())
            cols << db.dialect().ident(c.name);
        QSqlQuery q(db.sql());
        if (!q.exec(QStringLiteral("SELECT %1 FROM %2").arg(cols.join(", "), t.name()))) {
            ADD_FAILURE() << t.name().toStdString();
            continue;
        }
        while (q.next()) {
            QStringList values{t.name()};
            for (int i = 0; i < t.columns().size(); ++i) {
                const QVariant v = db.fromDb(&t.columns()[i], q.value(i));
                if (v.isNull())
                    values << QStringLiteral("<null>");
                else if (v.typeId() == qMetaTypeId<Money>())
                    values << v.value<Money>().toString();
                else if (v.typeId() == QMetaType::Double)
                    values << QString::number(v.toDouble(), 'g', 17);
                else if (v.typeId() == QMetaType::QDateTime)
                    values << v.toDateTime().toString(Qt::ISODate);
                else
                    values << v.toString();
            }
            rows << values.join(QLatin1Char('|'));
        }
    }
    rows.sort();
    return rows;
}

int count(Database &db, const QString &sql, const QVariantList &values = {})
{
    return Stored::count(db, sql, values);
}

std::unique_ptr<Database> openFile(const QString &path)
{
    QString err;
    auto db = Database::open(path, &err);
    EXPECT_TRUE(db) << err.toStdString();
    return db;
}

QString integrity(const QString &file)
{
    auto db = openFile(file);
    if (!db)
        return {};
    QSqlQuery q(db->sql());
    return q.exec("PRAGMA integrity_check") && q.next() ? q.value(0).toString() : QStringLiteral("no answer");
}

int customersIn(const QString &file)
{
    auto db = openFile(file);
    return db ? count(*db, "SELECT count(*) FROM tblCustomers") : -1;
}

// n customers whose codes begin with prefix, in one transaction.
void addCustomers(Database &db, const QString &prefix, int n, int addressLength = 20)
{
    Transaction tx(db);
    ASSERT_TRUE(tx.ok()) << tx.error().toStdString();
    BulkInsert insert(db, "tblCustomers", {"CustId", "CustName", "Address", "SUser"});
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(insert.add({QStringLiteral("%1%2").arg(prefix).arg(i, 5, 10, QLatin1Char('0')),
                              QStringLiteral("客户%1").arg(i), QString(addressLength, QChar(u'路')), "Admin"}),
                  "");
    ASSERT_EQ(insert.flush(), "");
    ASSERT_EQ(tx.commit(), "");
}

QString checkOnly(const QString &source)
{
    return DatabaseBackup(QStringLiteral("/nonexistent/live.hdb")).checkSource(source);
}

class BackupTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        live = std::make_unique<TempDatabase>(GetParam());
        ASSERT_EQ(live->error(), "");
        ASSERT_TRUE(DatabaseBackup::ensureBackupFolder());
    }
    bool sqlite() const { return GetParam() == Engine::SQLite; }
    Database &db() { return live->db(); }
    DatabaseBackup backup() { return DatabaseBackup(live->location()); }
    QString file(const QString &relative) { return home.path(relative); }

    AppHome home;
    std::unique_ptr<TempDatabase> live;
};

// Values of every kind, a quote and a line break in text, money to the
// last ten-thousandth: what comes back is exactly what was there.
TEST_P(BackupTest, RestoreBringsBackExactlyWhatTheBackupHeld)
{
    ASSERT_EQ(db().insertRow("tblCustomers", {{"CustId", "C'01"}, {"CustName", "张三\r\n李四"}, {"SUser", "Admin"}}), "");
    ASSERT_EQ(db().insertRow("tblOperates", {{"OperateID", "O1"},
                                             {"CustID", "C'01"},
                                             {"Link", true},
                                             {"CreateDate", QDateTime(QDate(2024, 2, 29), QTime(13, 5, 9))},
                                             {"CompactAmount", QVariant::fromValue(*Money::parse(u"1234.5678"))},
                                             {"Rate", 7.1234},
                                             {"RMB", QVariant::fromValue(*Money::parse(u"8794.1"))}}),
              "");
    ASSERT_EQ(db().insertRow("tblBoard", {{"BTitle", "通知"}, {"BDate", QDate(2023, 12, 31)}}), "");
    const QStringList before = dump(db());
    const QString target = file("Backup/HKP30.hdb");
    ASSERT_EQ(backup().backupTo(target), "");
    EXPECT_EQ(integrity(target), "ok");

    ASSERT_EQ(db().exec("DELETE FROM tblOperates"), "");
    ASSERT_EQ(db().insertRow("tblCustomers", {{"CustId", "C02"}, {"CustName", "后来的"}}), "");
    ASSERT_EQ(db().exec("UPDATE tblCustomers SET CustName = 'changed' WHERE CustId = ?", {"C'01"}), "");
    ASSERT_EQ(backup().restoreFrom(target), "");
    EXPECT_EQ(dump(db()), before);

    // New rows are numbered after the ones put back.
    ASSERT_EQ(db().insertRow("tblBoard", {{"BTitle", "新通知"}}), "");
    EXPECT_EQ(count(db(), "SELECT count(DISTINCT BNo) FROM tblBoard"), 2);
}

// One file format for both engines: a copy of one restores into the other.
TEST(BackupAcrossEngines, CopyOfOneEngineRestoresIntoTheOther)
{
    if (testEngines().size() < 2)
        GTEST_SKIP() << "PostgreSQL not configured";
    AppHome home;
    ASSERT_TRUE(DatabaseBackup::ensureBackupFolder());
    TempDatabase pg(Engine::PostgreSQL), lite(Engine::SQLite);
    addCustomers(pg.db(), "P", 50);
    ASSERT_EQ(pg.db().insertRow("tblOperates", {{"OperateID", "O1"},
                                                {"CompactAmount", QVariant::fromValue(*Money::parse(u"0.0001"))},
                                                {"EndDate", QDateTime(QDate(2025, 1, 1), QTime(0, 0))}}),
              "");
    const QString copy = home.path("pg.hdb");
    ASSERT_EQ(DatabaseBackup(pg.location()).backupTo(copy), "");
    ASSERT_EQ(DatabaseBackup(lite.location()).restoreFrom(copy), "");
    EXPECT_EQ(dump(lite.db()), dump(pg.db()));

    addCustomers(lite.db(), "L", 3);
    const QString back = home.path("lite.hdb");
    ASSERT_EQ(DatabaseBackup(lite.location()).backupTo(back), "");
    ASSERT_EQ(DatabaseBackup(pg.location()).restoreFrom(back), "");
    EXPECT_EQ(dump(pg.db()), dump(lite.db()));
}

// Another process stores customers W00001, W00002, ... one transaction
// each while the backup is taken: the copy is one moment of the database,
// so it holds exactly the first K of them, K no fewer than had been
// committed when the backup began.
TEST_P(BackupTest, CopyTakenWhileAnotherProcessWritesHoldsOneMoment)
{
    addCustomers(db(), "A", 3000, 60); // a copy that takes a while
    QProcess writer;
    writer.start(BACKUP_HELPER, {"write", live->location(), "1000"});
    ASSERT_TRUE(writer.waitForStarted());
    int committed = 0;
    auto readCommitted = [&] {
        while (writer.canReadLine()) {
            const QByteArray line = writer.readLine().trimmed();
            if (line.startsWith("committed "))
                committed = line.mid(10).toInt();
        }
    };
    while (committed < 100) {
        ASSERT_TRUE(writer.waitForReadyRead(30000)) << writer.readAllStandardError().toStdString();
        readCommitted();
    }
    readCommitted();
    const int before = committed;
    const QString target = file("Backup/HKP30.hdb");
    ASSERT_EQ(backup().backupTo(target), "");
    ASSERT_TRUE(writer.waitForFinished(180000));
    ASSERT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();

    EXPECT_EQ(integrity(target), "ok");
    TempDatabase restored(GetParam());
    ASSERT_EQ(DatabaseBackup(restored.location()).restoreFrom(target), "");
    QSqlQuery q(restored.db().sql());
    ASSERT_TRUE(q.exec("SELECT CustId FROM tblCustomers WHERE CustId LIKE 'W%' ORDER BY CustId"));
    int k = 0;
    while (q.next()) {
        ++k;
        ASSERT_EQ(q.value(0).toString(), QStringLiteral("W%1").arg(k, 5, 10, QLatin1Char('0')));
    }
    EXPECT_GE(k, before);
    RecordProperty("committedBefore", before);
    RecordProperty("inBackup", k);
    EXPECT_EQ(count(restored.db(), "SELECT count(*) FROM tblCustomers WHERE CustId LIKE 'A%'"), 3000);
    if (GetParam() == Engine::SQLite) {
        EXPECT_EQ(integrity(restored.location()), "ok");
    }
}

// A restore killed half way: the live database opens, passes its check,
// holds its old rows and none of the new, and takes new rows.
TEST_P(BackupTest, KillDuringRestoreLeavesTheLiveDatabaseWhole)
{
    addCustomers(db(), "N", 8000, 90);
    const QString source = file("new.hdb");
    ASSERT_EQ(backup().backupTo(source), "");
    ASSERT_EQ(db().exec("DELETE FROM tblCustomers"), "");
    addCustomers(db(), "O", 5000, 90);

    QProcess restorer;
    restorer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    restorer.start(BACKUP_HELPER, {"restore", live->location(), source});
    ASSERT_TRUE(restorer.waitForStarted());
    QByteArray out;
    while (!out.contains("step ")) {
        ASSERT_TRUE(restorer.waitForReadyRead(60000)) << out.toStdString();
        out += restorer.readAllStandardOutput();
    }
    ASSERT_FALSE(out.contains("done"));
    // Killed with part of the data written, not after the last step.
    const QList<QByteArray> step = out.mid(out.indexOf("step ")).split('\n').first().split(' ');
    ASSERT_EQ(step.size(), 3);
    EXPECT_LT(step[1].toInt(), step[2].toInt());
    ::kill(pid_t(restorer.processId()), SIGKILL);
    ASSERT_TRUE(restorer.waitForFinished(30000));
    ASSERT_EQ(restorer.exitStatus(), QProcess::CrashExit);

    QString err;
    auto after = DbSetup::openExisting(live->location(), &err);
    ASSERT_TRUE(after) << err.toStdString();
    if (sqlite()) {
        QSqlQuery q(after->sql());
        ASSERT_TRUE(q.exec("PRAGMA integrity_check") && q.next());
        EXPECT_EQ(q.value(0).toString(), "ok");
    }
    EXPECT_EQ(count(*after, "SELECT count(*) FROM tblCustomers WHERE CustId LIKE 'O%'"), 5000);
    EXPECT_EQ(count(*after, "SELECT count(*) FROM tblCustomers WHERE CustId LIKE 'N%'"), 0);
    EXPECT_EQ(after->insertRow("tblCustomers", {{"CustId", "X1"}, {"CustName", "之后"}}), "");

    // The killed restore's work folder (a full copy) goes at the next
    // restore or start; one that a running restore holds stays.
    const auto workFolders = [this] {
        return QDir(file("Backup")).entryList({".restore-*"}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    ASSERT_EQ(workFolders().size(), 1);
    DatabaseBackup::removeStaleWork();
    EXPECT_EQ(workFolders(), QStringList());
    ASSERT_TRUE(QDir().mkpath(file("Backup/.restore-fresh")));
    DatabaseBackup::removeStaleWork();
    EXPECT_EQ(workFolders(), QStringList{".restore-fresh"});
}

struct TargetCase {
    const char *name;
    std::function<QString(const QString &live, const QString &home)> target;
    QString expected;
};

// A backup never writes over the live database or the files SQLite keeps
// beside it, whatever path leads there; the live data stays as it was.
TEST(BackupRefusals, TargetsThatAreTheLiveDatabase)
{
    AppHome home;
    TempDatabase live(Engine::SQLite);
    addCustomers(live.db(), "C", 5);
    const QString failed = DatabaseBackup::kBackupFailed;
    const QVector<TargetCase> cases = {
        {"the live file", [](const QString &l, const QString &) { return l; }, DatabaseBackup::kTargetIsLive},
        {"the live file by a longer path",
         [](const QString &l, const QString &) { return QFileInfo(l).absolutePath() + "/./../" +
                                                        QFileInfo(QFileInfo(l).absolutePath()).fileName() + "/" +
                                                        QFileInfo(l).fileName(); },
         DatabaseBackup::kTargetIsLive},
        {"a symbolic link to it",
         [](const QString &l, const QString &h) {
             QFile::link(l, h + "/link.hdb");
             return h + "/link.hdb";
         },
         DatabaseBackup::kTargetIsLive},
        {"a hard link to it",
         [](const QString &l, const QString &h) {
             ::link(QFile::encodeName(l).constData(), QFile::encodeName(h + "/hard.hdb").constData());
             return h + "/hard.hdb";
         },
         DatabaseBackup::kTargetIsLive},
        {"its write-ahead log", [](const QString &l, const QString &) { return l + "-wal"; },
         DatabaseBackup::kTargetIsLive},
        {"its rollback journal", [](const QString &l, const QString &) { return l + "-journal"; },
         DatabaseBackup::kTargetIsLive},
        {"a folder", [](const QString &, const QString &h) { return h; }, failed},
        {"nothing chosen", [](const QString &, const QString &) { return QString("  "); }, failed},
    };
    for (const TargetCase &c : cases) {
        SCOPED_TRACE(c.name);
        const QString message = DatabaseBackup(live.location()).backupTo(c.target(live.location(), home.dir.path()));
        EXPECT_TRUE(message.startsWith(c.expected)) << message.toStdString();
        EXPECT_EQ(count(live.db(), "SELECT count(*) FROM tblCustomers"), 5);
        EXPECT_EQ(integrity(live.location()), "ok");
    }
}

// A failed backup leaves the old one in place and nothing half written
// beside it.
TEST_P(BackupTest, FailedBackupKeepsTheOldOne)
{
    const QString target = file("Backup/HKP30.hdb");
    ASSERT_EQ(backup().backupTo(target), "");
    const QByteArray old = home.read("Backup/HKP30.hdb");
    const QString gone = sqlite() ? file("nowhere/HKP30.hdb") : live->location() + "_missing";
    const QString message = DatabaseBackup(gone).backupTo(target);
    EXPECT_TRUE(message.startsWith(DatabaseBackup::kBackupFailed)) << message.toStdString();
    EXPECT_EQ(home.read("Backup/HKP30.hdb"), old);
    EXPECT_EQ(QDir(file("Backup")).entryList(QDir::Files | QDir::Hidden), QStringList{"HKP30.hdb"});
}

struct SourceCase {
    const char *name;
    std::function<QString()> source;
    QString expected;
    bool sqliteOnly = false;
};

// What a restore refuses, before anything changes: no safety copy is
// taken and the live data stays as it was.
TEST_P(BackupTest, RestoreRefusals)
{
    addCustomers(db(), "C", 5);
    const QString good = file("good.hdb");
    ASSERT_EQ(backup().backupTo(good), "");
    auto write = [](const QString &path, const QByteArray &bytes) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        return path;
    };
    const QVector<SourceCase> cases = {
        {"no file there", [this] { return file("missing.hdb"); }, DatabaseBackup::kSourceMissing},
        {"nothing chosen", [] { return QString(); }, DatabaseBackup::kSourceMissing},
        {"a folder", [this] { return file("Backup"); }, DatabaseBackup::kSourceMissing},
        {"the live file", [this] { return live->location(); }, DatabaseBackup::kSourceIsLive, true},
        {"a link to the live file",
         [this] {
             QFile::link(live->location(), file("live-link.hdb"));
             return file("live-link.hdb");
         },
         DatabaseBackup::kSourceIsLive, true},
        {"a text file", [&] { return write(file("notes.hdb"), "备忘录\n"); }, DatabaseBackup::kNotABackup},
        {"an empty file", [&] { return write(file("empty.hdb"), {}); }, DatabaseBackup::kNotABackup},
        {"another program's database",
         [this] {
             QString err;
             auto other = Database::open(file("other.hdb"), &err, true);
             other->exec("CREATE TABLE tblCustomers (x INTEGER)");
             return file("other.hdb");
         },
         DatabaseBackup::kNotABackup},
        {"a backup of a newer program",
         [&] {
             QFile::copy(good, file("newer.hdb"));
             openFile(file("newer.hdb"))->exec("UPDATE tblSchemaVersion SET Version = 99");
             return file("newer.hdb");
         },
         "对不起，该备份来自较新版本的程序（结构版本 99），请先升级程序！"},
        {"a damaged backup",
         [&] {
             QFile f(good);
             EXPECT_TRUE(f.open(QIODevice::ReadOnly));
             QByteArray bytes = f.readAll();
             // The first pages (the table list) stay, the rest is noise.
             for (qsizetype i = 8192; i < bytes.size(); i += 7)
                 bytes[i] = char(i * 31);
             return write(file("damaged.hdb"), bytes);
         },
         DatabaseBackup::kNotABackup},
    };
    const QStringList before = dump(db());
    for (const SourceCase &c : cases) {
        if (c.sqliteOnly && !sqlite())
            continue;
        SCOPED_TRACE(c.name);
        DatabaseBackup b = backup();
        EXPECT_EQ(b.restoreFrom(c.source()), c.expected);
        EXPECT_EQ(b.safetyCopy(), "");
        EXPECT_EQ(dump(db()), before);
    }
    // Only the day's copy of the backup above.
    EXPECT_EQ(QDir(DatabaseBackup::datedFolder(Clock::instance().today())).entryList(QDir::Files),
              QStringList{"HKP30.hdb"});
}

// Two backups on one day: the target holds the second, the day's folder
// (named yyyy-M-d) the first. Restores always save the live data first,
// the day's first as HKP30.hdb and later ones with the time in the name.
TEST_P(BackupTest, DayFolderKeepsTheFirstCopyAndEverySafetyCopy)
{
    FixedClock clock(QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3)));
    const QString dated = file("Backup/2024-3-5");
    EXPECT_EQ(DatabaseBackup::datedFolder(clock.today()), dated);
    const QString target = file("Backup/HKP30.hdb");
    addCustomers(db(), "A", 1);
    ASSERT_EQ(backup().backupTo(target), "");
    addCustomers(db(), "B", 1);
    ASSERT_EQ(backup().backupTo(target), "");
    EXPECT_EQ(customersIn(target), 2);
    EXPECT_EQ(customersIn(dated + "/HKP30.hdb"), 1);

    // The day's copy exists already: the restore still saves the live data.
    addCustomers(db(), "C", 1);
    DatabaseBackup first = backup();
    ASSERT_EQ(first.restoreFrom(target), "");
    EXPECT_EQ(first.safetyCopy(), dated + "/HKP30-090703.hdb");
    EXPECT_EQ(customersIn(first.safetyCopy()), 3);
    EXPECT_EQ(count(db(), "SELECT count(*) FROM tblCustomers"), 2);

    DatabaseBackup second = backup();
    ASSERT_EQ(second.restoreFrom(target), "");
    EXPECT_EQ(second.safetyCopy(), dated + "/HKP30-090703-2.hdb");
    EXPECT_EQ(customersIn(dated + "/HKP30.hdb"), 1);
    EXPECT_EQ(customersIn(first.safetyCopy()), 3);

    // On a day without a copy yet, the safety copy is the day's copy.
    clock.set(QDateTime(QDate(2024, 12, 25), QTime(18, 0)));
    DatabaseBackup third = backup();
    ASSERT_EQ(third.restoreFrom(target), "");
    EXPECT_EQ(third.safetyCopy(), file("Backup/2024-12-25/HKP30.hdb"));
}

// A backup file changed with SQLite's own tools. The program's tables
// keep their rows; what else is added (a trigger that makes every user a
// system user, a view, an index, a table, a column) stays behind.
TEST_P(BackupTest, RestoreTakesOnlyTheProgramsOwnTablesAndRows)
{
    addCustomers(db(), "C", 3);
    const QString planted = file("planted.hdb");
    ASSERT_EQ(backup().backupTo(planted), "");
    {
        auto f = openFile(planted);
        // A backup of the first version, whose money was kept as REAL:
        // bringing it up to date must run none of its triggers.
        ASSERT_EQ(f->exec("UPDATE tblSchemaVersion SET Version = 1"), "");
        for (const char *money : {"tblOperates CompactAmount", "tblOperates Profit", "tblOperates RMB",
                                  "tblOperateDetail Price", "tblOperateDetail Amount", "tblOperateDetail DTotal",
                                  "tblOperateDetail RMB"}) {
            const QStringList tc = QString(money).split(' ');
            ASSERT_EQ(f->exec(QString("ALTER TABLE %1 DROP COLUMN %2").arg(tc[0], tc[1])), "");
            ASSERT_EQ(f->exec(QString("ALTER TABLE %1 ADD COLUMN %2 REAL").arg(tc[0], tc[1])), "");
        }
        for (const char *sql :
             {"CREATE TRIGGER t AFTER INSERT ON tblLog BEGIN UPDATE tblUser SET Sys = 1; "
              "INSERT INTO tblUser (UserID, Password, Sys) VALUES ('x' || new.LogID, '', 1); END",
              "CREATE TRIGGER t2 AFTER UPDATE ON tblSchemaVersion BEGIN UPDATE tblUser SET Sys = 1; END",
              "CREATE VIEW v AS SELECT * FROM tblUser", "CREATE TABLE tblExtra (x TEXT)",
              "INSERT INTO tblExtra VALUES ('extra')", "CREATE INDEX ix_planted ON tblCustomers (CustName, City)",
              "ALTER TABLE tblCustomers ADD COLUMN Planted TEXT", "INSERT INTO tblUser (UserID, Sys) VALUES ('clerk', 0)"})
            ASSERT_EQ(f->exec(sql), "") << sql;
        ASSERT_EQ(f->exec("INSERT INTO tblOperates (OperateID, CompactAmount) VALUES ('O1', 12.5)"), "");
    }
    ASSERT_EQ(checkOnly(planted), "");
    ASSERT_EQ(backup().restoreFrom(planted), "");
    EXPECT_EQ(count(db(), "SELECT count(*) FROM tblCustomers"), 3);
    EXPECT_EQ(count(db(), "SELECT count(*) FROM tblOperates WHERE CompactAmount = ?",
                    {db().toDb(Schema::anyColumn("CompactAmount"), QVariant::fromValue(*Money::parse(u"12.5")))}),
              1);
    EXPECT_EQ(count(db(), "SELECT count(*) FROM tblUser WHERE Sys <> ?", {db().toDb(nullptr, false)}), 1);
    ASSERT_EQ(db().insertRow("tblLog", {{"Operate", "登录"}}), "");
    EXPECT_EQ(count(db(), "SELECT count(*) FROM tblUser"), 2);
    EXPECT_EQ(count(db(), "SELECT count(*) FROM tblUser WHERE Sys <> ?", {db().toDb(nullptr, false)}), 1);
    if (sqlite()) {
        auto f = openFile(live->location());
        QSqlQuery q(f->sql());
        ASSERT_TRUE(q.exec("SELECT count(*) FROM sqlite_master WHERE type IN ('trigger', 'view') "
                           "OR lower(name) IN ('tblextra', 'ix_planted')") && q.next());
        EXPECT_EQ(q.value(0).toInt(), 0);
        QSqlQuery c(f->sql());
        EXPECT_FALSE(c.exec("SELECT Planted FROM tblCustomers"));
    } else {
        EXPECT_FALSE(db().tableNames().contains("tblextra", Qt::CaseInsensitive));
    }
}

// The program makes no trigger: a file that holds one is not opened as
// the live database (the program, brevia-admin migrate), so one planted in
// a copy cannot reach the live data by another way.
TEST(ForeignObjects, AFileWithATriggerOrViewIsNotOpened)
{
    AppHome home;
    for (const char *sql : {"CREATE TRIGGER t AFTER INSERT ON tblLog BEGIN UPDATE tblUser SET Sys = 1; END",
                            "CREATE VIEW v AS SELECT * FROM tblUser"}) {
        SCOPED_TRACE(sql);
        const QString path = home.path(QStringLiteral("f%1.hdb").arg(qHash(QString(sql))));
        QString err;
        ASSERT_TRUE(DbSetup::create(path, &err)) << err.toStdString();
        ASSERT_EQ(openFile(path)->exec(sql), "");
        EXPECT_FALSE(DbSetup::openExisting(path, &err));
        EXPECT_TRUE(err.startsWith("数据库中有不属于本系统的触发器或视图")) << err.toStdString();
    }
}

struct ShapeCase {
    const char *name;
    QStringList changes; // SQL run on a good backup
};

// A file whose program tables lack a column, or keep one as another kind,
// or are not tables at all, is refused before anything changes.
TEST_P(BackupTest, RestoreRefusesAnotherShape)
{
    const QString good = file("good.hdb");
    ASSERT_EQ(backup().backupTo(good), "");
    const QVector<ShapeCase> cases = {
        {"tblUser without Sys", {"ALTER TABLE tblUser DROP COLUMN Sys"}},
        {"tblCustomers without CustName", {"ALTER TABLE tblCustomers DROP COLUMN CustName"}},
        {"CustName of another kind",
         {"ALTER TABLE tblCustomers DROP COLUMN CustName", "ALTER TABLE tblCustomers ADD COLUMN CustName INTEGER"}},
        {"money as floating point in a file of today's version",
         {"ALTER TABLE tblOperates DROP COLUMN RMB", "ALTER TABLE tblOperates ADD COLUMN RMB REAL"}},
        {"a view in place of a table", {"DROP TABLE tblBoard", "CREATE VIEW tblBoard AS SELECT 1 AS BNo"}},
        {"no version", {"DELETE FROM tblSchemaVersion"}},
        {"two versions", {"INSERT INTO tblSchemaVersion VALUES (1)"}},
        {"a version that is no number", {"UPDATE tblSchemaVersion SET Version = 'zwei'"}},
        {"an unfinished database", {"UPDATE tblSchemaVersion SET Version = -2"}},
    };
    const QStringList before = dump(db());
    int n = 0;
    for (const ShapeCase &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = file(QStringLiteral("shape%1.hdb").arg(++n));
        ASSERT_TRUE(QFile::copy(good, path));
        {
            auto f = openFile(path);
            for (const QString &sql : c.changes)
                ASSERT_EQ(f->exec(sql), "") << sql.toStdString();
        }
        DatabaseBackup b = backup();
        EXPECT_EQ(b.restoreFrom(path), DatabaseBackup::kNotABackup);
        EXPECT_EQ(b.safetyCopy(), "");
        EXPECT_EQ(dump(db()), before);
    }
}

// The backup is written; only the day's copy could not be made (the day's
// folder name is taken by a file): success, with a warning.
TEST_P(BackupTest, UnwritableDayFolderIsAWarningNotAFailure)
{
    addCustomers(db(), "D", 2);
    {
        QFile taken(DatabaseBackup::datedFolder(Clock::instance().today()));
        ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    }
    DatabaseBackup b = backup();
    ASSERT_EQ(b.backupTo(file("Backup/HKP30.hdb")), "");
    EXPECT_TRUE(b.dayCopyWarning().startsWith(DatabaseBackup::kDayCopyFailed)) << b.dayCopyWarning().toStdString();
    EXPECT_EQ(customersIn(file("Backup/HKP30.hdb")), 2);

    ASSERT_TRUE(home.write("Server.txt", live->location().toUtf8() + "\n"));
    QProcess p;
    p.start(BREVIA_ADMIN, {"backup", file("copy.hdb")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).startsWith(DatabaseBackup::kBackupDone));
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).startsWith(DatabaseBackup::kDayCopyFailed));
    EXPECT_EQ(customersIn(file("copy.hdb")), 2);
}

mode_t modeOf(const QString &path)
{
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st.st_mode & 07777;
}

// What the program makes in the application directory is the user's own;
// a folder or backup that exists keeps the rights its owner gave it.
TEST_P(BackupTest, CopiesAndFoldersArePrivate)
{
    FixedClock clock(QDateTime(QDate(2024, 7, 1), QTime(8, 0, 0)));
    ASSERT_TRUE(QDir().mkpath(file("shared")));
    ASSERT_EQ(::chmod(QFile::encodeName(file("shared")).constData(), 02775), 0);
    ASSERT_EQ(backup().backupTo(file("Backup/HKP30.hdb")), "");
    ASSERT_EQ(backup().backupTo(file("shared/new/HKP30.hdb")), "");
    ASSERT_EQ(::chmod(QFile::encodeName(file("shared/new/HKP30.hdb")).constData(), 0640), 0);
    ASSERT_EQ(backup().backupTo(file("shared/new/HKP30.hdb")), "");
    DatabaseBackup r = backup();
    ASSERT_EQ(r.restoreFrom(file("Backup/HKP30.hdb")), "");
    EXPECT_EQ(modeOf(file("Backup")), 0700u);
    EXPECT_EQ(modeOf(file("Backup/HKP30.hdb")), 0600u);
    EXPECT_EQ(modeOf(file("Backup/2024-7-1")), 0700u);
    EXPECT_EQ(modeOf(file("Backup/2024-7-1/HKP30.hdb")), 0600u);
    EXPECT_EQ(modeOf(r.safetyCopy()), 0600u);
    EXPECT_EQ(modeOf(file("shared")), 02775u);
    // (A folder made inside a setgid folder keeps that bit: the system's rule.)
    EXPECT_EQ(modeOf(file("shared/new")) & 0777, 0700u);
    EXPECT_EQ(modeOf(file("shared/new/HKP30.hdb")), 0640u);
}

// A database on a read-only mount (left in WAL mode, as the program leaves
// it) opens for reading; the log line every command writes first is not
// kept, and a store says the file is read-only. Needs a mount namespace of
// its own (root, or a system that lets users have one).
TEST(ReadOnlyDatabase, OnAReadOnlyMountItIsReadAndStoresAreRefused)
{
    if (QProcess::execute("unshare", {"-m", "true"}) != 0)
        GTEST_SKIP() << "no mount namespace here";
    AppHome home;
    const QString file = home.path("HKP30.hdb");
    {
        QString err;
        auto db = DbSetup::create(file, &err);
        ASSERT_TRUE(db) << err.toStdString();
        ASSERT_TRUE(db->journalIsWal());
    }
    const QString script = QStringLiteral("m=$(mktemp -d) && mount -t tmpfs none \"$m\" && cp \"$1\" \"$m/\" && "
                                          "mount -o remount,ro \"$m\" && exec \"$2\" readonly \"$m/HKP30.hdb\"");
    QProcess p;
    p.start("unshare", {"-m", "sh", "-c", script, "sh", file, BACKUP_HELPER});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_EQ(out, QStringLiteral("readonly 1\nlog []\nstore [%1]\n").arg(ReadOnly::kStoreRefused)) << out.toStdString();
    EXPECT_EQ(ReadOnly::startupText(file), QStringLiteral("数据库文件是只读的：%1\n您只能查阅资料，不能保存任何修改。").arg(file));
}

// --- the windows ------------------------------------------------------------

class BackupWindowTest : public BackupTest
{
protected:
    void SetUp() override
    {
        BackupTest::SetUp();
        dm = std::make_unique<TdmMain>();
        ASSERT_EQ(dm->connectTo(live->openAnother()), "");
        Session::current().logIn("Admin", true);
    }
    void TearDown() override
    {
        dm.reset();
        Session::current().reset();
    }
    int logged(const QString &line) { return count(*dm->database(), "SELECT count(*) FROM tblLog WHERE Operate = ?", {line}); }

    FakePrompts prompts;
    std::unique_ptr<TdmMain> dm;
};

TEST_P(BackupWindowTest, BackupAsksWritesAndSays)
{
    TfrmBackup w;
    EXPECT_EQ(w.pathBox()->text(), DatabaseBackup::defaultFile());
    prompts.answers = {false};
    w.BtnBackupClick();
    EXPECT_EQ(logged("系统设置-数据备份-备份"), 1);
    EXPECT_FALSE(QFileInfo::exists(DatabaseBackup::defaultFile()));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, "okcancel");
    EXPECT_TRUE(prompts.shown[0].text.startsWith("系统准备备份数据，如果该文件目录存在您以前\n"));

    prompts.clear();
    w.BtnBackupClick();
    EXPECT_EQ(prompts.last(), DatabaseBackup::kBackupDone);
    EXPECT_EQ(integrity(DatabaseBackup::defaultFile()), "ok");

    if (sqlite()) {
        TfrmBackup again;
        again.pathBox()->setText(live->location());
        again.BtnBackupClick();
        EXPECT_EQ(prompts.last(), DatabaseBackup::kTargetIsLive);
    }
}

TEST_P(BackupWindowTest, RestoreReconnectsToTheRestoredData)
{
    FixedClock clock(QDateTime(QDate(2024, 6, 1), QTime(10, 0, 0)));
    addCustomers(*dm->database(), "A", 2);
    ASSERT_EQ(DatabaseBackup(live->location()).backupTo(DatabaseBackup::defaultFile()), "");
    addCustomers(*dm->database(), "B", 3);
    int reconnects = 0;
    TfrmRestore w(dm.get(), [&](std::unique_ptr<Database> db) {
        ++reconnects;
        return dm->connectTo(std::move(db));
    });
    EXPECT_EQ(w.pathBox()->text(), DatabaseBackup::defaultFile());

    // Refused before anything changes: still connected, nothing restored.
    w.pathBox()->setText(file("missing.hdb"));
    w.BtnRestoreClick();
    EXPECT_EQ(prompts.last(), DatabaseBackup::kSourceMissing);
    EXPECT_EQ(reconnects, 0);
    ASSERT_TRUE(dm->database());

    prompts.clear();
    w.pathBox()->setText(DatabaseBackup::defaultFile());
    w.BtnRestoreClick();
    ASSERT_EQ(prompts.last(), DatabaseBackup::kRestoreDone) << prompts.texts().join("\n").toStdString();
    EXPECT_TRUE(prompts.shown[0].text.startsWith("恢复以前备份数据之前，请确认您已经备份好\n"));
    EXPECT_EQ(reconnects, 1);
    ASSERT_TRUE(dm->database());
    EXPECT_EQ(count(*dm->database(), "SELECT count(*) FROM tblCustomers"), 2);
    // The safety copy holds the data as it was, with the log lines of both
    // presses of "恢复" (the refused one logged too, before its check).
    // (The backup above made the day's copy, so this one carries the time.)
    const QString safety = file("Backup/2024-6-1/HKP30-100000.hdb");
    EXPECT_EQ(customersIn(safety), 5);
    auto saved = openFile(safety);
    EXPECT_EQ(count(*saved, "SELECT count(*) FROM tblLog WHERE Operate = '系统设置-数据恢复-恢复'"), 2);
}

// --- brevia-admin -------------------------------------------------------------

struct CommandCase {
    const char *name;
    QStringList args; // %live and %home stand for the live database and the home folder
    int exitCode;
    QString says;     // the start of stdout (success) or stderr (failure)
    bool sqliteOnly = false;
};

TEST_P(BackupTest, AdminCommands)
{
    ASSERT_TRUE(home.write("Server.txt", live->location().toUtf8() + "\n"));
    ASSERT_TRUE(home.write("notes.txt", "备忘录"));
    const QVector<CommandCase> cases = {
        {"backup of Server.txt's database to the default file", {"backup"}, 0, DatabaseBackup::kBackupDone},
        {"backup to a chosen file", {"backup", "%home/copy.hdb", "--db", "%live"}, 0, DatabaseBackup::kBackupDone},
        {"backup onto the live file", {"backup", "%live"}, 1, DatabaseBackup::kTargetIsLive, true},
        {"restore from nothing", {"restore", "%home/missing.hdb"}, 1, DatabaseBackup::kSourceMissing},
        {"restore from a text file", {"restore", "%home/notes.txt"}, 1, DatabaseBackup::kNotABackup},
        {"restore from the live file", {"restore", "%live"}, 1, DatabaseBackup::kSourceIsLive, true},
        {"restore from the default backup", {"restore", "%home/Backup/HKP30.hdb"}, 0, DatabaseBackup::kRestoreDone},
        {"restore without a file", {"restore"}, 2, "用法"},
    };
    for (const CommandCase &c : cases) {
        if (c.sqliteOnly && !sqlite())
            continue;
        SCOPED_TRACE(c.name);
        QStringList args;
        for (QString a : c.args)
            args << a.replace("%live", live->location()).replace("%home", home.dir.path());
        QProcess p;
        p.start(BREVIA_ADMIN, args);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), c.exitCode);
        const QString said = QString::fromUtf8(c.exitCode == 0 ? p.readAllStandardOutput() : p.readAllStandardError());
        EXPECT_TRUE(said.startsWith(c.says)) << said.toStdString();
    }
    EXPECT_EQ(integrity(file("copy.hdb")), "ok");
}

INSTANTIATE_TEST_SUITE_P(Engines, BackupTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });
INSTANTIATE_TEST_SUITE_P(Engines, BackupWindowTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
