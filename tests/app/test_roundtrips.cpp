// Round trips to a PostgreSQL server, counted at the wire: a branch office
// pays one network delay for each, so every step a clerk takes must cost a
// handful, however large the agency. The program runs as it does at
// start-up (data module, login, agenda, main window) against a server
// reached through a proxy that counts each time the client speaks after
// the server has answered.
#include "app/tfrmlogin.h"
#include "app/tfrmmain.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/password.h"
#include "data/session.h"
#include "data/startupconnection.h"
#include "data/userrights.h"
#include "rules/businessrules.h"
#include "schedule/tfrmtoday.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/tempdatabase.h"
#include "ui/moduleframe.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDeadlineTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <cstdio>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A port on loopback that is free now (0 when none could be had), or
// whether something listens on it.
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

bool listening(quint16 port)
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
    close(s);
    return ok;
}

// The goal of each step. Steps listed in kNotYet are still above theirs:
// the test holds them at no more than today's count and says so when one
// reaches its goal, so that it moves to the held list.
struct Goal {
    const char *step;
    int most;
};
const Goal kGoals[] = {
    {"start → login window", 5},
    {"确定 → agenda", 15},
    {"agenda → main window", 5},
    {"客户资料", 8},
    {"联系人资料", 8},
    {"业务资料", 8},
    {"应收账款", 8},
    {"应付账款", 8},
    {"日程安排", 8},
    {"员工档案", 8},
    {"输送单位", 8},
    {"工作人员资料", 8},
    {"系统日志", 8},
    {"storing a customer", 4},
    {"a contract with two money lines", 10},
    {"a search", 3},
    {"moving to a row already read", 0},
    {"moving to a row not yet read", 1},
};

// step -> the count it had when it was listed; filled as steps are mended.
const QHash<QString, int> kNotYet = {
    {"start → login window", 7},
    {"agenda → main window", 12},
    {"客户资料", 17},
    {"业务资料", 10},
    {"storing a customer", 20}, // a stored new row reads the keys once to take its place in the order
    {"a contract with two money lines", 23}, // the same, for the contract and each of its lines
    {"a search", 8},
    {"moving to a row not yet read", 7},
};

// The proxy in front of the test server, counting round trips into a file.
class CountingProxy
{
public:
    explicit CountingProxy(const QUrl &server)
    {
        m_port = freePort();
        m_countFile = m_dir.filePath(QStringLiteral("trips"));
        m_proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_proc.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(BREVIA_LATENCY_PROXY), QString::number(m_port), server.host(),
                      QString::number(server.port(5432)), QStringLiteral("0"), QStringLiteral("--count"), m_countFile});
        m_proc.waitForStarted();
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            if (QFile::exists(m_countFile) && listening(m_port))
                return;
            QTest::qWait(50);
        }
    }
    ~CountingProxy()
    {
        m_proc.kill();
        m_proc.waitForFinished();
    }
    quint16 port() const { return m_port; }
    int trips() const
    {
        QFile f(m_countFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toInt() : -1;
    }

private:
    QTemporaryDir m_dir;
    QString m_countFile;
    QProcess m_proc;
    quint16 m_port = 0;
};

// Lets queued work (timers, deferred fills, the idle check of the
// actions) run out, as between a clerk's clicks.
void settle()
{
    for (int i = 0; i < 3; ++i) {
        QTest::qWait(30);
        QApplication::processEvents();
    }
}

