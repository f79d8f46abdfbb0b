// Every analysis over a large agency (a million contracts at 670,000
// customers), each against the same statements run by the database's own
// shell on the same data in the same run: sqlite3 on the file, and psql
// when a PostgreSQL URI is given. An analysis is timed from its first
// statement to its last list line and chart point; the shell runs its
// statements, values written in, in one process with the output thrown
// away. The bar charts are asked for the bars they draw, as the windows
// ask. Goal: every ratio within 1.5.
//
//   bench_analyses [FILE [POSTGRESQL-URI]]
// FILE defaults to a generated agency of 670,000 customers, kept at
// /tmp/bench-analyses.hdb; the URI names a database made by
// `brevia-admin generate postgresql://... --customers 670000`.
#include "admin-cli/generator.h"
#include "analyses/data/classanalyses.h"
#include "analyses/data/figurereader.h"
#include "analyses/data/rankings.h"
#include "analyses/data/timeanalyses.h"
#include "data/database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRounds = 3;

struct Analysis {
    const char *name;
    std::function<AnalysisResult(Database &)> run;
};

std::vector<Analysis> analyses()
{
    using CA = ClassAnalyses::Member;
    using M = ClassAnalyses::Mode;
    // A month and a year of the generated agency's busiest time.
    const QDate from(2025, 6, 1), to(2025, 6, 30);
    return {
        {"客户级别 按客户数量", [](Database &db) { return ClassAnalyses::byMode(db, CA::CustLevel, M::Customers, Direction::Income); }},
        {"客户级别 按业务数量", [](Database &db) { return ClassAnalyses::byMode(db, CA::CustLevel, M::Contracts, Direction::Income); }},
        {"客户级别 按合同金额", [](Database &db) { return ClassAnalyses::byMode(db, CA::CustLevel, M::Amounts, Direction::Income); }},
        {"客户来源 按合同金额", [](Database &db) { return ClassAnalyses::byMode(db, CA::CustOrigin, M::Amounts, Direction::Expense); }},
        {"客户状态 期间", [=](Database &db) { return ClassAnalyses::byPeriod(db, CA::CustState, from, to); }},
        {"客户类型 期间", [=](Database &db) { return ClassAnalyses::byPeriod(db, CA::CustVocation, from, to); }},
        {"业务来源 期间", [=](Database &db) { return ClassAnalyses::byPeriod(db, CA::OperateOrigin, from, to); }},
        {"业务类型 期间", [=](Database &db) { return ClassAnalyses::byPeriod(db, CA::OperateType, from, to); }},
        {"资金分配 应收", [](Database &db) { return ClassAnalyses::finance(db, Direction::Income, kMaxBars + 1); }},
        {"资金分配 应付", [](Database &db) { return ClassAnalyses::finance(db, Direction::Expense, kMaxBars + 1); }},
        {"按年度 2024", [](Database &db) { return TimeAnalyses::year(db, 2024, Direction::Income); }},
        {"按季度 2024-2", [](Database &db) { return TimeAnalyses::quarter(db, 2024, 2, Direction::Income); }},
        {"时间段", [=](Database &db) { return TimeAnalyses::period(db, from, to, Direction::Income); }},
        {"业务排行榜", [=](Database &db) { return Rankings::run(db, Rankings::Kind::Contracts, from, to, Direction::Income, kMaxBars + 1); }},
        {"客户排行榜", [=](Database &db) { return Rankings::run(db, Rankings::Kind::Customers, from, to, Direction::Income, kMaxBars + 1); }},
        {"业务员绩效排行榜", [=](Database &db) { return Rankings::run(db, Rankings::Kind::Staff, from, to, Direction::Income, kMaxBars + 1); }},
    };
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

// A statement with its values written in, as the shells take it.
QString inlined(const QString &sql, const QVariantList &values)
{
    QString out;
    int next = 0;
    for (QChar c : sql) {
        if (c != QLatin1Char('?') || next >= values.size()) {
            out += c;
            continue;
        }
        const QVariant &v = values[next++];
        if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
            out += QString::number(v.toLongLong());
        else
            out += QLatin1Char('\'') + v.toString().replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
    }
    return out;
}

// The statements of one run of the analysis, as one script.
QString script(Database &db, const Analysis &a)
{
    QString s;
    FigureReader::setObserver([&s](const QString &sql, const QVariantList &values) { s += inlined(sql, values) + ";\n"; });
    a.run(db);
    FigureReader::setObserver({});
    return s;
}

double timeProgram(Database &db, const Analysis &a, qsizetype *lines, qsizetype *points)
{
    QElapsedTimer t;
    t.start();
    const AnalysisResult r = a.run(db);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (!r.ok())
        std::fprintf(stderr, "%s: %s\n", a.name, qPrintable(r.error));
    *lines = r.lines.size();
    *points = r.points.size();
    return ms;
}

double timeShell(const QString &program, const QStringList &args, const QString &script)
{
    QTemporaryFile f;
    if (!f.open())
        return -1;
    f.write(script.toUtf8());
    f.flush();
    QProcess p;
    p.setStandardInputFile(f.fileName());
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(program), p.readAllStandardError().constData());
        return -1;
    }
    return double(t.nsecsElapsed()) / 1e6;
}

