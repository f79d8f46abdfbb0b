// The contact list with a large agency: how long the contact module takes
// from its opening to the values of the list's first screen, for a system
// user and for an ordinary user, against the SQLite command-line shell
// running the list's query over the same file (the ratio should stay at or
// below 1.5); then a sort by name, a grouping by customer and a search by
// name in the module's grid and search window (each well under 0.3 s).
//
//   bench_contacts FILE [USER]
// FILE is a database made by "brevia-admin generate"; USER an ordinary
// user whose contacts the second run lists (default zhangli).
#include "contacts/tfrmlinkman.h"
#include "data/recordscope.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/userrights.h"
#include "ui/datagrid.h"
#include "rules/businessrules.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kRounds = 5;
constexpr int kScreenRows = 40;
const char *const kColumns[] = {"LNo", "LinkmanID", "Name", "NickName", "CustName", "Duty", "Mobile", "Telephone", "Main"};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

double shellQuery(const QString &file, const QString &query)
{
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty())
        return -1;
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(shell, {file, query});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return -1;
    return ms(t);
}

// From the module's opening to the values of its first screen, in a data
// module freshly connected as after a login.
double firstScreen(const QString &file, const QString &user, bool sys, int *rows)
{
    TdmMain dm;
    QString err;
    auto db = Database::open(file, &err);
    if (!db || !(err = dm.connectTo(std::move(db))).isEmpty()) {
        std::fprintf(stderr, "连接失败: %s\n", qPrintable(err));
        return -1;
    }
    Session::current().reset();
    Session::current().logIn(user, sys);
    QElapsedTimer t;
    t.start();
    TfrmLinkman w;
    const double made = ms(t);
    w.resize(792, 540);
    w.show();
    w.open();
    if (std::getenv("BENCH_STEPS"))
        std::fprintf(stderr, "made %.1f ms, opened %.1f ms\n", made, ms(t));
    Dataset *set = w.dataset();
    QString sink;
    for (int r = 0; r < std::min(kScreenRows, set->rowCount()); ++r)
        for (const char *c : kColumns)
            sink += set->value(r, QString::fromLatin1(c)).toString();
    QApplication::processEvents();
    const double took = ms(t);
    *rows = set->rowCount();
    return took;
}

} // namespace

int main(int argc, char **argv)
{
    // The windows store through the tables' rules, as in the program.
    installBusinessRulesOnNewModules();
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "用法: bench_contacts 数据库文件 [普通用户]\n");
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    const QString user = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("zhangli");
    QTemporaryDir home;
    qputenv("BREVIA_HOME", home.path().toLocal8Bit());

    const QString select = QStringLiteral(
        "SELECT l.LNo, l.LinkmanID, l.Name, l.NickName, c.CustName, l.Duty, l.Mobile, l.Telephone, l.Main "
        "FROM tblLinkmans l LEFT JOIN tblCustomers c ON c.CustId = l.CustID %1 ORDER BY l.LNo");
    struct Run {
        QString who;
        bool sys;
        QString where;
    };
    for (const Run &r : {Run{QStringLiteral("Admin"), true, QString()},
                         Run{user, false, QStringLiteral("WHERE l.SUser = '%1' AND c.SUser = '%1'").arg(user)}}) {
        // The shell runs the list's query whole, as the module asks for it,
        // and cut to one screen (a stricter reference: no key list at all).
        std::vector<double> ours, shell, screen;
        int rows = 0;
        for (int i = 0; i < kRounds; ++i) {
            ours.push_back(firstScreen(file, r.who, r.sys, &rows));
            shell.push_back(shellQuery(file, select.arg(r.where)));
            screen.push_back(shellQuery(file, select.arg(r.where) + QStringLiteral(" LIMIT 100")));
        }
        std::printf("%-10s 首屏 %8.1f ms  sqlite3 列表查询 %8.1f ms  比值 %.2f  LIMIT 100 %8.1f ms  比值 %.2f  (%d 行已读)\n",
                    qPrintable(r.who), median(ours), median(shell), median(ours) / median(shell), median(screen),
                    median(ours) / median(screen), rows);
    }

    // Sorting, grouping and a search in the system user's list.
    TdmMain dm;
    QString err;
    auto db = Database::open(file, &err);
    dm.connectTo(std::move(db));
    Session::current().reset();
    Session::current().logIn(QStringLiteral("Admin"), true);
    TfrmLinkman w;
    w.resize(792, 540);
    w.show();
    w.open();
    QApplication::processEvents();
    // Each round starts from a list just read again, as after "刷新": no
    // column is at hand from the round before.
    auto timed = [&](const char *what, const std::function<void()> &f, const std::function<void()> &reset) {
        std::vector<double> took;
        for (int i = 0; i < kRounds; ++i) {
            reset();
            QApplication::processEvents();
            QElapsedTimer t;
            t.start();
            f();
            QApplication::processEvents();
            w.grid()->view()->viewport()->repaint();
            took.push_back(ms(t));
        }
        std::printf("%-22s %8.1f ms（%d 次的中位数，最慢 %.1f ms）\n", what, median(took), kRounds,
                    *std::max_element(took.begin(), took.end()));
    };
    auto reread = [&] {
        w.grid()->groupBy({});
        w.grid()->sortBy(QString());
        w.dataset()->refresh();
    };
    timed("按姓名排序", [&] { w.grid()->sortBy(QStringLiteral("Name")); }, reread);
    timed("按客户名称分组", [&] { w.grid()->groupBy({QStringLiteral("CustName")}); }, reread);
    reread();
    timed("查询 联系人姓名 含 张", [&] {
        refilter(w.dataset(), Condition::contains(QStringLiteral("Name"), QStringLiteral("张")) && w.ownContacts());
    }, [&] { refilter(w.dataset(), w.ownContacts()); });
    std::printf("查到 %d 行（首页）\n", w.dataset()->rowCount());
    return 0;
}
