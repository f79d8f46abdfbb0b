// The cost of one system-log line with a short log and with a long one.
// Every command writes a line first, so a line must cost the same whether
// the log holds a thousand rows or a million: the ratio printed at the end
// should stay near 1.
//
//   bench_writelog [LINES_PER_ROUND]
// Runs on a temporary SQLite file, and on PostgreSQL as well when
// BREVIA_TEST_PG names a server (a database is made there and dropped).
#include "data/database.h"
#include "data/dbsetup.h"
#include "data/session.h"
#include "data/writelog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRounds = 7;

// Fills the log up to `total` rows in one statement per engine.
bool growLog(Database &db, int total)
{
    const QString fill = db.isPostgres()
        ? QStringLiteral("INSERT INTO tblLog (LogDateTime, UserID, Operate) "
                         "SELECT '2026-1-1 8:00:00', 'Admin', '客户业务管理-客户资料' FROM generate_series(1, ?)")
        : QStringLiteral("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < ?) "
                         "INSERT INTO tblLog (LogDateTime, UserID, Operate) "
                         "SELECT '2026-1-1 8:00:00', 'Admin', '客户业务管理-客户资料' FROM n");
    QSqlQuery count(db.sql());
    count.exec(QStringLiteral("SELECT count(*) FROM tblLog"));
    const int have = count.next() ? count.value(0).toInt() : 0;
    if (have >= total)
        return true;
    const QString err = db.exec(fill, {total - have});
    if (!err.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(err));
    return err.isEmpty();
}

// Microseconds per line, the median of several rounds.
double costOfALine(Database &db, int lines)
{
    for (int i = 0; i < lines; ++i) // warm the statement cache and the file
        WriteLog(db, QStringLiteral("客户业务管理-客户资料-保存"));
    std::vector<double> perLine;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < lines; ++i)
            WriteLog(db, QStringLiteral("客户业务管理-客户资料-保存"));
        perLine.push_back(double(t.nsecsElapsed()) / 1000.0 / lines);
    }
    std::sort(perLine.begin(), perLine.end());
    return perLine[perLine.size() / 2];
}

bool run(const char *engine, Database &db, int lines)
{
    if (!growLog(db, 1000))
        return false;
    const double small = costOfALine(db, lines);
    if (!growLog(db, 1000000))
        return false;
    const double large = costOfALine(db, lines);
    std::printf("%-10s one line at 1,000 rows: %8.1f us   at 1,000,000 rows: %8.1f us   ratio: %.2f\n", engine, small,
                large, large / small);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int lines = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    Session::current().logIn(QStringLiteral("Admin"), true);

    QTemporaryDir dir;
    QString err;
    auto lite = DbSetup::create(dir.filePath(QStringLiteral("bench.hdb")), &err);
    if (!lite || !run("SQLite", *lite, lines)) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    // What syncing every commit costs: the same line with the journal's
    // weaker setting, which can lose the last commits at a power cut.
    {
        const double full = costOfALine(*lite, lines);
        QSqlQuery(lite->sql()).exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
        const double normal = costOfALine(*lite, lines);
        QSqlQuery(lite->sql()).exec(QStringLiteral("PRAGMA synchronous = FULL"));
        std::printf("%-10s one line, synchronous FULL: %8.1f us   NORMAL: %8.1f us   ratio: %.2f\n", "SQLite", full,
                    normal, full / normal);
    }

    const QString pg = qEnvironmentVariable("BREVIA_TEST_PG");
    if (pg.isEmpty())
        return 0;
    QUrl url(pg);
    const QString name = QStringLiteral("brevia_bench_%1").arg(QCoreApplication::applicationPid());
    url.setPath(QLatin1Char('/') + name);
    bool ok = false;
    {
        auto db = DbSetup::create(url.toString(), &err);
        ok = db && run("PostgreSQL", *db, lines);
    }
    url.setPath(QStringLiteral("/postgres"));
    if (auto admin = Database::open(url.toString(), &err))
        admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    if (!ok)
        std::fprintf(stderr, "%s\n", qPrintable(err));
    return ok ? 0 : 1;
}