void compare(const char *engine, Database &db, const QString &shell, const QStringList &shellArgs)
{
    std::printf("%s\n  %-22s %10s %10s %7s %7s %8s\n", engine, "analysis", "program", "shell", "ratio", "lines", "points");
    double worst = 0;
    for (const Analysis &a : analyses()) {
        const QString sql = script(db, a);
        std::vector<double> mine, theirs;
        qsizetype lines = 0, points = 0;
        // Rounds alternate, so both read data the system has cached.
        timeShell(shell, shellArgs, sql);
        for (int i = 0; i < kRounds; ++i) {
            mine.push_back(timeProgram(db, a, &lines, &points));
            theirs.push_back(timeShell(shell, shellArgs, sql));
        }
        const double ratio = median(mine) / median(theirs);
        worst = std::max(worst, ratio);
        std::printf("  %-22s %8.0f ms %7.0f ms %7.2f %7lld %8lld\n", a.name, median(mine), median(theirs), ratio,
                    qlonglong(lines), qlonglong(points));
    }
    std::printf("  worst ratio %.2f (goal <= 1.5)\n", worst);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each line as it is measured
    const QString file = argc > 1 ? QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath()
                                  : QStringLiteral("/tmp/bench-analyses.hdb");
    if (!QFileInfo::exists(file)) {
        Generator::Options o;
        o.customers = 670000;
        std::printf("generating %d customers into %s ...\n", o.customers, qPrintable(file));
        if (const QString err = Generator::generate(file, o); !err.isEmpty()) {
            std::fprintf(stderr, "生成失败: %s\n", qPrintable(err));
            return 1;
        }
    }
    const QString sqlite = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite.isEmpty()) {
        std::fprintf(stderr, "sqlite3 not found (Debian package sqlite3)\n");
        return 1;
    }
    QString err;
    auto db = Database::open(file, &err);
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    compare("SQLite", *db, sqlite, {file});
    db.reset();

    if (argc > 2) {
        const QString uri = QString::fromLocal8Bit(argv[2]);
        const QString psql = QStandardPaths::findExecutable(QStringLiteral("psql"));
        auto pg = Database::open(uri, &err);
        if (!pg || psql.isEmpty()) {
            std::fprintf(stderr, "PostgreSQL: %s\n", qPrintable(psql.isEmpty() ? QStringLiteral("psql not found") : err));
            return 1;
        }
        compare("PostgreSQL", *pg, psql, {QStringLiteral("-q"), QStringLiteral("-X"), QStringLiteral("-v"),
                                          QStringLiteral("ON_ERROR_STOP=1"), uri});
    }
    return 0;
}