class RoundTripTest : public ::testing::Test
{
protected:
    static constexpr int kCustomers = 1000;

    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("BREVIA_TEST_PG"))
            GTEST_SKIP() << "needs BREVIA_TEST_PG";
        tmp = std::make_unique<TempDatabase>(Engine::PostgreSQL);
        Database &db = tmp->db();
        ASSERT_EQ(db.insertRow("tblUser", {{"UserID", "clerk"}, {"Password", Password::hash("pw")},
                                           {"State", "Yes"}, {"Sys", true}}),
                  "");
        for (const char *right : {"301", "302", "303", "304", "305", "306", "307", "601", "603", "105"})
            ASSERT_EQ(db.insertRow("tblUserRight", {{"UserID", "clerk"}, {"RightID", right}, {"Insert", true},
                                                     {"Modify", true}, {"Delete", true}, {"Query", true},
                                                     {"Print", true}}),
                      "");
        for (const auto &[table, row] : std::initializer_list<std::pair<const char *, FieldValues>>{
                 {"tblVocation", {{"VocationId", "V1"}, {"VocationName", "家庭"}, {"Memo", "-"}}},
                 {"tblCustOrigin", {{"OriginID", "O1"}, {"OriginName", "介绍"}, {"Memo", "-"}}},
                 {"tblCustLevel", {{"LevelID", "L1"}, {"LevelName", "普通"}, {"Memo", "-"}}},
                 {"tblCustState", {{"StateID", "S1"}, {"StateName", "正常"}, {"Memo", "-"}}}})
            ASSERT_EQ(db.insertRow(table, row), "");
        // An agency of some size: a login that reads every customer shows.
        ASSERT_EQ(db.exec(QStringLiteral("INSERT INTO tblCustomers (CustId, CustName, SUser, CreateDate) "
                                         "SELECT 'K' || lpad(g::text, 6, '0'), '客户' || g, 'clerk', DATE '2024-01-01' "
                                         "FROM generate_series(1, %1) g")
                              .arg(kCustomers)),
                  "");
        for (int i = 1; i <= 30; ++i)
            ASSERT_EQ(db.insertRow("tblLinkmans", {{"CustID", QStringLiteral("K%1").arg(i, 6, 10, QLatin1Char('0'))},
                                                    {"LinkmanID", QStringLiteral("L%1").arg(i)},
                                                    {"Name", QStringLiteral("联系人%1").arg(i)}}),
                      "");
        proxy = std::make_unique<CountingProxy>(QUrl(tmp->location()));
        QUrl through(tmp->location());
        through.setPort(proxy->port());
        ASSERT_TRUE(home.write("Server.txt", through.toString().toUtf8() + "\n"));
        Session::current().reset();
        UserRights::current().clear();
    }
    void TearDown() override
    {
        Session::current().reset();
        UserRights::current().clear();
    }

    // Runs one step and keeps its count.
    void step(const QString &name, const std::function<void()> &run)
    {
        const int before = proxy->trips();
        run();
        settle();
        counts.append({name, proxy->trips() - before});
    }

    AppHome home;
    FakePrompts prompts;
    std::unique_ptr<TempDatabase> tmp;
    std::unique_ptr<CountingProxy> proxy;
    QList<QPair<QString, int>> counts;
};

