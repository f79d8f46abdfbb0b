// The schedule in the main window, its period query, the daily agenda and
// the bulletin board, on both engines. Days are compared as days, whatever
// time of day a row holds.
#include "data/clock.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/userrights.h"
#include "schedule/tfrmboard.h"
#include "schedule/tfrmplan.h"
#include "schedule/tfrmplannew.h"
#include "schedule/tfrmplanquery.h"
#include "schedule/tfrmtoday.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/login.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"
#include "testlib/typing.h"
#include "ui/dateedit.h"
#include "customers/customerview.h"
#include "ui/datagrid.h"
#include "ui/gridmodel.h"
#include "ui/fieldbinder.h"
#include "ui/form.h"
#include "ui/recordnavigator.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

const QDate kToday(2026, 12, 10);

class ScheduleTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Database &db = t->db();
        ASSERT_EQ(db.insertRow("tblUser", {{"UserID", "zhang"}, {"UserName", "zhang"}, {"Sys", false}}), "");
        for (const char *right : {"301", "304", "305", "501"})
            ASSERT_EQ(db.insertRow("tblUserRight", {{"UserID", "zhang"}, {"RightID", right}, {"Insert", true},
                                                    {"Modify", true}, {"Delete", true}, {"Query", true},
                                                    {"Print", true}}),
                      "");
        for (const auto &[id, name, user] : {std::tuple{"C1", "张家", "zhang"}, std::tuple{"C2", "王家", "Admin"}})
            ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", id}, {"CustName", name}, {"SUser", user}}), "");
        // Plans at different times of their days, around today.
        const std::tuple<int, const char *, const char *> plans[] = {
            {-8, "08:00:00", "C1"}, {-7, "23:59:59", "C1"}, {0, "00:00:00", "C1"}, {0, "18:30:00", "C2"},
            {7, "09:00:00", "C2"}, {8, "09:00:00", "C2"}};
        for (const auto &[days, time, cust] : plans)
            ASSERT_EQ(db.insertRow("tblPlan", {{"PlanDate", QDateTime(kToday.addDays(days), QTime::fromString(time, "HH:mm:ss"))},
                                               {"PlanTime", time}, {"Address", "海淀"}, {"CustID", cust},
                                               {"Linkman", "张三"}}),
                      "");
        // Contracts ending today, tomorrow, in a week and in eight days.
        const std::tuple<const char *, int, const char *> contracts[] = {
            {"T1", 0, "zhang"}, {"T2", 0, "Admin"}, {"S1", 1, "zhang"}, {"S7", 7, "zhang"}, {"S8", 8, "zhang"}};
        for (const auto &[id, days, user] : contracts)
            ASSERT_EQ(db.insertRow("tblOperates", {{"OperateID", id}, {"CustID", "C1"}, {"SUser", user},
                                                   {"EndDate", QDateTime(kToday.addDays(days), QTime(17, 0))},
                                                   {"RMB", 876.495}, {"Rate", 0.293372727272727}}),
                      "");
        for (const auto &[title, days] : {std::pair{"今天的公告", 0}, std::pair{"昨天的公告", -1}})
            ASSERT_EQ(db.insertRow("tblBoard", {{"BTitle", title}, {"BDate", kToday.addDays(days)}, {"Man", "李"},
                                                {"Memo", "内容"}}),
                      "");
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
    }
    void TearDown() override
    {
        w.reset();
        UserRights::current().clear();
        Session::current().reset();
    }
    void logIn(const QString &user, bool sys)
    {
        ASSERT_EQ(logInAs(t->db(), user, sys), "");
    }
    void openSchedule()
    {
        w = std::make_unique<TfrmPlan>();
        w->resize(792, 500);
        w->show();
        w->open();
    }
    QStringList listed(Dataset *d, const char *field)
    {
        QStringList v;
        for (int r = 0; r < d->rowCount(); ++r)
            v << d->value(r, QString::fromLatin1(field)).toString();
        return v;
    }
    QStringList planDays()
    {
        Dataset *plans = dm.dataset("qryPlan");
        QStringList v;
        for (int r = 0; r < plans->rowCount(); ++r)
            v << QString::number(kToday.daysTo(plans->value(r, "PlanDate").toDateTime().date()));
        return v;
    }
    void type(QWidget *w, const QString &text) { Typing::type(w, text); }

    AppHome home;
    FakePrompts prompts;
    FixedClock clock{QDateTime(kToday, QTime(9, 0))};
    TdmMain dm;
    std::unique_ptr<TempDatabase> t;
    std::unique_ptr<TfrmPlan> w;
};

