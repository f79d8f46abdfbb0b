// The customer list with a large agency: how long the customer module
// takes to show the list's first screen through the data module, against
// the time the SQLite command-line shell needs to run the list's query over
// the same file (the ratio should stay at or below 1.5), and how long moving
// from one customer to another takes with the customer's five sub-pages
// open (it should stay well under 0.3 s). Also prints what reading every
// row costs, the first step of sorting or grouping the list.
//
//   bench_customers [CUSTOMERS] [FILE]
// CUSTOMERS defaults to 100,000. FILE is generated when missing (seed 1)
// and kept, so that later runs measure the same agency; without FILE a
// temporary one is used.
#include "admin-cli/generator.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int kRounds = 5;
constexpr int kScreenRows = 40;
constexpr int kMoves = 1000;

// The list's columns in their order on screen.
const char *const kListColumns[] = {"CNo",          "CustId",    "CustName",   "MainLinkman", "Address",
                                    "VocationName", "LevelName", "OriginName", "Operater"};

// The same list as one statement: the customers in their list order with
// the display names of their codes.
const char kListQuery[] =
    "SELECT c.CNo, c.CustId, c.CustName, c.MainLinkman, c.Address, v.VocationName, l.LevelName, o.OriginName, "
    "s.Name FROM tblCustomers c LEFT JOIN tblVocation v ON v.VocationId = c.VocationID "
    "LEFT JOIN tblCustLevel l ON l.LevelID = c.LevelID LEFT JOIN tblCustOrigin o ON o.OriginID = c.OriginID "
    "LEFT JOIN tblOperaters s ON s.OperaterID = c.OperaterID ORDER BY c.CNo";

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

bool connect(TdmMain &dm, const QString &file)
{
    QString err;
    auto db = Database::open(file, &err);
    if (db)
        err = dm.connectTo(std::move(db));
    if (!err.isEmpty())
        std::fprintf(stderr, "连接失败: %s\n", qPrintable(err));
    return err.isEmpty();
}

// Milliseconds from opening the customer set to having the values of its
// first screen, in a freshly connected data module as after a login.
double firstScreen(const QString &file, int *rows)
{
    TdmMain dm;
    if (!connect(dm, file))
        return -1;
    Dataset *customers = dm.dataset("tblCustomers");
    QElapsedTimer t;
    t.start();
    if (!customers->open()) {
        std::fprintf(stderr, "%s\n", qPrintable(customers->lastError()));
        return -1;
    }
    QString sink;
    for (int r = 0; r < std::min(kScreenRows, customers->rowCount()); ++r)
        for (const char *c : kListColumns)
            sink += customers->value(r, c).toString();
    const double ms = double(t.nsecsElapsed()) / 1e6;
    *rows = customers->rowCount();
    return sink.isEmpty() ? -1 : ms;
}

double shellQuery(const QString &shell, const QString &file)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(shell, {file, QString::fromLatin1(kListQuery)});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        std::fprintf(stderr, "sqlite3 失败: %s\n", p.readAllStandardError().constData());
        return -1;
    }
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int customers = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString file = argc > 2 ? QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath()
                                  : dir.filePath(QStringLiteral("bench.hdb"));
    if (!QFileInfo::exists(file)) {
        QElapsedTimer t;
        t.start();
        Generator::Options o;
        o.customers = customers;
        const QString err = Generator::generate(file, o);
        if (!err.isEmpty()) {
            std::fprintf(stderr, "生成失败: %s\n", qPrintable(err));
            return 1;
        }
        std::printf("generated %d customers in %.1f s: %s\n", customers, double(t.elapsed()) / 1000.0,
                    qPrintable(file));
    }
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty()) {
        std::fprintf(stderr, "sqlite3 not found (Debian package sqlite3)\n");
        return 1;
    }

    // Rounds alternate, so that both read a file the system has cached.
    shellQuery(shell, file);
    std::vector<double> module, sqlite;
    int rows = 0;
    for (int round = 0; round < kRounds; ++round) {
        module.push_back(firstScreen(file, &rows));
        sqlite.push_back(shellQuery(shell, file));
    }
    if (*std::min_element(module.begin(), module.end()) < 0 || *std::min_element(sqlite.begin(), sqlite.end()) < 0)
        return 1;
    const double ratio = median(module) / median(sqlite);
    std::printf("customers=%d first-screen(open + %d rows x %d columns)=%.1f ms  sqlite3-list-query=%.1f ms  "
                "ratio=%.2f (target <= 1.5)\n",
                rows, kScreenRows, int(std::size(kListColumns)), median(module), median(sqlite), ratio);

    // Moving between customers with the detail page's five sets open: each
    // move re-reads the customer's contacts, contracts, workers, history
    // and extra information, and the grid repaints the row.
    TdmMain dm;
    if (!connect(dm, file))
        return 1;
    Dataset *list = dm.dataset("tblCustomers");
    list->open();
    for (const char *d : {"tblLinkmans", "tblOperates", "tblYuangong1", "tblCustomerState", "tblCustomerAddInfo"})
        dm.dataset(d)->open();
    std::mt19937 gen(42);
    std::uniform_int_distribution<int> pick(0, list->rowCount() - 1);
    Dataset *contacts = dm.dataset("tblLinkmans");
    Dataset *contracts = dm.dataset("tblOperates");
    std::vector<double> moves;
    QString sink;
    qint64 detailRows = 0;
    for (int i = 0; i < kMoves; ++i) {
        const int row = pick(gen);
        QElapsedTimer t;
        t.start();
        list->setCurrentRow(row);
        for (const char *c : kListColumns)
            sink += list->value(c).toString();
        moves.push_back(double(t.nsecsElapsed()) / 1e6);
        detailRows += contacts->rowCount() + contracts->rowCount();
    }
    double sum = 0;
    for (double m : moves)
        sum += m;
    std::printf("moves=%d per move: mean=%.2f ms median=%.2f ms p99=%.2f ms max=%.2f ms (target < 300 ms); "
                "contacts and contracts seen=%lld\n",
                kMoves, sum / kMoves, median(moves), percentile(moves, 0.99), *std::max_element(moves.begin(), moves.end()), detailRows);

    // What sorting or grouping the list costs before the grid's own work:
    // every row read, and the sort value and the group name of each.
    std::vector<double> whole, readAll;
    for (int round = 0; round < 3; ++round) {
        TdmMain fresh;
        if (!connect(fresh, file))
            return 1;
        Dataset *set = fresh.dataset("tblCustomers");
        set->open();
        QElapsedTimer t;
        t.start();
        set->loadAllRows();
        readAll.push_back(double(t.nsecsElapsed()) / 1e6);
        const int name = set->fieldIndex("CustName"), level = set->fieldIndex("LevelName");
        qint64 chars = 0;
        for (int r = 0; r < set->rowCount(); ++r)
            chars += set->value(r, name).toString().size() + set->value(r, level).toString().size();
        whole.push_back(double(t.nsecsElapsed()) / 1e6);
        if (chars == 0)
            return 1;
    }
    std::printf("all rows read with CustName and LevelName (what sorting or grouping needs first)=%.1f ms, "
                "of which loadAllRows=%.1f ms\n",
                median(whole), median(readAll));
    return sink.isEmpty() ? 1 : 0;
}
