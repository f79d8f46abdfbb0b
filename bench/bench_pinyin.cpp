// Searching customers by name with pinyin, against the search as it was:
// for each typed text, the customer set narrowed by the name search of
// today (the name's pinyin key matched too) and by the plain substring
// search of before (the name only), each until the values of the first
// screen are read, in the same run on the same database. The ratio should
// stay at or below 1.5. A typed text in Latin letters found nothing before,
// so its first screen was empty; the last column compares with the search
// of before that filled a first screen (the first typed text, "王").
//
//   bench_pinyin [CUSTOMERS] [FILE|POSTGRESQL-URI]
// CUSTOMERS defaults to 100,000. The database is generated when it holds no
// schema yet (seed 1) and kept, so later runs measure the same agency;
// without a location a temporary SQLite file is used.
#include "admin-cli/generator.h"
#include "data/condition.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/recordscope.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRounds = 7;
constexpr int kScreenRows = 40;
const char *const kListColumns[] = {"CNo", "CustId", "CustName", "MainLinkman", "Address", "LevelName"};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Milliseconds from narrowing the customer set to having the values of its
// first screen; the rows found through *found.
double search(TdmMain &dm, const Condition &c, int *found)
{
    Dataset *customers = dm.dataset("tblCustomers");
    QElapsedTimer t;
    t.start();
    if (!refilter(customers, c)) {
        std::fprintf(stderr, "%s\n", qPrintable(customers->lastError()));
        return -1;
    }
    QString sink;
    for (int r = 0; r < std::min(kScreenRows, customers->rowCount()); ++r)
        for (const char *col : kListColumns)
            sink += customers->value(r, col).toString();
    const double ms = double(t.nsecsElapsed()) / 1e6;
    *found = customers->rowCount();
    return ms;
}

// Milliseconds of the search's statement alone: counting what it finds.
double statementOnly(Database &db, const Condition &c)
{
    QVariantList values;
    const QString sql = QStringLiteral("SELECT count(*) FROM tblCustomers WHERE ") + c.toSql(db.dialect(), values);
    QElapsedTimer t;
    t.start();
    QString err;
    qint64 n = 0;
    db.scan(sql, values, [&n](const QVariant *row) { n = row[0].toLongLong(); }, &err);
    if (!err.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(err));
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int customers = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
    QTemporaryDir tmp;
    QString location = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.filePath("bench.hdb");
    const bool pg = Database::isPostgresUri(location);
    bool made = false;
    if (!pg) {
        made = QFileInfo::exists(location);
    } else {
        QString err;
        auto db = Database::open(location, &err);
        made = db && !db->tableNames().isEmpty();
    }
    if (!made) {
        QElapsedTimer t;
        t.start();
        Generator::Options o;
        o.customers = customers;
        if (const QString err = Generator::generate(location, o); !err.isEmpty()) {
            std::fprintf(stderr, "生成失败: %s\n", qPrintable(err));
            return 1;
        }
        std::printf("generated %d customers in %.1f s\n", customers, double(t.elapsed()) / 1000.0);
    }
    TdmMain dm;
    QString err;
    auto db = Database::open(location, &err);
    if (db)
        err = dm.connectTo(std::move(db));
    if (!err.isEmpty()) {
        std::fprintf(stderr, "连接失败: %s\n", qPrintable(err));
        return 1;
    }
    std::printf("name search on %s, median of %d rounds, to the values of the first %d rows\n",
                pg ? "PostgreSQL" : "SQLite", kRounds, kScreenRows);
    std::printf("%-14s %10s %8s %10s %8s %7s %12s %8s\n", "typed", "before ms", "found", "pinyin ms", "found",
                "ratio", "statements", "vs 王");
    double worst = 0, filled = 0;
    for (const char *typed : {"王", "晓燕", "wxy", "zhangxy", "liuxiaoyan", "zz", "abc"}) {
        const QString text = QString::fromUtf8(typed);
        std::vector<double> before, now, sqlBefore, sqlNow;
        int foundBefore = 0, foundNow = 0;
        for (int round = 0; round < kRounds; ++round) {
            before.push_back(search(dm, Condition::contains("CustName", text), &foundBefore));
            now.push_back(search(dm, Condition::nameContains("CustName", text), &foundNow));
            sqlBefore.push_back(statementOnly(*dm.database(), Condition::contains("CustName", text)));
            sqlNow.push_back(statementOnly(*dm.database(), Condition::nameContains("CustName", text)));
        }
        const double ratio = median(now) / median(before);
        worst = std::max(worst, ratio);
        if (filled == 0)
            filled = median(before);
        std::printf("%-14s %10.1f %8d %10.1f %8d %7.2f %5.1f/%5.1f %8.2f\n", typed, median(before), foundBefore,
                    median(now), foundNow, ratio, median(sqlBefore), median(sqlNow), median(now) / filled);
    }
    std::printf("worst ratio %.2f (target <= 1.5); statements: the search's statement alone, before/pinyin ms\n",
                worst);
    return 0;
}
