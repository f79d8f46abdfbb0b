// The main window: rights enable exactly the functions a user holds, in the
// menu, the tool strip, the navigation and the shortcuts alike; every
// function logs first, then selects its page, then runs; the work area
// shows one thing at a time.
#include "admin/tfrmright.h"
#include "analyses/tfrmclassanalyse.h"
#include "admin/tfrmuser.h"
#include "app/desktop.h"
#include "app/tfrmabout.h"
#include "app/mainactions.h"
#include "app/modulehost.h"
#include "app/tfrmmain.h"
#include "customers/tfrmcustomers.h"
#include "mail/tfrmenvelop.h"
#include "mail/tfrmmail.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/userrights.h"
#include "schedule/tfrmplan.h"
#include "schedule/tfrmplannew.h"
#include "staff/tfrmoperaters.h"
#include "tools/tfrmtools.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"
#include "ui/datagrid.h"
#include "ui/dictionarydialog.h"

#include <gtest/gtest.h>

#include <QTreeView>

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QMenu>
#include <QFileInfo>
#include <QMenuBar>
#include <QSqlQuery>
#include <QTest>
#include <QTableView>
#include <QTimer>
#include <QToolBox>
#include <QToolButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QScrollBar>

#include <functional>
#include <optional>

// Takes the links the program hands to the desktop instead of a browser,
// a mail program or a file viewer.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher()
    {
        for (const char *scheme : {"http", "https", "mailto", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~UrlCatcher() override
    {
        for (const char *scheme : {"http", "https", "mailto", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};

namespace {

// Closes every modal window as soon as it is up, after a look at it: the
// class names of those seen, in order.
struct ModalCatcher {
    QStringList seen;
    std::function<void(QWidget *)> inspect;
    QTimer timer;
    ModalCatcher()
    {
        timer.setInterval(0);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                seen << w->metaObject()->className();
                if (inspect)
                    inspect(w);
                w->close();
            }
        });
        timer.start();
    }
};

// A workstation with one user logged in and the main window built.
class MainWindowTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        tmp = std::make_unique<TempDatabase>(GetParam());
        ASSERT_EQ(dm.connectTo(tmp->openAnother()), "");
        main = std::make_unique<TfrmMain>();
        main->setDataModule(&dm);
    }
    void TearDown() override
    {
        main.reset();
        UserRights::current().clear();
        Session::current().reset();
    }

    Database &db() { return tmp->db(); }

    void addUser(const QString &user, bool sys, const QStringList &rights)
    {
        ASSERT_EQ(db().insertRow("tblUser", {{"UserID", user}, {"Sys", sys}}), "");
        grant(user, rights);
    }
    void grant(const QString &user, const QStringList &rights)
    {
        for (const QString &r : rights)
            ASSERT_EQ(db().insertRow("tblUserRight", {{"UserID", user}, {"RightID", r}}), "");
    }
    void logIn(const QString &user, bool sys, const QStringList &rights)
    {
        addUser(user, sys, rights);
        Session::current().logIn(user, sys);
        main->reloadRights();
    }

    QStringList log() { return Stored::logLines(db()); }

    QAction *act(const QString &id) { return main->action(id); }
    QToolButton *button(const QString &name) { return main->findChild<QToolButton *>(name); }
    int page() { return main->navigation()->currentIndex(); }

    // Lets the event loop run out of work once, as between user events.
    static void idle()
    {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }

    AppHome home;
    std::unique_ptr<TempDatabase> tmp;
    TdmMain dm;
    FakePrompts prompts;
    std::unique_ptr<TfrmMain> main;
};

TEST_P(MainWindowTest, EveryPlaceOfAFunctionFollowsTheUsersRights)
{
    struct Case {
        const char *name;
        bool sys;
        QStringList rights;
        QStringList enabled;  // actions with a right code that are enabled
    };
    const QVector<Case> cases = {
        {"no rights at all", false, {}, {}},
        {"contacts but not customers", false, {"302"}, {"Act_Linkman"}},
        {"only the customer-source analysis", false, {"405"}, {"Act_CustOriginAnalyse"}},
        {"a right no function uses", false, {"404"}, {}},
        {"a system user is bound by rights as well", true, {"101", "305"}, {"Act_Password", "Act_Plan"}},
        {"hidden items follow their right", false, {"502", "401"}, {"Act_Mail", "Act_DistAnalyse"}},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString user = QString("u%1").arg(n++);
        addUser(user, c.sys, c.rights);
        Session::current().reset();
        Session::current().logIn(user, c.sys);
        main->reloadRights();
        for (const MainAction &def : mainActions()) {
            SCOPED_TRACE(def.id.toStdString());
            const bool expected = def.right.isEmpty() || c.enabled.contains(def.id);
            EXPECT_EQ(act(def.id)->isEnabled(), expected);
            for (const char *prefix : {"Tool_", "Nav_"})
                if (QToolButton *b = button(prefix + def.id)) {
                    EXPECT_EQ(b->isEnabled(), expected) << prefix;
                }
        }
    }
}

TEST_P(MainWindowTest, TheAnalysisMenuOffersOnlyWhatIsHeld)
{
    logIn("clerk", false, {"405"});
    QMenu *analysis = nullptr;
    for (QAction *m : main->menuBar()->actions())
        if (m->text() == "图表分析(&G)")
            analysis = m->menu();
    ASSERT_TRUE(analysis);
    QStringList enabled;
    for (QAction *a : analysis->actions())
        if (a->isEnabled())
            enabled << a->text();
    EXPECT_EQ(enabled, QStringList{"客户来源分析"});
    // The hidden items are not in the menu at all.
    for (QAction *a : analysis->actions())
        EXPECT_NE(a->objectName(), "Act_CustTypeAnalyse");
}

TEST_P(MainWindowTest, ShortcutsRunOnlyWhileTheRightIsHeld)
{
    logIn("clerk", false, {"302", "502"});
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    main->navigation()->setCurrentIndex(int(NavPage::Analysis));

    QTest::keyClick(main.get(), Qt::Key_F2); // customers: not held
    EXPECT_EQ(log(), QStringList{});
    EXPECT_EQ(page(), int(NavPage::Analysis));

    QTest::keyClick(main.get(), Qt::Key_F3); // contacts
    QTest::keyClick(main.get(), Qt::Key_F8); // the hidden mass e-mail item
    EXPECT_EQ(log(), (QStringList{"客户业务管理-联系人资料", "工具-邮件群发"}));
    EXPECT_EQ(page(), int(NavPage::Business));

    // The rights change on another workstation; the next reload counts.
    grant("clerk", {"301"});
    main->reloadRights();
    QTest::keyClick(main.get(), Qt::Key_F2);
    EXPECT_EQ(log().last(), "客户业务管理-客户资料");
}

TEST_P(MainWindowTest, ActionsAreCheckedAgainWhenTheProgramIsIdle)
{
    logIn("clerk", false, {});
    EXPECT_FALSE(act("Act_Customers")->isEnabled());
    grant("clerk", {"301"});
    ASSERT_EQ(UserRights::current().load(db(), "clerk"), "");
    idle();
    EXPECT_TRUE(act("Act_Customers")->isEnabled());
    EXPECT_TRUE(button("Nav_Act_Customers")->isEnabled());
}

TEST_P(MainWindowTest, SystemUserFunctionsRefuseOthersAfterTheirLogLine)
{
    struct Case {
        const char *name;
        bool sys;
        QString action;
        QString logLine;
        bool refused;
        int sysNow = -1; // the flag the user table holds by the time the action runs
    };
    const QVector<Case> cases = {
        {"user management, ordinary user", false, "Act_User", "系统设置-用户管理", true},
        {"system flag cleared after the login", true, "Act_User", "系统设置-用户管理", true, 0},
        {"system log, flag cleared after the login", true, "Act_SysLog", "系统设置-系统日志", true, 0},
        {"system flag given after the login", false, "Act_User", "系统设置-用户管理", false, 1},
        {"user management, system user", true, "Act_User", "系统设置-用户管理", false},
        {"work assignment, ordinary user", false, "Act_Assign", "客户业务管理-客户业务工作分配", true},
        {"staff tracking, ordinary user", false, "Act_OperaterTrack", "客户业务管理-工作人员员跟踪管理", true},
        {"work assignment, system user", true, "Act_Assign", "客户业务管理-客户业务工作分配", false},
        {"staff tracking, system user", true, "Act_OperaterTrack", "客户业务管理-工作人员员跟踪管理", false},
        {"password change is for everyone", false, "Act_Password", "系统设置-口令设置", false},
        {"agency details are for everyone", false, "Act_UserInfo", "系统设置-用户信息", false},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QSqlQuery(db().sql()).exec("DELETE FROM tblLog");
        prompts.clear();
        main->navigation()->setCurrentIndex(int(NavPage::Analysis));
        ModalCatcher modal;
        const QString user = QString("u%1").arg(n++);
        Session::current().reset();
        logIn(user, c.sys, {"101", "102", "105", "106"});
        if (c.sysNow >= 0) {
            QSqlQuery q(db().sql());
            ASSERT_TRUE(q.prepare("UPDATE tblUser SET Sys = ? WHERE UserID = ?"));
            q.addBindValue(c.sysNow == 1);
            q.addBindValue(user);
            ASSERT_TRUE(q.exec());
        }

        act(c.action)->trigger();
        EXPECT_EQ(log(), QStringList{c.logLine});
        EXPECT_EQ(prompts.texts(), c.refused ? QStringList{kSysOnlyRefusal} : QStringList{});
        EXPECT_EQ(modal.seen.size(), c.refused ? 0 : 1);
        if (mainAction(c.action)->page == NavPage::System) {
            EXPECT_EQ(page(), int(NavPage::System));
        }
    }
}

TEST_P(MainWindowTest, LogLineFirstThenPageThenTheWindow)
{
    logIn("Boss", true, {"101", "105"});
    main->navigation()->setCurrentIndex(int(NavPage::Analysis));
    QStringList logSeen;
    int pageSeen = -1;
    ModalCatcher modal;
    modal.inspect = [&](QWidget *w) {
        EXPECT_EQ(w->parentWidget(), main.get());
        logSeen = log();
        pageSeen = page();
    };
    button("Tool_Act_Password")->click();
    EXPECT_EQ(modal.seen, QStringList{"TfrmPassword"});
    EXPECT_EQ(logSeen, QStringList{"系统设置-口令设置"});
    EXPECT_EQ(pageSeen, int(NavPage::System));

    main->navigation()->setCurrentIndex(int(NavPage::Analysis));
    button("Nav_Act_SysLog")->click();
    EXPECT_EQ(modal.seen.last(), "TfrmSysLog");
    EXPECT_EQ(logSeen.last(), "系统设置-系统日志");
    EXPECT_EQ(pageSeen, int(NavPage::System));
}

TEST_P(MainWindowTest, AFunctionWhoseLogLineFailsDoesNothingElse)
{
    logIn("Boss", true, {"101"});
    main->navigation()->setCurrentIndex(int(NavPage::Analysis));
    ModalCatcher modal;
    ASSERT_EQ(db().exec("DROP TABLE tblLog"), "");
    act("Act_Password")->trigger();
    act("Act_Navigation")->trigger();
    EXPECT_EQ(modal.seen, QStringList{});
    EXPECT_EQ(page(), int(NavPage::Analysis));
    EXPECT_TRUE(act("Act_Navigation")->isChecked()); // the toggle did not toggle
    EXPECT_EQ(prompts.shown.size(), 2);
}

TEST_P(MainWindowTest, TheRightsAreReadAgainAfterUserManagementAndAServerChange)
{
    logIn("Boss", true, {"102"});
    // The rights window, reached through user management, gives 301.
    {
        ModalCatcher modal;
        modal.inspect = [&](QWidget *) { grant("Boss", {"301"}); };
        EXPECT_FALSE(act("Act_Customers")->isEnabled());
        act("Act_User")->trigger();
        EXPECT_EQ(modal.seen, QStringList{"TfrmUser"});
    }
    EXPECT_TRUE(act("Act_Customers")->isEnabled());

    // Another database where Boss holds only 305.
    TempDatabase other(GetParam());
    ASSERT_EQ(other.db().insertRow("tblUser", {{"UserID", "Boss"}, {"Sys", true}}), "");
    ASSERT_EQ(other.db().insertRow("tblUserRight", {{"UserID", "Boss"}, {"RightID", "305"}}), "");
    ASSERT_EQ(other.db().insertRow("tblPlan", {{"AttendMan", "新库的日程"}}), "");
    ASSERT_EQ(main->switchDatabase(other.openAnother()), "");
    EXPECT_FALSE(act("Act_Customers")->isEnabled());
    EXPECT_TRUE(act("Act_Plan")->isEnabled());
    // The schedule shows the new database at once.
    Dataset *plan = TdmMain::instance()->dataset("qryPlan");
    ASSERT_TRUE(plan->isActive());
    ASSERT_EQ(plan->rowCount(), 1);
    EXPECT_EQ(plan->value(0, "AttendMan").toString(), "新库的日程");
}

TEST_P(MainWindowTest, AServerChangeThatFailsBothWaysSaysSoAndOffersTheSettingsAgain)
{
    if (GetParam() != Engine::SQLite)
        GTEST_SKIP() << "a file that disappears under the program";
    logIn("Boss", true, {"107"});
    // The new database lacks a table the program needs; the old file is
    // gone by the time the program tries to go back to it.
    TempDatabase bad(Engine::SQLite);
    ASSERT_TRUE(QSqlQuery(bad.db().sql()).exec("DROP TABLE tblBoard"));
    ASSERT_TRUE(QFile::remove(tmp->location()));
    const QString error = main->switchDatabase(bad.openAnother());
    EXPECT_TRUE(error.contains("程序现在没有连接任何数据库，请重新进行服务器设置！")) << error.toStdString();
    EXPECT_EQ(main->database(), nullptr);

    // The way out stays open without a database: the settings come up,
    // and when they are left without a database the choice is offered
    // again; "否" ends the program.
    prompts.clear();
    prompts.answers = {true, false};
    ModalCatcher modal;
    act("Act_Server")->trigger();
    EXPECT_EQ(modal.seen, (QStringList{"TfrmServer", "TfrmServer"}));
    EXPECT_EQ(prompts.texts(), (QStringList{"程序现在没有连接任何数据库，是否重新进行服务器设置？\n（选择“否”将退出程序）",
                                            "程序现在没有连接任何数据库，是否重新进行服务器设置？\n（选择“否”将退出程序）"}));
}

// Typing is never thrown away at exit or at a server change: the row in
// hand is stored as moving away would store it; a refusal keeps the
// program (and the old database) with the row still in hand.
TEST_P(MainWindowTest, ARowInHandIsStoredAtExitAndAtAServerChangeOrStopsThem)
{
    logIn("Boss", true, {"107"});
    main->show();
    Dataset *customers = dm.dataset("tblCustomers");
    Dataset *history = dm.dataset("tblCustomerState");
    ASSERT_TRUE(customers->open());
    TempDatabase other(GetParam());
    enum class Way { Exit, ServerChange };
    for (const Way way : {Way::Exit, Way::ServerChange}) {
        SCOPED_TRACE(way == Way::Exit ? "exit" : "server change");
        const QString code = way == Way::Exit ? "E1" : "S1";
        // Refused first: a contact time only half typed.
        ASSERT_TRUE(customers->append());
        customers->setValue("CustId", code);
        customers->setValue("CustName", "半途的客户");
        ASSERT_TRUE(customers->post()) << customers->lastError().toStdString();
        ASSERT_TRUE(history->isActive() || history->open());
        ASSERT_TRUE(history->append());
        history->setValue("LinkTime", "1::");
        prompts.clear();
        prompts.answers = {true};
        if (way == Way::Exit) {
            EXPECT_FALSE(main->close());
            EXPECT_TRUE(main->isVisible());
        } else {
            EXPECT_EQ(main->switchDatabase(other.openAnother()), "请输入正确的联系时间！");
            EXPECT_EQ(main->database()->location(), tmp->location());
        }
        if (way == Way::Exit) {
            EXPECT_EQ(prompts.last(), "请输入正确的联系时间！");
        }
        EXPECT_EQ(history->state(), Dataset::State::Insert);
        EXPECT_EQ(history->value("LinkTime").toString(), "1::");
        // Mended: stored, and the program goes on to end or to switch.
        history->setValue("LinkTime", "10:00:00");
        ASSERT_TRUE(customers->edit()); // the master in hand as well
        customers->setValue("CustName", "改过的名字");
        prompts.answers = {true};
        if (way == Way::Exit) {
            EXPECT_TRUE(main->close());
        } else {
            EXPECT_EQ(main->switchDatabase(other.openAnother()), "");
        }
        QSqlQuery q(db().sql());
        ASSERT_TRUE(q.prepare("SELECT COUNT(*) FROM tblCustomers c JOIN tblCustomerState s ON s.CustID = c.CustId "
                              "WHERE c.CustId = ? AND c.CustName = '改过的名字' AND s.LinkTime = '10:00:00'"));
        q.addBindValue(code);
        ASSERT_TRUE(q.exec() && q.next());
        EXPECT_EQ(q.value(0).toInt(), 1);
        if (way == Way::ServerChange)
            break;
        main->show();
    }
}

TEST_P(MainWindowTest, RightsGivenInTheRightsWindowCountOnceUserManagementCloses)
{
    // Boss's own row loses its system flag while user management is open
    // (another administrator), so the rights window stores rows for him as
    // for anyone else.
    addUser("Boss", true, {"102"});
    Session::current().logIn("Boss", true);
    main->reloadRights();
    ASSERT_FALSE(act("Act_CustLevel")->isEnabled());

    {
        ModalCatcher users;
        QStringList rightsSeen;
        users.inspect = [&](QWidget *w) {
            auto *dlg = qobject_cast<TfrmUser *>(w);
            ASSERT_NE(dlg, nullptr);
            QSqlQuery q(db().sql());
            ASSERT_TRUE(q.prepare("UPDATE tblUser SET Sys = ? WHERE UserID = 'Boss'"));
            q.addBindValue(false);
            ASSERT_TRUE(q.exec());
            QTreeView *view = dlg->grid()->view();
            const QAbstractItemModel *m = view->model();
            for (int r = 0; r < m->rowCount(); ++r)
                if (m->index(r, 0).data().toString() == "Boss")
                    view->setCurrentIndex(m->index(r, 0));
            ModalCatcher rights; // the rights window opens over user management
            rights.inspect = [](QWidget *r) {
                auto *right = qobject_cast<TfrmRight *>(r);
                ASSERT_NE(right, nullptr);
                right->rightBox("210")->setChecked(true);
                right->operationBox("210", TfrmRight::Insert)->setChecked(true);
                right->operationBox("210", TfrmRight::Delete)->setChecked(false);
                right->BtnSaveClick();
            };
            dlg->BtnRightClick();
            rightsSeen = rights.seen;
        };
        act("Act_User")->trigger();
        EXPECT_EQ(users.seen, QStringList{"TfrmUser"});
        EXPECT_EQ(rightsSeen, QStringList{"TfrmRight"});
        EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    }
    EXPECT_TRUE(act("Act_CustLevel")->isEnabled());

    // The dictionary window goes by the same rights in memory.
    ModalCatcher dictionary;
    std::optional<bool> canAdd, canDelete;
    dictionary.inspect = [&](QWidget *w) {
        if (auto *d = qobject_cast<DictionaryDialog *>(w)) {
            canAdd = d->addAction()->isEnabled();
            canDelete = d->deleteAction()->isEnabled();
        }
    };
    act("Act_CustLevel")->trigger();
    EXPECT_EQ(dictionary.seen, QStringList{"DictionaryDialog"});
    EXPECT_EQ(canAdd, true);
    EXPECT_EQ(canDelete, false);
}

TEST_P(MainWindowTest, TheWorkAreaShowsTheScheduleOrOneModule)
{
    logIn("clerk", false, {"305"});
    ModuleHost *host = main->workArea();
    QWidget tools; // stands where the tools panel will be
    main->setToolsPanel(&tools);
    auto *customers = new QWidget;
    auto *contacts = new QWidget;
    main->show();

    host->switchToModule(customers);
    EXPECT_EQ(customers->parentWidget(), host);
    EXPECT_EQ(customers->pos(), QPoint(0, 0));
    EXPECT_FALSE(host->scheduleArea()->isVisible());
    EXPECT_EQ(host->currentPanel(), customers);

    host->switchToModule(contacts);
    EXPECT_FALSE(customers->isVisible());
    EXPECT_TRUE(contacts->isVisible());

    host->hidePanel(contacts);
    EXPECT_EQ(host->currentPanel(), nullptr);
    host->showPanel(contacts);
    EXPECT_TRUE(contacts->isVisible());

    // A module hid the tools panel; the schedule brings it back, ticked.
    main->setToolsPanelVisible(false);
    act("Act_Tools")->setChecked(false);
    button("Nav_Act_Plan")->click();
    EXPECT_TRUE(host->scheduleArea()->isVisible());
    EXPECT_FALSE(contacts->isVisible());
    EXPECT_FALSE(customers->isVisible());
    EXPECT_TRUE(tools.isVisible());
    EXPECT_TRUE(act("Act_Tools")->isChecked());
    EXPECT_EQ(log(), QStringList{"客户业务管理-日程安排"});
}

TEST_P(MainWindowTest, MassMailHasTheWorkAreaAndItsCloseGivesTheNavigationBack)
{
    logIn("clerk", false, {"502"});
    main->show();
    main->navigation()->setCurrentIndex(int(NavPage::System));
    act("Act_Mail")->trigger();
    auto *mail = qobject_cast<TfrmMail *>(main->panel("Act_Mail"));
    ASSERT_NE(mail, nullptr);
    EXPECT_EQ(main->workArea()->currentPanel(), mail);
    EXPECT_FALSE(main->navigation()->isVisible());
    EXPECT_FALSE(act("Act_Navigation")->isChecked());
    // It fills the work area, and its lists are seen at a usable size.
    EXPECT_EQ(mail->size(), main->workArea()->size());
    for (QWidget *w : {static_cast<QWidget *>(mail->grid()), static_cast<QWidget *>(mail->pending())}) {
        EXPECT_TRUE(w->isVisible());
        EXPECT_GE(w->width(), 200);
        EXPECT_GE(w->height(), 100);
    }
    mail->BtnCloseClick();
    EXPECT_TRUE(main->navigation()->isVisible());
    EXPECT_TRUE(act("Act_Navigation")->isChecked());
    EXPECT_EQ(page(), int(NavPage::Business));
    EXPECT_EQ(main->workArea()->currentPanel(), nullptr);
    act("Act_Mail")->trigger();
    EXPECT_EQ(main->panel("Act_Mail"), mail) << "made once";
    EXPECT_EQ(log(), QStringList({"工具-邮件群发", "工具-邮件群发"}));
}

TEST_P(MainWindowTest, EnvelopeLabelsOpenFromTheMenuAndTheToolsPanel)
{
    logIn("clerk", false, {"503"});
    main->createToolsPanel();
    ModalCatcher modal;
    bool maximised = false;
    modal.inspect = [&](QWidget *w) { maximised = w->windowState() & Qt::WindowMaximized; };
    act("Act_Envelop")->trigger();
    EXPECT_TRUE(maximised);
    main->toolsPanel()->runEnvelopeLabels();
    EXPECT_EQ(modal.seen, QStringList({"TfrmEnvelop", "TfrmEnvelop"}));
    EXPECT_EQ(log(), QStringList({"工具-信封标签", "工具-信封标签"}));
}

TEST_P(MainWindowTest, ModuleWindowsAreMadeOnceAndOpenRecordsOnTheirOwnPage)
{
    ASSERT_EQ(db().insertRow("tblOperaters", {{"OperaterID", "S1"}, {"Name", "王芳"}}), "");
    ASSERT_EQ(db().insertRow("tblCustomers", {{"CustId", "C1"}, {"CustName", "甲"}, {"SUser", "Boss"}}), "");
    logIn("Boss", true, {"301", "303"});
    QWidget tools;
    main->setToolsPanel(&tools);
    main->show();

    struct Case {
        const char *action;
        const char *className;
        NavPage page;
    };
    const Case cases[] = {
        {"Act_Operaters", "TfrmOperaters", NavPage::Internal},
        {"Act_Customers", "TfrmCustomers", NavPage::Business},
    };
    QHash<QString, ModuleFrame *> made;
    for (int round = 0; round < 2; ++round) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.action) + (round ? ", again" : ", first"));
            main->setToolsPanelVisible(true);
            act("Act_Tools")->setChecked(true);
            act(c.action)->trigger();
            ModuleFrame *w = main->module(c.action);
            ASSERT_NE(w, nullptr);
            EXPECT_EQ(w->metaObject()->className(), QString(c.className));
            EXPECT_EQ(w->parentWidget(), main->workArea());
            EXPECT_EQ(main->workArea()->currentPanel(), w);
            EXPECT_FALSE(tools.isVisible());
            EXPECT_FALSE(act("Act_Tools")->isChecked());
            if (round == 0)
                made.insert(c.action, w);
            else
                EXPECT_EQ(w, made.value(c.action));

            // Opening a record hides the navigation on the action's own page.
            main->setNavigationVisible(true);
            main->navigation()->setCurrentIndex(int(NavPage::Analysis));
            ASSERT_FALSE(w->dataset()->isEmpty());
            w->listModify();
            EXPECT_TRUE(w->showingDetail());
            EXPECT_EQ(page(), int(c.page));
            EXPECT_FALSE(main->navigation()->isVisible());
            w->detailCancel();
        }
    }
    EXPECT_EQ(main->workArea()->findChildren<TfrmOperaters *>().size(), 1);
    EXPECT_EQ(main->workArea()->findChildren<TfrmCustomers *>().size(), 1);
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
}

// New and changed plans go to the editor window's panel; its 关闭 shows the
// list window's; the schedule action shows the main window's own pages.
TEST_P(MainWindowTest, ThePlanEditorAndListWindowsTakeTheWorkAreaInTurn)
{
    logIn("Boss", true, {"305"});
    main->show();
    act("Act_Plan")->trigger();
    TfrmPlan *pages = main->schedule();
    ASSERT_TRUE(pages && main->scheduleList() && main->scheduleEditor());
    EXPECT_EQ(main->workArea()->currentPanel(), nullptr);
    EXPECT_TRUE(pages->isVisible());
    pages->listNew();
    EXPECT_EQ(main->workArea()->currentPanel(), main->scheduleEditor());
    EXPECT_FALSE(pages->isVisible());
    // The schedule leaves the navigation as the clerk set it, either way.
    EXPECT_TRUE(main->navigation()->isVisible());
    EXPECT_TRUE(act("Act_Navigation")->isChecked());
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), main->scheduleEditor()->form()->widget("PlanDate"));
    prompts.answers = {false};
    main->scheduleEditor()->closeCommand()->trigger();
    EXPECT_EQ(main->workArea()->currentPanel(), main->scheduleList());
    EXPECT_EQ(page(), int(NavPage::Business));
    main->setNavigationVisible(false);
    main->scheduleList()->listNew();
    EXPECT_EQ(main->workArea()->currentPanel(), main->scheduleEditor());
    main->scheduleEditor()->detailCancel();
    EXPECT_FALSE(main->navigation()->isVisible());
    main->setNavigationVisible(true);
    act("Act_Plan")->trigger();
    EXPECT_EQ(main->workArea()->currentPanel(), nullptr);
    EXPECT_TRUE(pages->isVisible());
}

// The window opens at the old screens' size and grows to the screen's; the
// module shown and its grid grow with it, and each user finds the window
// where he left it.
TEST_P(MainWindowTest, TheWindowGrowsWithItsWorkAndKeepsEachUsersPlace)
{
    logIn("Boss", true, {"301"});
    const QSize first(792, 554 + main->menuBar()->sizeHint().height());
    main->showAtUsersPlace();
    EXPECT_EQ(main->size(), first);
    EXPECT_LT(main->minimumWidth(), first.width());
    EXPECT_GT(main->maximumWidth(), 4000);
    act("Act_Customers")->trigger();
    ModuleFrame *w = main->module("Act_Customers");
    ASSERT_NE(w, nullptr);
    QWidget *grid = w->grid();
    ASSERT_NE(grid, nullptr);
    const int narrow = grid->width();
    main->resize(1600, 1000);
    QApplication::processEvents();
    EXPECT_EQ(w->size(), main->workArea()->size());
    EXPECT_GT(main->workArea()->width(), 1300);
    EXPECT_GT(grid->width(), narrow + 700);
    EXPECT_TRUE(button("Tool_Act_Customers")->isVisible());
    EXPECT_EQ(button("Tool_Act_Customers")->size(), QSize(41, 41)) << "the tool strip keeps its buttons";
    main->move(30, 40);
    prompts.answers = {true}; // "退出系统？"
    main->close();
    ASSERT_FALSE(main->isVisible());

    // Another user on this workstation: the first size; Boss again: his.
    for (const auto &[user, size] : {std::pair{QString("clerk"), first}, std::pair{QString("Boss"), QSize(1600, 1000)}}) {
        SCOPED_TRACE(user.toStdString());
        Session::current().logIn(user, false);
        TfrmMain again;
        again.showAtUsersPlace();
        EXPECT_EQ(again.size(), size);
        again.hide();
    }
    EXPECT_TRUE(QFileInfo::exists(home.path("Window.ini")));
}

// A detail page wider than the work area hides the fields or the photo at
// its right edge behind a scroll bar nobody thinks of moving.
TEST_P(MainWindowTest, EveryDetailPageFitsTheWorkAreaBesideTheNavigation)
{
    logIn("Boss", true, {"301", "302", "303", "304", "601", "603"});
    main->show();
    for (const char *action : {"Act_Customers", "Act_Linkman", "Act_Operates", "Act_Operaters", "Act_Yuangong",
                               "Act_Shusong"}) {
        SCOPED_TRACE(action);
        act(action)->trigger();
        ModuleFrame *w = main->module(action);
        ASSERT_NE(w, nullptr);
        main->setNavigationVisible(true);
        w->pages()->setCurrentIndex(1);
        QApplication::processEvents();
        auto *scroll = w->pages()->widget(1)->findChild<QScrollArea *>();
        ASSERT_NE(scroll, nullptr);
        EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0)
            << "page " << scroll->width() << " px, form " << scroll->widget()->minimumSizeHint().width() << " px";
    }
}

// A page of fields under a detail page shows every field at its full
// height, or the detail page scrolls to it; squeezed into the room left
// below the fields it lost its last lines.
TEST_P(MainWindowTest, EverySubPageShowsAllItsFieldsOrTheDetailPageScrolls)
{
    logIn("Boss", true, {"301", "302", "303", "304", "305", "601", "603"});
    main->show();
    QVector<ModuleFrame *> frames;
    for (const char *action : {"Act_Customers", "Act_Linkman", "Act_Operates", "Act_Operaters", "Act_Yuangong",
                               "Act_Shusong"}) {
        act(action)->trigger();
        frames << main->module(action);
    }
    act("Act_Plan")->trigger();
    frames << main->schedule() << main->scheduleEditor();
    int pagesSeen = 0;
    for (ModuleFrame *w : std::as_const(frames)) {
        ASSERT_NE(w, nullptr);
        SCOPED_TRACE(w->objectName().toStdString());
        if (w == main->schedule())
            act("Act_Plan")->trigger(); // the main window's own pages
        else
            main->workArea()->switchToModule(w);
        w->pages()->setCurrentIndex(1);
        ASSERT_TRUE(w->isVisible());
        auto *scroll = w->pages()->widget(1)->findChild<QScrollArea *>();
        ASSERT_NE(scroll, nullptr);
        QTabWidget *tabs = w->subPages();
        for (int i = 0; i < tabs->count(); ++i) {
            SCOPED_TRACE(tabs->tabText(i).toStdString());
            tabs->setCurrentIndex(i);
            idle(); // the detail page laid out again for this page
            QWidget *page = tabs->currentWidget();
            ++pagesSeen;
            EXPECT_GE(page->height(), page->minimumSizeHint().height());
            for (QWidget *field : page->findChildren<QWidget *>()) {
                if (!field->isVisibleTo(page) || !(qobject_cast<QLineEdit *>(field) || qobject_cast<QPushButton *>(field)))
                    continue;
                const QRect r(field->mapTo(page, QPoint(0, 0)), field->size());
                EXPECT_TRUE(page->rect().contains(r)) << field->accessibleName().toStdString();
                EXPECT_GE(field->height(), field->minimumSizeHint().height()) << field->accessibleName().toStdString();
                // Brought into view, it is wholly inside the window.
                const QPoint centre = field->mapTo(scroll->widget(), field->rect().center());
                scroll->ensureVisible(centre.x(), centre.y(), field->width() / 2 + 1, field->height() / 2 + 1);
                QApplication::processEvents();
                const QRect seen(field->mapTo(scroll->viewport(), QPoint(0, 0)), field->size());
                EXPECT_TRUE(scroll->viewport()->rect().contains(seen))
                    << field->accessibleName().toStdString() << " at " << seen.y() << ".." << seen.bottom() << " of "
                    << scroll->viewport()->height() << ", scroll " << scroll->verticalScrollBar()->value() << "/"
                    << scroll->verticalScrollBar()->maximum();
            }
        }
    }
    EXPECT_GE(pagesSeen, 10);
}

TEST_P(MainWindowTest, AnAnalysisOpensOnItsPageAndItsMenuMovesTheNavigation)
{
    logIn("Boss", true, {"406"});
    QWidget tools;
    main->setToolsPanel(&tools);
    main->show();
    main->navigation()->setCurrentIndex(int(NavPage::System));
    act("Act_CustStateAnalyse")->trigger();
    auto *w = qobject_cast<TfrmCustStateAnalyse *>(main->panel("Act_CustStateAnalyse"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(main->workArea()->currentPanel(), w);
    EXPECT_EQ(page(), int(NavPage::Analysis));
    EXPECT_FALSE(tools.isVisible());
    EXPECT_EQ(log().last(), "图表分析-客户状态分析");

    // The navigation is shown: only "隐藏导航条" is offered, and it hides it.
    QAction *show = w->menuAction("ShowNavigation"), *hide = w->menuAction("HideNavigation");
    EXPECT_FALSE(show->isEnabled());
    EXPECT_TRUE(hide->isEnabled());
    hide->trigger();
    EXPECT_FALSE(main->navigation()->isVisible());
    EXPECT_FALSE(act("Act_Navigation")->isChecked());
    EXPECT_TRUE(show->isEnabled());
    EXPECT_FALSE(hide->isEnabled());
    // The main window's own item is heard too.
    act("Act_Navigation")->trigger();
    EXPECT_TRUE(main->navigation()->isVisible());
    EXPECT_FALSE(show->isEnabled());

    // "关闭" gives the work area back on the analyses' page.
    main->navigation()->setCurrentIndex(int(NavPage::System));
    w->BtnCloseClick();
    EXPECT_EQ(main->workArea()->currentPanel(), nullptr);
    EXPECT_EQ(page(), int(NavPage::Analysis));
}

TEST_P(MainWindowTest, NavigationAndToolsToggles)
{
    logIn("clerk", false, {});
    QWidget tools;
    main->setToolsPanel(&tools);
    main->show();
    QWidget *nav = main->navigation();

    button("Tool_Act_Navigation")->click();
    EXPECT_FALSE(nav->isVisible());
    EXPECT_FALSE(act("Act_Navigation")->isChecked());
    act("Act_Navigation")->trigger();
    EXPECT_TRUE(nav->isVisible());
    EXPECT_TRUE(act("Act_Navigation")->isChecked());

    act("Act_Tools")->trigger();
    EXPECT_FALSE(tools.isVisible());
    EXPECT_FALSE(act("Act_Tools")->isChecked());
    button("Tool_Act_ToolsButton")->click();
    EXPECT_TRUE(tools.isVisible());
    EXPECT_TRUE(act("Act_Tools")->isChecked());

    // A module hid the panel and left the item ticked: the button shows the
    // panel and the tick keeps saying what is seen.
    main->setToolsPanelVisible(false);
    button("Tool_Act_ToolsButton")->click();
    EXPECT_TRUE(tools.isVisible());
    EXPECT_TRUE(act("Act_Tools")->isChecked());

    EXPECT_EQ(log(), (QStringList{"窗口-系统导航", "窗口-系统导航", "窗口-文件管理及工具栏",
                                  "窗口-文件管理及工具栏", "窗口-文件管理及工具栏"}));
}

TEST_P(MainWindowTest, TheFirstShowingLimitsCustomerNamesToTheUsersOwn)
{
    ASSERT_EQ(db().insertRow("tblCustomers", {{"CustId", "C1"}, {"CustName", "甲"}, {"SUser", "clerk"}}), "");
    ASSERT_EQ(db().insertRow("tblCustomers", {{"CustId", "C2"}, {"CustName", "乙"}, {"SUser", "other"}}), "");
    ASSERT_EQ(db().insertRow("tblPlan", {{"CustID", "C2"}}), "");
    for (bool sys : {false, true}) {
        SCOPED_TRACE(sys ? "system user" : "ordinary user");
        Session::current().reset();
        logIn(sys ? "boss" : "clerk", sys, {});
        ASSERT_TRUE(main->FormShow());
        EXPECT_EQ(dm.dataset("tblCustomers2")->rowCount(), sys ? 2 : 1);
        EXPECT_TRUE(dm.dataset("qryPlan")->isActive());
        EXPECT_EQ(dm.dataset("tblCustomers")->value("CustId").toString(), "C2");
        EXPECT_TRUE(prompts.shown.isEmpty());
    }
}

TEST_P(MainWindowTest, DesktopProgramsAndLinks)
{
    logIn("clerk", false, {});
    // A calculator on PATH is started; with none, only the log line.
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir bin;
    const QString started = bin.filePath("started");
    {
        QFile f(bin.filePath("galculator"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\n: > '" + started + "'\n").toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    qputenv("PATH", bin.path().toLocal8Bit());
    act("Act_Calculator")->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(started); }, 5000));
    QTemporaryDir empty;
    qputenv("PATH", empty.path().toLocal8Bit());
    act("Act_Calendar")->trigger();
    act("Act_SysInfo")->trigger();
    qputenv("PATH", path);
    EXPECT_TRUE(prompts.shown.isEmpty());

    UrlCatcher urls;
    act("Act_Help")->trigger();
    button("Tool_Act_Homepage")->click();
    act("Act_Contact")->trigger();
    act("Act_Support")->trigger();
    ASSERT_EQ(urls.opened.size(), 4);
    EXPECT_TRUE(urls.opened[0].isLocalFile());
    // The application directory holds no manual of its own: the shipped one.
    EXPECT_EQ(urls.opened[0].toLocalFile(), QCoreApplication::applicationDirPath() + "/Help/BreviaHelp.html");
    EXPECT_EQ(urls.opened[1].scheme(), "http");
    EXPECT_EQ(urls.opened[2].toEncoded(),
              "mailto:" + Maker::kSupportMail.toUtf8() + "?subject=Subject%3AWanna%20ask%20a%20question%21&body=Hello%21");
    EXPECT_EQ(urls.opened[3], urls.opened[1]);
    // 技术支持 writes no log line.
    EXPECT_EQ(log(), (QStringList{"工具-计算器", "工具-日历", "工具-系统信息", "帮助-系统帮助",
                                  "帮助-公司及产品介绍", "帮助-联系我们"}));
}

INSTANTIATE_TEST_SUITE_P(Engines, MainWindowTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });


TEST(MainWindow, StatusBarPanels)
{
    AppHome home;
    FixedClock clock(QDateTime(QDate(2024, 3, 5), QTime(8, 9, 10)));
    Session::current().logIn("Admin", true);
    TfrmMain main;
    auto panel = [&](int i) { return main.findChild<QLabel *>(QString("StatusPanel%1").arg(i))->text(); };
    EXPECT_EQ(panel(0), "欢迎使用Brevia！");
    EXPECT_EQ(panel(1), "操作员：  Admin");
    EXPECT_TRUE(panel(2).startsWith("当前系统时间：   2024"));
    EXPECT_EQ(panel(3), Maker::kWebsite);
    EXPECT_EQ(panel(4), ""); // no keyboard on the offscreen platform
    clock.set(QDateTime(QDate(2025, 1, 1), QTime(0, 0, 1)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel(2).startsWith("当前系统时间：   2025"); }, 2500));
    Session::current().reset();
}

TEST(MainWindow, AboutBoxOpensTheHomePage)
{
    TfrmAbout about;
    EXPECT_EQ(about.windowTitle(), "关于Brevia2003");
    UrlCatcher urls;
    about.findChild<QLabel *>("LabHomePage")->linkActivated(Maker::kWebsite);
    ASSERT_EQ(urls.opened.size(), 1);
    EXPECT_EQ(urls.opened[0], QUrl(Maker::kWebsite));
    about.show();
    about.okButton()->click();
    EXPECT_FALSE(about.isVisible());
}

TEST(MainWindow, TheUserManualIsBesideTheProgram)
{
    const QString manual = QCoreApplication::applicationDirPath() + "/Help/BreviaHelp.html";
    QFile f(manual);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << manual.toStdString();
    const QString text = QString::fromUtf8(f.readAll());
    for (const char *must : {"<html", "客户资料", "口令设置", "用户管理", "系统日志"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(must))) << must;
}

} // namespace

#include "test_mainwindow.moc"
