// Contracts with a large agency, each figure against the sqlite3 shell
// running the same statement over the same file in the same run:
// - receivables: the data module's receivables set opened with its first
//   screen of values, against the shell running the receivables statement
//   to its last row (ratio ≤ 1.5); reading every row is printed too;
// - the contract list's first screen (open + the values of 40 rows with
//   their display names) against the shell's list query with the same
//   names (ratio ≤ 1.5);
// - a contract search (a part of the title) until its first screen, which
//   should stay under 0.5 s.
// With BREVIA_TEST_PG set, the same figures on PostgreSQL (a copy of the
// agency made by the generator there), without a shell to compare with.
//
//   bench_contracts [CUSTOMERS] [FILE]
// CUSTOMERS defaults to 100,000 (about 150,000 contracts with 300,000
// money lines; 670,000 customers give about a million contracts). FILE is
// generated when missing and kept.
#include "admin-cli/generator.h"
#include "data/recordscope.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/receivables.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRounds = 5;
constexpr int kScreenRows = 40;

const char *const kListColumns[] = {"OperateID", "OperateTitle", "CustName",   "OperaterName", "CreateDate", "CompactAmount",
                                    "CurrName",  "InOrOut",      "WriteDate", "EndDate",       "OperateStateName"};

const char kListQuery[] =
    "SELECT o.OperateID, o.OperateTitle, c.CustName, s.Name, o.CreateDate, o.CompactAmount, r.CurrName, o.InOrOut, "
    "o.WriteDate, o.EndDate, t.OperateStateName FROM tblOperates o LEFT JOIN tblCustomers c ON c.CustId = o.CustID "
    "LEFT JOIN tblOperaters s ON s.OperaterID = o.OperaterID LEFT JOIN tblCurrencyRate r ON r.CurrID = o.CurrID "
    "LEFT JOIN tblOperateState t ON t.OperateStateID = o.OperateStateID ORDER BY o.OperateID";

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

double shellQuery(const QString &shell, const QString &file, const QString &query)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(shell, {file, query});
    if (!p.waitForFinished(300000) || p.exitCode() != 0) {
        std::fprintf(stderr, "sqlite3 失败: %s\n", p.readAllStandardError().constData());
        return -1;
    }
    return double(t.nsecsElapsed()) / 1e6;
}

// The receivables statement with its values written in, for the shell.
QString receivablesForShell(Database &db)
{
    const Receivables::Statement st = Receivables::statement(db, false);
    QString sql = st.sql;
    sql.replace(QStringLiteral("?"), QStringLiteral("'") + st.values.value(0).toString() + QStringLiteral("'"));
    return sql;
}

struct Figures {
    double receivables = -1, receivablesWhole = -1, list = -1, search = -1;
    int receivableRows = 0, contracts = 0, found = 0;
};

