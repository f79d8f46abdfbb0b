// The hand-over of customers (with their contacts) and contracts between
// users, on both engines: the user lists, the code lists and their arrows,
// the assignment with codes that hold quotes, and a failure that changes
// nothing.
#include "customers/tfrmassign.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QSqlQuery>

#include <memory>

namespace {

QStringList items(QListWidget *l)
{
    QStringList out;
    for (int i = 0; i < l->count(); ++i)
        out << l->item(i)->text();
    return out;
}

QStringList comboItems(QComboBox *c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

class AssignTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Database &db = t->db();
        for (const auto &[id, state] : {std::pair{"U1", "Yes"}, {"U2", "No"}, {"O'Neil", "Yes"}})
            ASSERT_EQ(db.insertRow("tblUser", {{"UserID", id}, {"UserName", id}, {"State", state}}), "");
        for (const auto &[id, user] : {std::pair{"C'1", "U1"}, {"C2", "U1"}, {"C3", "Admin"}})
            ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", id}, {"CustName", id}, {"SUser", user}}), "");
        for (const auto &[id, cust] : {std::pair{"L1", "C'1"}, {"L2", "C'1"}, {"L3", "C2"}})
            ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", id}, {"CustID", cust}, {"Name", id}, {"SUser", "U1"}}), "");
        for (const auto &[id, cust] : {std::pair{"O'1", "C'1"}, {"O2", "C2"}})
            ASSERT_EQ(db.insertRow("tblOperates", {{"OperateID", id}, {"CustID", cust}, {"SUser", "U1"}}), "");
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
        Session::current().logIn("Admin", true);
        w = std::make_unique<TfrmAssign>();
    }
    void TearDown() override
    {
        w.reset();
        Session::current().reset();
    }
    QString owner(const QString &table, const QString &keyColumn, const QString &key)
    {
        QSqlQuery q(t->db().sql());
        QString err;
        EXPECT_TRUE(t->db().prepareAndExec(
            q, QStringLiteral("SELECT SUser FROM %1 WHERE %2 = ?").arg(table, keyColumn), {key}, &err))
            << err.toStdString();
        return q.next() ? q.value(0).toString() : QStringLiteral("<none>");
    }
    QStringList owners()
    {
        return {owner("tblCustomers", "CustId", "C'1"), owner("tblCustomers", "CustId", "C2"),
                owner("tblLinkmans", "LinkmanID", "L1"), owner("tblLinkmans", "LinkmanID", "L2"),
                owner("tblLinkmans", "LinkmanID", "L3"), owner("tblOperates", "OperateID", "O'1"),
                owner("tblOperates", "OperateID", "O2")};
    }
    void choose(QComboBox *box, const QString &text) { box->setCurrentIndex(box->findText(text)); }

    AppHome home;
    FakePrompts prompts;
    std::unique_ptr<TempDatabase> t;
    TdmMain dm;
    std::unique_ptr<TfrmAssign> w;
};

TEST_P(AssignTest, UserListsOfferEveryUserAsSourceAndOnlyEnabledOnesAsTarget)
{
    // In the table's order, not sorted: O'Neil was added last.
    EXPECT_EQ(comboItems(w->sourceBox()), (QStringList{"Admin", "U1", "U2", "O'Neil"}));
    EXPECT_EQ(comboItems(w->targetBox()), (QStringList{"Admin", "U1", "O'Neil"}));
    EXPECT_EQ(w->sourceBox()->currentIndex(), -1);
    EXPECT_EQ(w->targetBox()->currentIndex(), -1);
    EXPECT_EQ(w->kindBox()->currentText(), "客户资料");
}

TEST_P(AssignTest, RefreshListsTheSourceUsersCodesAndLeavesTheFilterOnTheSharedSet)
{
    w->leftList()->addItem("stale");
    w->BtnRefreshClick();
    EXPECT_EQ(prompts.last(), "请选择原用户ID！");
    EXPECT_EQ(w->leftList()->count(), 0);

    choose(w->sourceBox(), "U1");
    w->BtnRefreshClick();
    EXPECT_EQ(items(w->leftList()), (QStringList{"C'1", "C2"}));
    EXPECT_EQ(dm.dataset("tblCustomers")->rowCount(), 2);

    choose(w->kindBox(), "业务资料");
    w->BtnRefreshClick();
    EXPECT_EQ(items(w->leftList()), (QStringList{"O'1", "O2"}));
    EXPECT_EQ(dm.dataset("tblOperates2")->rowCount(), 2);
}