TEST_P(ScheduleTest, SaveNamesWhatIsMissingOrHalfTyped)
{
    logIn("Admin", true);
    openSchedule();
    EXPECT_EQ(planDays(), (QStringList{"-8", "-7", "0", "0", "7", "8"})); // every user sees every plan
    struct Step {
        const char *field, *text, *message;
    };
    const Step steps[] = {
        {nullptr, nullptr, "请输入日程安排日期！"},
        {"PlanDate", "2026-12-11", "请输入日程安排时间！"},
        {"PlanTime", "09:3", "请完整输入日程安排时间！"},
        {"PlanTime", "25:30:00", "请完整输入日程安排时间！"}, // no such time of day
        {"PlanTime", "09:30:00", "请输入日程安排的地点！"},
        {"Address", "朝阳", "请选择输入客户名称！"},
    };
    w->listNew();
    for (const Step &s : steps) {
        if (s.field) {
            QWidget *f = w->form()->widget(s.field);
            if (auto *d = qobject_cast<DateEdit *>(f))
                QTest::keyClicks(d, s.text);
            else
                type(f, s.text);
        }
        prompts.clear();
        w->detailSave();
        EXPECT_EQ(prompts.last(), QString::fromUtf8(s.message)) << (s.field ? s.field : "-");
    }
    auto *customer = qobject_cast<QComboBox *>(w->form()->widget("CustID"));
    customer->setCurrentIndex(customer->findText("张家"));
    emit customer->activated(customer->currentIndex());
    prompts.clear();
    w->detailSave();
    EXPECT_EQ(prompts.last(), "请输入客户联系人名称！");
    type(w->form()->widget("Linkman"), "张三");
    prompts.clear();
    w->detailSave();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    QSqlQuery q(t->db().sql());
    ASSERT_TRUE(q.exec("SELECT PlanTime, Address FROM tblPlan WHERE Address = '朝阳'") && q.next());
    EXPECT_EQ(q.value(0).toString(), "09:30:00");
}