Figures measure(const QString &location)
{
    Figures f;
    TdmMain dm;
    QString err;
    auto db = Database::open(location, &err);
    if (!db || !(err = dm.connectTo(std::move(db))).isEmpty()) {
        std::fprintf(stderr, "连接失败: %s\n", qPrintable(err));
        return f;
    }
    QElapsedTimer t;

    Dataset *in = dm.dataset("qryGathering");
    const Receivables::Statement st = Receivables::statement(*dm.database(), false);
    t.start();
    in->close();
    in->setSql(st.sql, st.values);
    QString sink;
    if (in->open()) {
        for (int r = 0; r < std::min(kScreenRows, in->rowCount()); ++r)
            for (const char *c : {"OperateID", "CustName", "RMB", "sumRMB", "gathering"})
                sink += in->value(r, c).toString();
        f.receivables = double(t.nsecsElapsed()) / 1e6;
        if (in->loadAllRows()) {
            f.receivablesWhole = double(t.nsecsElapsed()) / 1e6;
            f.receivableRows = in->rowCount();
        }
    }

    Dataset *list = dm.dataset("tblOperates2");
    t.restart();
    if (!list->open())
        return f;
    for (int r = 0; r < std::min(kScreenRows, list->rowCount()); ++r)
        for (const char *c : kListColumns)
            sink += list->value(r, c).toString();
    f.list = double(t.nsecsElapsed()) / 1e6;
    f.contracts = list->rowCount();

    t.restart();
    if (refilter(list, Condition::contains(QStringLiteral("OperateTitle"), QStringLiteral("月嫂")))) {
        for (int r = 0; r < std::min(kScreenRows, list->rowCount()); ++r)
            for (const char *c : kListColumns)
                sink += list->value(r, c).toString();
        f.search = double(t.nsecsElapsed()) / 1e6;
        f.found = list->rowCount();
    }
    return sink.isEmpty() && f.contracts ? Figures() : f;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int customers = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString file = argc > 2 ? QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath()
                                  : dir.filePath(QStringLiteral("bench.hdb"));
    Generator::Options o;
    o.customers = customers;
    if (!QFileInfo::exists(file)) {
        QElapsedTimer t;
        t.start();
        if (const QString err = Generator::generate(file, o); !err.isEmpty()) {
            std::fprintf(stderr, "生成失败: %s\n", qPrintable(err));
            return 1;
        }
        std::printf("generated %d customers in %.1f s: %s\n", customers, double(t.elapsed()) / 1000.0, qPrintable(file));
    }
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty()) {
        std::fprintf(stderr, "sqlite3 not found (Debian package sqlite3)\n");
        return 1;
    }
    QString err;
    auto db = Database::open(file, &err);
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    const QString receivables = receivablesForShell(*db);
    db.reset();

    // Rounds alternate, so that both read a file the system has cached.
    std::vector<double> rec, recWhole, list, search, shellRec, shellList;
    Figures last;
    shellQuery(shell, file, receivables);
    for (int round = 0; round < kRounds; ++round) {
        last = measure(file);
        rec.push_back(last.receivables);
        recWhole.push_back(last.receivablesWhole);
        list.push_back(last.list);
        search.push_back(last.search);
        shellRec.push_back(shellQuery(shell, file, receivables));
        shellList.push_back(shellQuery(shell, file, QString::fromLatin1(kListQuery)));
    }
    std::printf("SQLite: contracts=%d receivable-rows=%d\n", last.contracts, last.receivableRows);
    std::printf("  receivables first screen=%.1f ms  sqlite3=%.1f ms  ratio=%.2f (goal <= 1.5); every row read=%.1f ms\n",
                median(rec), median(shellRec), median(rec) / median(shellRec), median(recWhole));
    std::printf("  list first screen=%.1f ms  sqlite3 list query=%.1f ms  ratio=%.2f (goal <= 1.5)\n", median(list),
                median(shellList), median(list) / median(shellList));
    std::printf("  search (title contains 月嫂, %d found) to first screen=%.1f ms (goal < 500)\n", last.found,
                median(search));

    const QString pg = qEnvironmentVariable("BREVIA_TEST_PG");
    if (!pg.isEmpty()) {
        // A database of its own on the server, filled by the generator.
        QUrl url(pg);
        url.setPath(QStringLiteral("/bench_contracts_%1").arg(QCoreApplication::applicationPid()));
        const QString location = url.toString();
        std::vector<double> pgRec, pgList, pgSearch;
        if (const QString e = Generator::generate(location, o); !e.isEmpty()) {
            std::fprintf(stderr, "PostgreSQL: %s\n", qPrintable(e));
            return 1;
        }
        for (int round = 0; round < kRounds; ++round) {
            last = measure(location);
            pgRec.push_back(last.receivables);
            pgList.push_back(last.list);
            pgSearch.push_back(last.search);
        }
        std::printf("PostgreSQL: contracts=%d receivables=%.1f ms  list first screen=%.1f ms  search=%.1f ms\n",
                    last.contracts, median(pgRec), median(pgList), median(pgSearch));
    }
    return 0;
}
