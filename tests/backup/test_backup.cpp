// Backups and restores on both engines: a copy taken while another
// process writes, kill -9 in the middle of a restore, the refusals, the
// day's folder and safety copies, the two windows and brevia-admin.
#include "admin/tfrmbackup.h"
#include "admin/tfrmrestore.h"
#include "data/bulkinsert.h"
#include "data/database.h"
#include "data/databasebackup.h"
#include "data/dbsetup.h"
#include "data/dmmain.h"
#include "data/money.h"
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
         DatabaseBackup::kNotABackup},
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