TEST_F(RoundTripTest, EveryStepOfAClerksDayStaysWithinItsRoundTrips)
{
    TfrmMain main;
    TdmMain dm;
    installBusinessRules(dm);
    std::unique_ptr<TfrmLogin> login;

    step("start → login window", [&] {
        QString message;
        std::unique_ptr<Database> db = StartupConnection::open(&message);
        ASSERT_TRUE(db) << message.toStdString();
        ASSERT_EQ(dm.connectTo(std::move(db)), "");
        main.setDataModule(&dm);
        login = std::make_unique<TfrmLogin>(*main.database());
        login->show();
    });
    ASSERT_GE(login->userBox()->findText("clerk"), 0);

    std::unique_ptr<TfrmToday> today;
    step("确定 → agenda", [&] {
        login->userBox()->setEditText("clerk");
        login->passwordBox()->setText("pw");
        login->BtnOkClick();
        ASSERT_EQ(login->result(), QDialog::Accepted) << prompts.last().toStdString();
        login.reset();
        today = std::make_unique<TfrmToday>();
        today->show();
    });

    step("agenda → main window", [&] {
        today->accept();
        today.reset();
        main.show();
        main.createToolsPanel();
    });

    const QPair<const char *, const char *> modules[] = {
        {"Act_Customers", "客户资料"}, {"Act_Linkman", "联系人资料"},   {"Act_Operates", "业务资料"},
        {"Act_Gathering", "应收账款"}, {"Act_Payment", "应付账款"},     {"Act_Plan", "日程安排"},
        {"Act_Yuangong", "员工档案"},  {"Act_Shusong", "输送单位"},     {"Act_Operaters", "工作人员资料"},
    };
    for (const auto &[action, caption] : modules)
        step(caption, [&] { main.action(action)->trigger(); });

    // The log viewer is a modal window: counted until it is up.
    step("系统日志", [&] {
        QTimer::singleShot(0, [&] {
            settle();
            if (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });
        main.action("Act_SysLog")->trigger();
    });

    ModuleFrame *customers = main.module("Act_Customers");
    ASSERT_NE(customers, nullptr);
    main.action("Act_Customers")->trigger();
    settle();
    Dataset *c = customers->dataset();
    step("storing a customer", [&] {
        customers->listNew();
        c->setValue("CustId", "NEW001");
        c->setValue("CustName", "新客户");
        c->setValue("VocationID", "V1");
        c->setValue("OriginID", "O1");
        c->setValue("LevelID", "L1");
        c->setValue("StateId", "S1");
        c->setValue("CreateDate", QDate(2025, 3, 1));
        customers->detailSave();
        EXPECT_EQ(c->state(), Dataset::State::Browse) << prompts.last().toStdString();
        customers->showList();
    });

    step("a contract with two money lines", [&] {
        Dataset *contract = dm.dataset("tblOperates2");
        ASSERT_TRUE(contract->isActive() || contract->open());
        ASSERT_TRUE(contract->append());
        contract->setValue("OperateID", "HT001");
        contract->setValue("OperateTitle", "月嫂服务");
        contract->setValue("CustID", "NEW001");
        contract->setValue("CreateDate", QDate(2025, 3, 1));
        ASSERT_TRUE(contract->post()) << contract->lastError().toStdString();
        Dataset *lines = dm.dataset("tblOperateDetail");
        ASSERT_TRUE(lines->isActive() || lines->open());
        for (int i = 1; i <= 2; ++i) {
            ASSERT_TRUE(lines->append());
            lines->setValue("DetailNo", QString::number(i));
            lines->setValue("OperateDate", QDate(2025, 3, i));
            lines->setValue("DTitle", "服务费");
            lines->setValue("InOut", "收");
            lines->setValue("Price", 1200);
            lines->setValue("Amount", 1);
            ASSERT_TRUE(lines->post()) << lines->lastError().toStdString();
        }
    });

    step("a search", [&] { c->setFilter(Condition::contains("CustName", "客户12")); });
    ASSERT_GT(c->rowCount(), 2);
    c->clearFilter();
    settle();
    ASSERT_GT(c->rowCount(), Dataset::kPageSize + 1);
    c->first();
    step("moving to a row already read", [&] { c->next(); });
    step("moving to a row not yet read", [&] { c->setCurrentRow(c->rowCount() - 1); });

    std::printf("\nround trips at the wire (%d customers)\n", kCustomers);
    for (const auto &[name, n] : counts)
        std::printf("  %-34s %5d\n", name.toUtf8().constData(), n);
    std::fflush(stdout);

    for (const Goal &g : kGoals) {
        SCOPED_TRACE(g.step);
        int n = -1;
        for (const auto &[name, count] : counts)
            if (name == QString::fromUtf8(g.step))
                n = count;
        ASSERT_GE(n, 0) << "step not run";
        if (kNotYet.contains(QString::fromUtf8(g.step))) {
            EXPECT_LE(n, kNotYet.value(QString::fromUtf8(g.step))) << "worse than when it was listed";
            EXPECT_GT(n, g.most) << "within its goal now: take it off the not-yet list";
        } else {
            EXPECT_LE(n, g.most);
        }
    }
}

} // namespace