TEST_P(AssignTest, ArrowsMoveCodesBetweenTheLists)
{
    choose(w->sourceBox(), "U1");
    w->BtnRefreshClick();
    struct Step {
        void (TfrmAssign::*press)();
        int selectLeft; // row selected in the left list first, -1: none
        QStringList left, right;
    };
    const Step steps[] = {
        {&TfrmAssign::BtnRightClick, -1, {"C2"}, {"C'1"}},      // no selection: the first code
        {&TfrmAssign::BtnAllLeftClick, -1, {"C'1"}, {}},        // the other list is replaced
        {&TfrmAssign::BtnAllRightClick, -1, {}, {"C'1"}},
        {&TfrmAssign::BtnAllRightClick, -1, {}, {"C'1"}},       // nothing on the left: nothing happens
        {&TfrmAssign::BtnLeftClick, -1, {"C'1"}, {}},
    };
    for (const Step &s : steps) {
        if (s.selectLeft >= 0)
            w->leftList()->setCurrentRow(s.selectLeft);
        (w.get()->*s.press)();
        EXPECT_EQ(items(w->leftList()), s.left);
        EXPECT_EQ(items(w->rightList()), s.right);
    }
    w->BtnRefreshClick();
    w->leftList()->setCurrentRow(1);
    w->BtnRightClick();
    EXPECT_EQ(items(w->rightList()), QStringList{"C2"});
}

// A customer goes with its contacts, not its contracts; codes and user
// codes with quotes are values, not SQL.
TEST_P(AssignTest, CustomersGoWithTheirContactsToTheTarget)
{
    choose(w->sourceBox(), "U1");
    w->BtnRefreshClick();
    w->BtnRightClick(); // C'1
    w->BtnAssignClick();
    EXPECT_EQ(prompts.last(), "请选择目标用户ID！");
    EXPECT_EQ(owners(), (QStringList{"U1", "U1", "U1", "U1", "U1", "U1", "U1"}));

    choose(w->targetBox(), "O'Neil");
    w->BtnAssignClick();
    EXPECT_EQ(prompts.last(), "提醒用户：分配成功！");
    EXPECT_EQ(w->rightList()->count(), 0);
    EXPECT_EQ(items(w->leftList()), QStringList{"C2"}); // not read again
    EXPECT_EQ(owners(), (QStringList{"O'Neil", "U1", "O'Neil", "O'Neil", "U1", "U1", "U1"}));

    choose(w->kindBox(), "业务资料");
    w->BtnRefreshClick();
    w->BtnAllRightClick();
    choose(w->targetBox(), "Admin");
    w->BtnAssignClick();
    EXPECT_EQ(prompts.last(), "提醒用户：分配成功！");
    EXPECT_EQ(owners(), (QStringList{"O'Neil", "U1", "O'Neil", "O'Neil", "U1", "Admin", "Admin"}));
}

// A failure on the second code leaves the first one as it was too, and
// the chosen codes stay for another try.
TEST_P(AssignTest, FailedAssignmentChangesNothing)
{
    // A target code too long for the SUser column (20) fails every update;
    // on SQLite a trigger fails the second customer's contacts only.
    const QString longUser = QString(25, QLatin1Char('Z'));
    ASSERT_EQ(t->db().insertRow("tblUser", {{"UserID", longUser}, {"State", "Yes"}}), "");
    if (GetParam() == Engine::SQLite) {
        ASSERT_EQ(t->db().exec("CREATE TRIGGER failC2 BEFORE UPDATE ON tblLinkmans WHEN new.CustID = 'C2' "
                               "BEGIN SELECT RAISE(ABORT, 'refused'); END"),
                  "");
    }
    w = std::make_unique<TfrmAssign>();
    choose(w->sourceBox(), "U1");
    w->BtnRefreshClick();
    w->BtnAllRightClick();
    for (const QString &target : {longUser, QStringLiteral("Admin")}) {
        if (target == "Admin" && GetParam() != Engine::SQLite)
            continue;
        SCOPED_TRACE(target.toStdString());
        choose(w->targetBox(), target);
        w->BtnAssignClick();
        EXPECT_EQ(prompts.last(), "提醒用户：分配未成功，请重新分配！");
        EXPECT_EQ(items(w->rightList()), (QStringList{"C'1", "C2"}));
        EXPECT_EQ(owners(), (QStringList{"U1", "U1", "U1", "U1", "U1", "U1", "U1"}));
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, AssignTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