// "关闭" of the editor window offers a plan in hand for saving; its Yes
// does without the contact person, its No gives the plan up; either way the
// list window is asked for.
TEST_P(ScheduleTest, ClosingTheEditorAsksAndSavesWithoutTheContactPerson)
{
    logIn("Admin", true);
    openSchedule();
    TfrmPlanNew editor;
    editor.resize(792, 500);
    editor.show();
    QSignalSpy listWanted(&editor, &TfrmPlan::listWanted);
    Dataset *plans = w->dataset();
    const int before = plans->rowCount();
    auto fill = [&](const char *place) {
        editor.detailNew();
        QTest::keyClicks(editor.form()->widget("PlanDate"), "2026-12-12");
        type(editor.form()->widget("PlanTime"), "10:00:00");
        type(editor.form()->widget("Address"), QString::fromUtf8(place));
        auto *customer = qobject_cast<QComboBox *>(editor.form()->widget("CustID"));
        customer->setCurrentIndex(customer->findText("王家"));
        emit customer->activated(customer->currentIndex());
    };
    EXPECT_FALSE(w->closeCommand()); // the main window's own page gives up with "放弃" instead
    ASSERT_TRUE(editor.closeCommand());
    fill("不存");
    prompts.answers = {false};
    editor.closeCommand()->trigger();
    EXPECT_EQ(prompts.texts(), QStringList{TfrmPlan::kCloseQuestion});
    EXPECT_EQ(listWanted.size(), 1);
    EXPECT_EQ(plans->rowCount(), before);
    fill("要存");
    prompts.clear();
    prompts.answers = {true};
    editor.closeCommand()->trigger();
    EXPECT_EQ(prompts.texts(), QStringList{TfrmPlan::kCloseQuestion}); // no word about the contact person
    EXPECT_EQ(listWanted.size(), 2);
    QSqlQuery q(t->db().sql());
    ASSERT_TRUE(q.exec("SELECT count(*) FROM tblPlan WHERE Address = '要存' AND Linkman IS NULL") && q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
}

// The schedule's three places: the main window's pages and the list window
// hand a new or changed plan to the editor window, which shows one page,
// its own customer labels, and offers every customer once its customer
// field is entered.
TEST_P(ScheduleTest, ListsHandPlansToTheEditorWindow)
{
    logIn("zhang", false);
    openSchedule();
    TfrmPlan list(TfrmPlan::Place::ListWindow, nullptr);
    TfrmPlanNew editor;
    for (TfrmPlan *p : {&list, static_cast<TfrmPlan *>(&editor)}) {
        p->resize(792, 500);
        p->show();
    }
    EXPECT_EQ(list.grid()->model()->headerData(6, Qt::Horizontal).toString(), "业务项");
    EXPECT_EQ(w->grid()->model()->headerData(6, Qt::Horizontal).toString(), "业务内容");

    struct Case {
        const char *what;
        TfrmPlan *from;
        void (ModuleFrame::*run)();
    };
    for (const Case &c : {Case{"main list 新增", w.get(), &ModuleFrame::listNew},
                          Case{"main list 修改", w.get(), &ModuleFrame::listModify},
                          Case{"main editor 新增", w.get(), &ModuleFrame::detailNew},
                          Case{"list window 新增", &list, &ModuleFrame::listNew},
                          Case{"list window 修改", &list, &ModuleFrame::listModify}}) {
        SCOPED_TRACE(c.what);
        QSignalSpy wanted(c.from, &TfrmPlan::editorWanted);
        (c.from->*c.run)();
        EXPECT_EQ(wanted.size(), 1);
        EXPECT_TRUE(w->dataset()->isEditing());
        EXPECT_FALSE(list.showingDetail()); // the list window shows only its list
        EXPECT_TRUE(editor.showingDetail());
        w->detailCancel();
    }
    QSignalSpy none(&editor, &TfrmPlan::editorWanted);
    editor.detailNew();
    EXPECT_TRUE(none.isEmpty());
    editor.detailCancel();

    // Labels of the editor window's customer page, and its 打开... button.
    auto label = [](TfrmPlan &p, const char *field) {
        QWidget *f = p.customerView()->form()->widget(QString::fromLatin1(field));
        return f ? f->accessibleName() : QString();
    };
    const std::tuple<const char *, const char *, const char *> labels[] = {
        {"HomePage", "主要成员：", "主　　页："},   {"VocationName", "客户类型：", "行业类别："},
        {"City", "受聘人数：", "城　　市："},       {"DistName", "所 在 区：", "地　　区："},
        {"CountryName", "国　 籍：", "国　　家："}, {"CustName", "客户名称：", "客户名称："}};
    for (const auto &[field, main, window] : labels) {
        EXPECT_EQ(label(*w, field), QString::fromUtf8(main)) << field;
        EXPECT_EQ(label(editor, field), QString::fromUtf8(window)) << field;
    }
    EXPECT_FALSE(w->customerView()->form()->button("BtnCustOpen"));
    EXPECT_TRUE(editor.customerView()->form()->button("BtnCustOpen"));
    EXPECT_TRUE(editor.customerView()->findChild<QPushButton *>("BtnShowCustomers"));

    // An ordinary user is offered his own customers, in the editor window
    // every customer once he enters the field.
    auto offered = [](TfrmPlan &p) {
        auto *c = qobject_cast<QComboBox *>(p.form()->widget("CustID"));
        QStringList v;
        for (int i = 0; i < c->count(); ++i)
            if (!c->itemText(i).isEmpty())
                v << c->itemText(i);
        return v;
    };
    w->showDetail();
    EXPECT_EQ(offered(*w), QStringList{"张家"});
    EXPECT_EQ(offered(editor), QStringList{"张家"});
    QApplication::setActiveWindow(&editor);
    editor.form()->widget("CustID")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(offered(editor), (QStringList{"张家", "王家"}));
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
}

TEST_P(ScheduleTest, ThePeriodQueryCountsBothDaysAndAllLiftsTheAgendasFilter)
{
    logIn("Admin", true);
    {
        TfrmToday today;
        today.prepare();
    }
    openSchedule();
    Dataset *plans = dm.dataset("qryPlan");
    EXPECT_EQ(planDays(), (QStringList{"0", "0"})); // the agenda's today stays
    w->listRefresh();
    EXPECT_EQ(planDays(), (QStringList{"0", "0"}));

    TfrmPlanQuery dlg(plans);
    EXPECT_EQ(dlg.startDate()->date(), kToday.addDays(-7));
    EXPECT_EQ(dlg.endDate()->date(), kToday.addDays(7));
    dlg.BtnOkClick();
    EXPECT_EQ(planDays(), (QStringList{"-7", "0", "0", "7"}));
    TfrmPlanQuery swapped(plans);
    swapped.startDate()->setDate(kToday);
    swapped.endDate()->setDate(kToday.addDays(-8));
    swapped.BtnOkClick();
    EXPECT_EQ(planDays(), (QStringList{"-8", "-7", "0", "0"}));
    TfrmPlanQuery all(plans);
    all.BtnAllClick();
    EXPECT_EQ(planDays(), (QStringList{"-8", "-7", "0", "0", "7", "8"}));
}

TEST_P(ScheduleTest, APeriodLastsUntilRefreshOrTheNextOpening)
{
    logIn("Admin", true);
    {
        TfrmToday today;
        today.prepare();
    }
    openSchedule();
    Dataset *plans = dm.dataset("qryPlan");
    const QStringList every{"-8", "-7", "0", "0", "7", "8"};
    const QStringList week{"-7", "0", "0", "7"};
    auto period = [&] {
        TfrmPlanQuery dlg(plans);
        dlg.BtnOkClick();
        EXPECT_EQ(planDays(), week);
    };
    period(); // lifts the agenda's today too
    w->listRefresh();
    EXPECT_EQ(planDays(), every);
    period();
    w->open(); // F6
    EXPECT_EQ(planDays(), every);
    period();
    w->listRefresh();
    w->open();
    EXPECT_EQ(planDays(), every);
}

TEST_P(ScheduleTest, TheAgendaShowsTodayForTheUserAndLeavesItsFilters)
{
    struct Case {
        const char *user;
        bool sys;
        QStringList contracts;
    };
    for (const Case &c : {Case{"Admin", true, {"T1", "T2"}}, Case{"zhang", false, {"T1"}}}) {
        logIn(c.user, c.sys);
        TfrmToday today;
        today.prepare();
        EXPECT_EQ(listed(dm.dataset("tblOperates2"), "OperateID"), c.contracts) << c.user;
        EXPECT_EQ(planDays(), (QStringList{"0", "0"}));
        EXPECT_EQ(listed(dm.dataset("tblBoard"), "BTitle"), QStringList{"今天的公告"});
        // Within the next seven days, without touching the filters above.
        today.soonButton()->setChecked(true);
        EXPECT_EQ(listed(today.soon(), "OperateID"), (QStringList{"S1", "S7"}));
        EXPECT_EQ(listed(dm.dataset("tblOperates2"), "OperateID"), c.contracts);
        EXPECT_TRUE(today.soonGrid()->isVisibleTo(&today));
        EXPECT_FALSE(today.contractGrid()->isVisibleTo(&today));
        EXPECT_TRUE(today.contractForm()->widget("OperateStateID")->isEnabled());
        // Renminbi and the rate as the contract window shows them, not bare.
        dm.dataset("tblOperates2")->first();
        for (const auto &[field, text] : {std::pair{"RMB", "¥876.495"}, std::pair{"Rate", "0.2934"}})
            EXPECT_EQ(qobject_cast<QLineEdit *>(today.contractForm()->widget(field))->text(), QString::fromUtf8(text))
                << field;
    }
    // Without the Modify flag of either right contracts are kept under (the
    // contract window's and the customer window's) the state is shown, not
    // offered.
    Database &db = t->db();
    ASSERT_TRUE(QSqlQuery(db.sql()).exec("UPDATE tblUserRight SET Modify = " + db.dialect().boolLiteral(false)
                                         + " WHERE UserID = 'zhang' AND RightID IN ('304', '301')"));
    logIn("zhang", false);
    TfrmToday today;
    EXPECT_FALSE(today.contractForm()->widget("OperateStateID")->isEnabled());
    EXPECT_TRUE(today.planForm()->widget("CustID")->isEnabled());
}

TEST_P(ScheduleTest, TheBoardAsksForEachFieldAndListsTodaysNoticesAfterTheAgenda)
{
    logIn("zhang", false);
    {
        TfrmToday today;
        today.prepare();
    }
    TfrmBoard board;
    board.show();
    Dataset *notices = board.dataset();
    EXPECT_EQ(listed(notices, "BTitle"), QStringList{"今天的公告"});
    board.BtnNewClick();
    const std::pair<const char *, const char *> steps[] = {
        {nullptr, "请输入公告主题！"}, {"BTitle", "请输入公告日期！"}, {"BDate", "请输入公告人！"}, {"Man", "请输入公告事项描述内容！"}};
    for (const auto &[field, message] : steps) {
        if (field && QString(field) == "BDate")
            QTest::keyClicks(board.form()->widget(field), "2026-12-11");
        else if (field)
            type(board.form()->widget(field), "新");
        prompts.clear();
        board.BtnSaveClick();
        EXPECT_EQ(prompts.last(), QString::fromUtf8(message));
    }
    // Tomorrow's notice, stored, leaves today's list at once.
    auto memo = [&](const QString &text) {
        auto *m = qobject_cast<QPlainTextEdit *>(board.form()->widget("Memo"));
        ASSERT_TRUE(m);
        m->setPlainText(text);
    };
    memo("明天的事");
    prompts.clear();
    board.BtnSaveClick();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(listed(notices, "BTitle"), QStringList{"今天的公告"});
    EXPECT_EQ(board.grid()->model()->rowCount(), 1);
    // One of today stays.
    board.BtnNewClick();
    type(board.form()->widget("BTitle"), "今天又一条");
    QTest::keyClicks(board.form()->widget("BDate"), "2026-12-10");
    type(board.form()->widget("Man"), "李");
    memo("内容");
    board.BtnSaveClick();
    EXPECT_EQ(listed(notices, "BTitle"), (QStringList{"今天的公告", "今天又一条"}));
}

TEST_P(ScheduleTest, TheAgendaGoesThroughTodaysNoticesAndStoresAChangeOnMoving)
{
    ASSERT_EQ(t->db().insertRow("tblBoard", {{"BTitle", "今天的第二条"}, {"BDate", kToday}, {"Man", "王"},
                                             {"Memo", "内容"}}),
              "");
    logIn("zhang", false);
    TfrmToday today;
    today.resize(760, 540);
    today.show();
    today.pages()->setCurrentIndex(2);
    Dataset *notices = dm.dataset("tblBoard");
    ASSERT_EQ(notices->rowCount(), 2);
    ASSERT_TRUE(today.noticeNavigator());
    for (QAction *a : today.noticeNavigator()->actions()) {
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
        auto *b = today.findChild<QToolButton *>(a->objectName());
        ASSERT_TRUE(b) << a->objectName().toStdString();
        EXPECT_TRUE(b->isVisible());
        const QRect r(b->mapTo(&today, QPoint()), b->size());
        EXPECT_TRUE(today.rect().contains(r)) << a->objectName().toStdString();
        EXPECT_GE(b->width(), 16);
    }
    today.noticeNavigator()->move(RecordMove::First);
    EXPECT_EQ(notices->currentRow(), 0);
    type(today.noticeForm()->widget("Man"), "赵");
    today.noticeNavigator()->move(RecordMove::Last);
    EXPECT_EQ(notices->currentRow(), 1);
    EXPECT_EQ(notices->state(), Dataset::State::Browse);
    EXPECT_EQ(Stored::count(t->db(), "SELECT COUNT(*) FROM tblBoard WHERE Man = '赵'"), 1);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Engines, ScheduleTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });
