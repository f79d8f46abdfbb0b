// How long a grid waits for a large table to show its first screen,
// against reading the whole table once. Prints the ratio; a lazy dataset
// keeps it far below 1 however large the table grows.
#include "data/database.h"
#include "data/dataset.h"
#include "data/dbsetup.h"
#include "data/schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

namespace {
double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    QString err;
    auto db = DbSetup::create(dir.filePath("bench.hdb"), &err);
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    {
        Transaction tx(*db);
        for (int i = 0; i < rows; ++i)
            db->insertRow("tblCustomers", {{"CustId", QString("KH%1").arg(i, 6, 10, QChar('0'))},
                                           {"CustName", QString("客户名称%1").arg(i)},
                                           {"Address", QString("某市某区某路%1号").arg(i)},
                                           {"CreateDate", QDate(2020, 1, 1).addDays(i % 2000)},
                                           {"SUser", "Admin"}});
        tx.commit();
    }
    std::vector<double> lazy, whole;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        t.start();
        {
            Dataset d(db.get(), "tblCustomers", Schema::table("tblCustomers"));
            d.open();
            for (int r = 0; r < 40; ++r)
                for (const char *f : {"CustId", "CustName", "Address", "CreateDate"})
                    d.value(r, f);
        }
        lazy.push_back(double(t.nsecsElapsed()));
        t.restart();
        {
            QSqlQuery q(db->sql());
            q.setForwardOnly(true);
            q.exec("SELECT * FROM tblCustomers ORDER BY CNo");
            while (q.next())
                for (int c = 0; c < 24; ++c)
                    q.value(c);
        }
        whole.push_back(double(t.nsecsElapsed()));
    }
    const double ratio = median(lazy) / median(whole);
    std::printf("rows=%d first-screen=%.1f ms whole-table-read=%.1f ms ratio=%.3f\n", rows, median(lazy) / 1e6,
                median(whole) / 1e6, ratio);
    return 0;
}
