// Another workstation for the backup tests, as a process of its own:
//   backup_helper write LOCATION COUNT      stores COUNT customers W00001...
//                                           one per transaction, printing
//                                           "committed N" after each commit
//   backup_helper restore LOCATION SOURCE   restores SOURCE into LOCATION,
//                                           printing "step" and pausing
//                                           between steps, so that a test
//                                           can kill it in the middle
//   backup_helper readonly LOCATION         opens LOCATION as the program
//                                           does, then writes a log line and
//                                           stores a customer, printing what
//                                           each said
#include "data/database.h"
#include "data/databasebackup.h"
#include "data/dbsetup.h"
#include "data/readonly.h"
#include "data/writelog.h"

#include <QCoreApplication>
#include <QStringList>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

int write(const QString &location, int count)
{
    QString error;
    auto db = DbSetup::openExisting(location, &error);
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    for (int i = 1; i <= count; ++i) {
        Transaction tx(*db);
        QString err = tx.error();
        if (err.isEmpty())
            err = db->insertRow(QStringLiteral("tblCustomers"),
                                {{"CustId", QStringLiteral("W%1").arg(i, 5, 10, QLatin1Char('0'))},
                                 {"CustName", QStringLiteral("写入客户%1").arg(i)}});
        if (err.isEmpty())
            err = tx.commit();
        if (!err.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(err));
            return 1;
        }
        std::printf("committed %d\n", i);
        std::fflush(stdout);
    }
    return 0;
}

int restore(const QString &location, const QString &source)
{
    DatabaseBackup backup(location);
    const QString result = backup.restoreFrom(source, [](int done, int total) {
        std::printf("step %d %d\n", done, total);
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    });
    if (!result.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(result));
        return 1;
    }
    std::printf("done\n");
    return 0;
}

int readOnly(const QString &location)
{
    QString error;
    auto db = DbSetup::openExisting(location, &error);
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("readonly %d\n", ReadOnly::isReadOnly(*db) ? 1 : 0);
    std::printf("log [%s]\n", qPrintable(WriteLog(*db, QStringLiteral("退出系统"))));
    std::printf("store [%s]\n",
                qPrintable(db->insertRow(QStringLiteral("tblCustomers"), {{"CustId", "R1"}, {"CustName", "只读"}})));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("write"))
        return write(args[2], args[3].toInt());
    if (args.size() == 4 && args[1] == QLatin1String("restore"))
        return restore(args[2], args[3]);
    if (args.size() == 3 && args[1] == QLatin1String("readonly"))
        return readOnly(args[2]);
    std::fprintf(stderr, "usage: backup_helper write LOCATION COUNT | restore LOCATION SOURCE | readonly LOCATION\n");
    return 2;
}
