// A clerk's day at branch-office distance: the program started as it starts
// (data module, login, daily agenda, main window), every module's first
// screen, a customer stored, a contract with two money lines, a search and
// a move to another row, each timed and its round trips counted.
//
//   bench_network [--customers N]        (20,000 by default)
//
// On PostgreSQL (BREVIA_TEST_PG names a server) the agency is made once by
// the generator in a database of its own and kept; each step runs through
// tests/testlib/latency_proxy.py at a round trip of 0, 10 and 30 ms, and
// the table gives the round trips, the time at each delay and the delayed
// time against the loopback time (the goal: within 1.2x plus 0.1 s).
//
// On SQLite it then times the start and the login at 1,000, 20,000 and
// 100,000 customers and gives the program's memory after the login (files
// made once under /tmp and kept): neither may grow with the agency.
//
// Each run is a process of its own (started by this one with --child), so
// that its memory is its own.
#include "app/tfrmlogin.h"
#include "app/tfrmmain.h"
#include "admin-cli/generator.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/startupconnection.h"
#include "rules/businessrules.h"
#include "schedule/tfrmtoday.h"
#include "ui/moduleframe.h"
#include "ui/prompts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <functional>
#include <map>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Message boxes answered at once: a bench has nobody to click them.
class SilentPrompts : public Prompts
{
public:
    void warn(const QString &text) override { last = text; }
    void inform(const QString &text) override { last = text; }
    bool askYesNo(const QString &, bool, const QString &) override { return true; }
    bool askOkCancel(const QString &, Icon) override { return true; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString last;
};

QString argValue(const QStringList &args, const char *name, const QString &fallback = {})
{
    const int i = args.indexOf(QLatin1String(name));
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : fallback;
}

double rssMegabytes()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

int tripsIn(const QString &countFile)
{
    QFile f(countFile);
    return !countFile.isEmpty() && f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toInt() : 0;
}

// Queued work (timers of 0 ms, deferred fills) runs out, as between clicks.
void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// ---- one run of the steps, in a process of its own ------------------------

int child(const QStringList &args)
{
    const QString location = argValue(args, "--db");
    const QString countFile = argValue(args, "--count");
    const bool loginOnly = args.contains(QStringLiteral("--login-only"));
    QTemporaryDir home;
    qputenv("BREVIA_HOME", home.path().toLocal8Bit());
    {
        QFile f(home.filePath(QStringLiteral("Server.txt")));
        if (!f.open(QIODevice::WriteOnly) || f.write(location.toUtf8() + "\n") < 0)
            return 1;
    }
    SilentPrompts prompts;
    Prompts::install(&prompts);
    const auto step = [&](const char *name, const std::function<void()> &run) {
        const int before = tripsIn(countFile);
        QElapsedTimer t;
        t.start();
        run();
        settle();
        std::printf("STEP\t%s\t%.4f\t%d\n", name, double(t.nsecsElapsed()) / 1e9, tripsIn(countFile) - before);
        std::fflush(stdout);
    };

    TfrmMain main;
    TdmMain dm;
    installBusinessRules(dm);
    std::unique_ptr<TfrmLogin> login;
    bool connected = false;
    step("start → login window", [&] {
        QString message;
        std::unique_ptr<Database> db = StartupConnection::open(&message);
        if (!db || !dm.connectTo(std::move(db)).isEmpty())
            return;
        main.setDataModule(&dm);
        login = std::make_unique<TfrmLogin>(*main.database());
        login->show();
        connected = true;
    });
    if (!connected) {
        std::fprintf(stderr, "cannot connect: %s\n", qPrintable(prompts.last));
        return 1;
    }
    std::unique_ptr<TfrmToday> today;
    step("确定 → agenda", [&] {
        login->userBox()->setEditText(QStringLiteral("Admin"));
        login->passwordBox()->setText(QStringLiteral("583920"));
        login->BtnOkClick();
        login.reset();
        today = std::make_unique<TfrmToday>();
        today->show();
    });
    std::printf("RSS\t%.1f\n", rssMegabytes());
    if (loginOnly)
        return Session::current().userId().isEmpty() ? 1 : 0;

    step("agenda → main window", [&] {
        today->accept();
        today.reset();
        main.show();
        main.createToolsPanel();
    });
    const std::pair<const char *, const char *> modules[] = {
        {"Act_Customers", "客户资料"}, {"Act_Linkman", "联系人资料"},   {"Act_Operates", "业务资料"},
        {"Act_Gathering", "应收账款"}, {"Act_Payment", "应付账款"},     {"Act_Plan", "日程安排"},
        {"Act_Yuangong", "员工档案"},  {"Act_Shusong", "输送单位"},     {"Act_Operaters", "工作人员资料"},
    };
    for (const auto &[action, caption] : modules)
        step(caption, [&] { main.action(QString::fromLatin1(action))->trigger(); });
    step("系统日志", [&] {
        QTimer::singleShot(0, [] {
            settle();
            if (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });
        main.action(QStringLiteral("Act_SysLog"))->trigger();
    });

    ModuleFrame *customers = main.module(QStringLiteral("Act_Customers"));
    if (!customers)
        return 1;
    main.action(QStringLiteral("Act_Customers"))->trigger();
    settle();
    Dataset *c = customers->dataset();
    const QString code = QStringLiteral("BN%1").arg(QCoreApplication::applicationPid());
    step("storing a customer", [&] {
        customers->listNew();
        Dataset *dict[] = {dm.dataset(QStringLiteral("tblVocation")), dm.dataset(QStringLiteral("tblCustOrigin")),
                           dm.dataset(QStringLiteral("tblCustLevel")), dm.dataset(QStringLiteral("tblCustState"))};
        c->setValue(QStringLiteral("CustId"), code);
        c->setValue(QStringLiteral("CustName"), QStringLiteral("新客户") + code);
        c->setValue(QStringLiteral("VocationID"), dict[0]->value(0, QStringLiteral("VocationId")));
        c->setValue(QStringLiteral("OriginID"), dict[1]->value(0, QStringLiteral("OriginID")));
        c->setValue(QStringLiteral("LevelID"), dict[2]->value(0, QStringLiteral("LevelID")));
        c->setValue(QStringLiteral("StateId"), dict[3]->value(0, QStringLiteral("StateID")));
        c->setValue(QStringLiteral("CreateDate"), QDate::currentDate());
        customers->detailSave();
        customers->showList();
    });
    step("a contract with two money lines", [&] {
        Dataset *contract = dm.dataset(QStringLiteral("tblOperates2"));
        if (!(contract->isActive() || contract->open()) || !contract->append())
            return;
        contract->setValue(QStringLiteral("OperateID"), code + QStringLiteral("-H"));
        contract->setValue(QStringLiteral("OperateTitle"), QStringLiteral("月嫂服务"));
        contract->setValue(QStringLiteral("CustID"), code);
        contract->setValue(QStringLiteral("CreateDate"), QDate::currentDate());
        if (!contract->post())
            return;
        Dataset *lines = dm.dataset(QStringLiteral("tblOperateDetail"));
        if (!lines->isActive() && !lines->open())
            return;
        for (int i = 1; i <= 2; ++i) {
            if (!lines->append())
                return;
            lines->setValue(QStringLiteral("DetailNo"), QString::number(i));
            lines->setValue(QStringLiteral("OperateDate"), QDate::currentDate());
            lines->setValue(QStringLiteral("DTitle"), QStringLiteral("服务费"));
            lines->setValue(QStringLiteral("InOut"), QStringLiteral("收"));
            lines->setValue(QStringLiteral("Price"), 1200);
            lines->setValue(QStringLiteral("Amount"), 1);
            lines->post();
        }
    });
    step("a search", [&] { c->setFilter(Condition::contains(QStringLiteral("CustName"), QStringLiteral("12"))); });
    c->clearFilter();
    settle();
    c->first();
    step("moving to a row already read", [&] { c->next(); });
    step("moving to a row not yet read", [&] { c->setCurrentRow(c->rowCount() - 1); });
    return 0;
}

// ---- the tool ---------------------------------------------------------------

quint16 freePort()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    quint16 port = 0;
    if (bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0
        && getsockname(s, reinterpret_cast<sockaddr *>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    close(s);
    return port;
}

struct Run {
    QList<QPair<QString, double>> seconds;
    QHash<QString, int> trips;
    double rss = 0;
    bool ok = false;
};

Run runChild(const QStringList &extra)
{
    Run r;
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--child")} + extra);
    if (!p.waitForFinished(600000))
        return r;
    for (const QByteArray &raw : p.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> f = raw.split('\t');
        if (f.size() == 4 && f[0] == "STEP") {
            r.seconds.append({QString::fromUtf8(f[1]), f[2].toDouble()});
            r.trips.insert(QString::fromUtf8(f[1]), f[3].toInt());
        } else if (f.size() == 2 && f[0] == "RSS") {
            r.rss = f[1].toDouble();
        }
    }
    r.ok = p.exitCode() == 0;
    return r;
}

QString ensureAgency(const QString &location, int customers)
{
    QString error;
    if (Database::isPostgresUri(location)) {
        if (auto db = Database::open(location, &error))
            return {};
    } else if (QFileInfo::exists(location)) {
        return {};
    }
    std::printf("making an agency of %d customers at %s ...\n", customers, qPrintable(location));
    std::fflush(stdout);
    Generator::Options options;
    options.customers = customers;
    return Generator::generate(location, options);
}

int runPostgres(int customers)
{
    const QString base = qEnvironmentVariable("BREVIA_TEST_PG");
    if (base.isEmpty()) {
        std::printf("PostgreSQL: BREVIA_TEST_PG not set, skipped\n");
        return 0;
    }
    QUrl url(base);
    url.setPath(QStringLiteral("/bench_network_%1").arg(customers));
    if (const QString err = ensureAgency(url.toString(), customers); !err.isEmpty()) {
        std::printf("cannot make the agency: %s\n", qPrintable(err));
        return 1;
    }
    const int delays[] = {0, 10, 30};
    std::map<int, Run> runs;
    QTemporaryDir dir;
    for (int delay : delays) {
        const quint16 port = freePort();
        const QString countFile = dir.filePath(QStringLiteral("trips-%1").arg(delay));
        QProcess proxy;
        proxy.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proxy.start(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral(BREVIA_LATENCY_PROXY), QString::number(port), url.host(),
                     QString::number(url.port(5432)), QString::number(delay / 2.0), QStringLiteral("--count"),
                     countFile});
        const QDeadlineTimer deadline(10000);
        while (!QFileInfo::exists(countFile) && !deadline.hasExpired())
            QThread::msleep(50);
        QThread::msleep(200);
        QUrl through = url;
        through.setPort(port);
        runs[delay] = runChild({QStringLiteral("--db"), through.toString(), QStringLiteral("--count"), countFile});
        proxy.kill();
        proxy.waitForFinished();
        if (!runs[delay].ok)
            std::printf("the run at %d ms failed\n", delay);
    }
    std::printf("\nPostgreSQL, %d customers: round trips and seconds per step at a round trip of 0, 10 and 30 ms\n",
                customers);
    std::printf("%-34s %6s %8s %8s %8s %9s %9s\n", "step", "trips", "0 ms", "10 ms", "30 ms", "10/0", "goal met");
    for (const auto &[name, loopback] : std::as_const(runs[0].seconds)) {
        double at10 = 0, at30 = 0;
        for (const auto &[n, s] : std::as_const(runs[10].seconds))
            if (n == name)
                at10 = s;
        for (const auto &[n, s] : std::as_const(runs[30].seconds))
            if (n == name)
                at30 = s;
        const bool met = at10 <= 1.2 * loopback + 0.1;
        std::printf("%-34s %6d %8.3f %8.3f %8.3f %8.2fx %9s\n", qPrintable(name), runs[0].trips.value(name), loopback,
                    at10, at30, loopback > 0 ? at10 / loopback : 0.0, met ? "yes" : "no");
    }
    return 0;
}

int runSqliteLogins()
{
    std::printf("\nSQLite: the start and the login (确定 to the agenda) and the memory after it\n");
    std::printf("%-10s %10s %10s %10s\n", "customers", "start s", "login s", "RSS MB");
    for (int n : {1000, 20000, 100000}) {
        const QString file = QStringLiteral("/tmp/brevia-bench-network-%1.hdb").arg(n);
        if (const QString err = ensureAgency(file, n); !err.isEmpty()) {
            std::printf("cannot make the agency: %s\n", qPrintable(err));
            return 1;
        }
        // The median of three runs.
        std::vector<Run> runs;
        for (int i = 0; i < 3; ++i)
            runs.push_back(runChild({QStringLiteral("--db"), file, QStringLiteral("--login-only")}));
        auto median = [&](const std::function<double(const Run &)> &f) {
            std::vector<double> v;
            for (const Run &r : runs)
                v.push_back(f(r));
            std::sort(v.begin(), v.end());
            return v[1];
        };
        const auto secondsOf = [](const Run &r, int i) { return r.seconds.size() > i ? r.seconds[i].second : 0.0; };
        std::printf("%-10d %10.3f %10.3f %10.1f\n", n, median([&](const Run &r) { return secondsOf(r, 0); }),
                    median([&](const Run &r) { return secondsOf(r, 1); }), median([](const Run &r) { return r.rss; }));
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.contains(QStringLiteral("--child")))
        return child(args);
    const int customers = argValue(args, "--customers", QStringLiteral("20000")).toInt();
    int rc = runPostgres(customers);
    if (!args.contains(QStringLiteral("--no-sqlite")))
        rc |= runSqliteLogins();
    return rc;
}
