// Server.txt: the one line that names the database.
#include "data/apppaths.h"
#include "data/dbsetup.h"
#include "data/serverfile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {
struct Home {
    QTemporaryDir dir;
    Home() { qputenv("BREVIA_HOME", dir.path().toLocal8Bit()); }
    ~Home() { qunsetenv("BREVIA_HOME"); }
    QByteArray server() const
    {
        QFile f(dir.filePath("Server.txt"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeServer(const QByteArray &content) const
    {
        QFile f(dir.filePath("Server.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
};
} // namespace

TEST(ServerFile, MissingFileIsWrittenWithTheDefaultPath)
{
    Home h;
    const QString expected = h.dir.path() + "/Data/HKP30.hdb";
    EXPECT_EQ(AppPaths::defaultDatabasePath(), expected);
    QString err;
    EXPECT_EQ(ServerFile::read(&err), expected);
    EXPECT_TRUE(err.isEmpty());
    EXPECT_EQ(h.server(), (expected + "\n").toUtf8());
}

TEST(ServerFile, OnlyTheFirstLineCounts)
{
    Home h;
    h.writeServer("/srv/共享/HKP30.hdb\r\npostgresql://elsewhere/db\r\n");
    EXPECT_EQ(ServerFile::read(), "/srv/共享/HKP30.hdb");
    h.writeServer("postgresql://brevia@10.0.0.5/agency");
    EXPECT_EQ(ServerFile::read(), "postgresql://brevia@10.0.0.5/agency");
    ASSERT_TRUE(ServerFile::resetToDefault());
    EXPECT_EQ(ServerFile::read(), AppPaths::defaultDatabasePath());
}

TEST(ServerFile, LinesBecomeLocations)
{
    Home h;
    EXPECT_EQ(DbSetup::resolveLocation("Data/HKP30.hdb"), h.dir.path() + "/Data/HKP30.hdb");
    EXPECT_EQ(DbSetup::resolveLocation("Data\\HKP30.hdb"), h.dir.path() + "/Data/HKP30.hdb");
    EXPECT_EQ(DbSetup::resolveLocation("/srv/a.hdb"), "/srv/a.hdb");
    EXPECT_EQ(DbSetup::resolveLocation(" postgres://h/db "), "postgres://h/db");
}

#include "data/database.h"
#include "data/tabledef.h"

#include <ctime>

// A time the local zone skipped still comes back as stored.
TEST(StoredTimes, KeepTheirWallClockEvenInADaylightSavingGap)
{
    const QByteArray oldTz = qgetenv("TZ");
    qputenv("TZ", "Asia/Shanghai");
    tzset();
    QTemporaryDir dir;
    QString err;
    auto db = Database::open(dir.filePath("t.hdb"), &err, true);
    ASSERT_TRUE(db) << err.toStdString();
    const ColumnDef c = col::dateTime("CreateDate");
    for (const char *text : {"1988-04-17 02:30:00", "2026-12-10 08:05:09", "1899-12-30 00:00:00"}) {
        const QVariant v = db->fromDb(&c, QString(text));
        ASSERT_TRUE(v.toDateTime().isValid()) << text;
        EXPECT_EQ(db->toDb(&c, v).toString(), text);
        EXPECT_EQ(v.toDateTime().time().toString("HH:mm:ss"), QString(text).mid(11));
    }
    if (oldTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldTz);
    tzset();
}
