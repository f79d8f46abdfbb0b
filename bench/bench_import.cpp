// The cost of bringing in a spreadsheet of workers: the file read, the
// columns matched, every row checked against the dictionaries and the
// records on file, and all of it stored in one transaction, against the
// same rows inserted by a plain prepared INSERT, one statement a row, in
// one transaction. Both run on a new database each round; the median of
// the rounds is printed with the ratio.
//
//   bench_import [ROWS]
// Runs on a temporary SQLite file, and on PostgreSQL as well when
// BREVIA_TEST_PG names a server (a database is made there and dropped).
#include "data/database.h"
#include "data/dbsetup.h"
#include "data/session.h"
#include "import/importtarget.h"
#include "import/sheet.h"
#include "import/sheetimport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRounds = 5;

const QStringList kHeaders = {"员工编号", "姓名", "性别", "出生日期", "身份证号", "手机", "部门", "籍贯", "家庭住址", "备注"};

QByteArray csvOf(int rows)
{
    QString text = kHeaders.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    const char *surnames[] = {"张", "王", "李", "赵", "刘"};
    for (int i = 0; i < rows; ++i) {
        text += QStringList{QStringLiteral("YG%1").arg(i, 6, 10, QLatin1Char('0')),
                            QString::fromUtf8(surnames[i % 5]) + QStringLiteral("秀英%1").arg(i),
                            i % 2 ? QStringLiteral("男") : QStringLiteral("女"),
                            QStringLiteral("1980-%1-15").arg(i % 12 + 1),
                            QStringLiteral("11010119%1X").arg(i, 9, 10, QLatin1Char('0')),
                            QStringLiteral("138%1").arg(i, 8, 10, QLatin1Char('0')),
                            i % 2 ? QStringLiteral("家政部") : QStringLiteral("护理部"),
                            QStringLiteral("安徽"),
                            QStringLiteral("北京市朝阳区%1号").arg(i),
                            QStringLiteral("第%1行").arg(i + 2)}
                    .join(QLatin1Char(','))
            + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

bool prepare(Database &db)
{
    for (const auto &[id, name] : {std::pair{"D1", "家政部"}, std::pair{"D2", "护理部"}})
        if (!db.insertRow(QStringLiteral("tblDepartment"), {{"DepartmentID", id}, {"DepartmentName", QString::fromUtf8(name)}, {"Memo", "-"}})
                 .isEmpty())
            return false;
    return true;
}

// Seconds of each step of the last import: reading, checking, storing.
double g_steps[3];

// The whole import: the file read, matched, checked and stored.
QString importFile(Database &db, const QString &path, int *stored)
{
    QElapsedTimer t;
    t.start();
    Sheet sheet;
    QString error = SheetReader::read(path, &sheet);
    if (!error.isEmpty())
        return error;
    g_steps[0] = double(t.nsecsElapsed()) / 1e9;
    const ImportTarget target = ImportTarget::workers();
    SheetImport::CheckResult checked;
    if (!SheetImport::check(db, target, sheet, SheetImport::guessMapping(target, sheet.headers), {}, &checked, &error))
        return error;
    g_steps[1] = double(t.nsecsElapsed()) / 1e9 - g_steps[0];
    SheetImport::Outcome outcome;
    error = SheetImport::store(db, target, checked, {}, QStringLiteral("导入："), &outcome);
    g_steps[2] = double(t.nsecsElapsed()) / 1e9 - g_steps[0] - g_steps[1];
    *stored = outcome.stored;
    return error;
}

// The same rows, already in the table's form, by one prepared INSERT a row.
QString plainLoop(Database &db, const QVector<QVariantList> &rows, int *stored)
{
    const QString begin = db.begin();
    if (!begin.isEmpty())
        return begin;
    QSqlQuery q(db.sql());
    if (!q.prepare(QStringLiteral("INSERT INTO tblYuangong (YuangongID, Name, Sex, Birth, ID, Mobile, DepartmentID, "
                                  "Native, Address, Memo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))) {
        db.rollback();
        return q.lastError().text();
    }
    for (const QVariantList &row : rows) {
        for (int i = 0; i < row.size(); ++i)
            q.bindValue(i, row.at(i));
        if (!q.exec()) {
            db.rollback();
            return q.lastError().text();
        }
        ++*stored;
    }
    return db.commit();
}

QVector<QVariantList> plainRows(int rows, bool postgres)
{
    QVector<QVariantList> out;
    for (int i = 0; i < rows; ++i) {
        const QString birth = QStringLiteral("1980-%1-15 00:00:00").arg(i % 12 + 1, 2, 10, QLatin1Char('0'));
        out << QVariantList{QStringLiteral("YG%1").arg(i, 6, 10, QLatin1Char('0')),
                            QStringLiteral("张秀英%1").arg(i),
                            i % 2 ? QStringLiteral("男") : QStringLiteral("女"),
                            postgres ? QVariant(QDateTime::fromString(birth, QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                                     : QVariant(birth),
                            QStringLiteral("11010119%1X").arg(i, 9, 10, QLatin1Char('0')),
                            QStringLiteral("138%1").arg(i, 8, 10, QLatin1Char('0')),
                            i % 2 ? QStringLiteral("D1") : QStringLiteral("D2"),
                            QStringLiteral("安徽"),
                            QStringLiteral("北京市朝阳区%1号").arg(i),
                            QStringLiteral("第%1行").arg(i + 2)};
    }
    return out;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Seconds of one run on a database made afresh for it; negative on failure.
double timed(const std::function<QString(const QString &location)> &location,
             const std::function<QString(Database &, int *)> &work, int rows, QString *error)
{
    QTemporaryDir dir;
    const QString where = location(dir.path());
    auto db = DbSetup::create(where, error);
    if (!db || !prepare(*db))
        return -1;
    QElapsedTimer t;
    t.start();
    int stored = 0;
    *error = work(*db, &stored);
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    if (error->isEmpty() && stored != rows)
        *error = QStringLiteral("stored %1 of %2 rows").arg(stored).arg(rows);
    return error->isEmpty() ? seconds : -1;
}

bool run(const char *engine, const std::function<QString(const QString &)> &location, bool postgres,
         const QString &file, int rows)
{
    const QVector<QVariantList> plain = plainRows(rows, postgres);
    std::vector<double> imports, loops, steps[3];
    QString error;
    for (int round = 0; round < kRounds; ++round) {
        const double a = timed(location, [&](Database &db, int *n) { return importFile(db, file, n); }, rows, &error);
        if (a < 0)
            break;
        const double b = timed(location, [&](Database &db, int *n) { return plainLoop(db, plain, n); }, rows, &error);
        if (b < 0)
            break;
        imports.push_back(a);
        loops.push_back(b);
        for (int s = 0; s < 3; ++s)
            steps[s].push_back(g_steps[s]);
    }
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", engine, qPrintable(error));
        return false;
    }
    const double imp = median(imports), loop = median(loops);
    std::printf("%-10s %d workers: import (read, check, store) %.3f s   plain prepared INSERT loop %.3f s   ratio %.2f\n",
                engine, rows, imp, loop, imp / loop);
    std::printf("%-10s   of which reading %.3f s, checking %.3f s, storing %.3f s (store alone: ratio %.2f)\n", engine,
                median(steps[0]), median(steps[1]), median(steps[2]), median(steps[2]) / loop);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    Session::current().logIn(QStringLiteral("Admin"), true);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("workers.csv"));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(csvOf(rows)) < 0)
            return 1;
    }
    if (!run("SQLite", [](const QString &d) { return d + QStringLiteral("/bench.hdb"); }, false, file, rows))
        return 1;

    const QString pg = qEnvironmentVariable("BREVIA_TEST_PG");
    if (pg.isEmpty())
        return 0;
    QUrl url(pg);
    const QString name = QStringLiteral("brevia_bench_import_%1").arg(QCoreApplication::applicationPid());
    int round = 0;
    auto location = [&](const QString &) {
        QUrl u = url;
        u.setPath(QStringLiteral("/%1_%2").arg(name).arg(round++));
        return u.toString();
    };
    const bool ok = run("PostgreSQL", location, true, file, rows);
    url.setPath(QStringLiteral("/postgres"));
    QString err;
    if (auto admin = Database::open(url.toString(), &err))
        for (int i = 0; i < round; ++i)
            admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1_%2 WITH (FORCE)").arg(name).arg(i));
    return ok ? 0 : 1;
}
