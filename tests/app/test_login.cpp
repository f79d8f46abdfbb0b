// The login dialog: who is offered, who gets in, and when the program ends.
#include "app/tfrmlogin.h"
#include "data/database.h"
#include "data/password.h"
#include "data/session.h"
#include "testlib/fakeprompts.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTest>

namespace {

const QString kAsk = "请选择要登录的用户名称！";
const QString kWrong = "口令输入错误，请重新输入！";
const QString kLocked = "对不起，请与系统管理员联系！";

class LoginTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Session::current().reset();
        addUser("Zhang", Password::hash("zh-1"), "Yes");
        addUser("Li", Password::hash("li-2"), "No"); // disabled
        addUser("Wang", Password::hash("wang-3"), {});
        addUser("Old", "plain9", "Yes"); // an old row, password still in clear
    }
    void TearDown() override { Session::current().reset(); }

    void addUser(const QString &id, const QString &password, const QString &state)
    {
        ASSERT_EQ(t->db().insertRow("tblUser", {{"UserID", id}, {"Password", password}, {"State", state}}), "");
    }
    QString storedPassword(const QString &id)
    {
        QSqlQuery q(t->db().sql());
        q.prepare("SELECT Password FROM tblUser WHERE UserID = ?");
        q.addBindValue(id);
        return q.exec() && q.next() ? q.value(0).toString() : QString();
    }
    static void attempt(TfrmLogin &dlg, const QString &user, const QString &password)
    {
        dlg.userBox()->setEditText(user);
        dlg.passwordBox()->setText(password);
        dlg.BtnOkClick();
    }

    std::unique_ptr<TempDatabase> t;
    FakePrompts prompts;
};

TEST_P(LoginTest, TheListOffersEveryUserButTheDisabledOnes)
{
    TfrmLogin dlg(t->db());
    dlg.show();
    QStringList offered;
    for (int i = 0; i < dlg.userBox()->count(); ++i)
        offered << dlg.userBox()->itemText(i);
    offered.sort();
    EXPECT_EQ(offered, QStringList({"Admin", "Old", "Wang", "Zhang"}));
    EXPECT_EQ(dlg.windowTitle(), "Brevia2003(网络版)");
    EXPECT_TRUE(dlg.userBox()->currentText().isEmpty());
}

struct Attempt {
    QString user, password;
};
struct LoginCase {
    const char *name;
    QVector<Attempt> attempts;
    QStringList messages;
    enum { Open, In, LockedOut } outcome;
    QString user; // the current user code afterwards
    bool sys = false;
};

TEST_P(LoginTest, Rules)
{
    const QVector<LoginCase> cases = {
        {"empty user box", {{"", "583920"}, {"  ", "583920"}}, {kAsk, kAsk}, LoginCase::Open, {}},
        {"wrong password", {{"Admin", "58392"}}, {kWrong}, LoginCase::Open, {}},
        {"unknown user", {{"Nobody", "583920"}}, {kWrong}, LoginCase::Open, {}},
        {"first start", {{"Admin", "583920"}}, {}, LoginCase::In, "Admin", true},
        {"passwords keep their case", {{"Zhang", "ZH-1"}}, {kWrong}, LoginCase::Open, {}},
        {"three failures, then right",
         {{"Admin", "1"}, {"Admin", "2"}, {"Nobody", "3"}, {"Zhang", "zh-1"}},
         {kWrong, kWrong, kWrong},
         LoginCase::In,
         "Zhang"},
        {"fourth failure over two codes ends the program",
         {{"Admin", "1"}, {"Admin", "2"}, {"Zhang", "3"}, {"Zhang", "4"}},
         {kWrong, kWrong, kWrong, kLocked},
         LoginCase::LockedOut,
         {}},
        {"an empty box is not an attempt",
         {{"", "x"}, {"", "x"}, {"Admin", "1"}, {"Admin", "2"}, {"Admin", "3"}, {"Admin", "583920"}},
         {kAsk, kAsk, kWrong, kWrong, kWrong},
         LoginCase::In,
         "Admin",
         true},
        {"disabled user typed by hand", {{"Li", "li-2"}}, {}, LoginCase::In, "Li"},
        {"user without a State", {{"Wang", "wang-3"}}, {}, LoginCase::In, "Wang"},
        // One user, one code: the stored spelling, whatever was typed.
        {"letter case of the code", {{"aDMIN", "583920"}}, {}, LoginCase::In, "Admin", true},
        {"blanks around the code", {{" zhang ", "zh-1"}}, {}, LoginCase::In, "Zhang"},
    };
    for (const LoginCase &c : cases) {
        SCOPED_TRACE(c.name);
        Session::current().reset();
        prompts.clear();
        TfrmLogin dlg(t->db());
        dlg.show();
        for (const Attempt &a : c.attempts) {
            if (!dlg.isVisible())
                break;
            attempt(dlg, a.user, a.password);
        }
        EXPECT_EQ(prompts.texts(), c.messages);
        for (const auto &s : prompts.shown)
            EXPECT_EQ(s.kind, "warn");
        EXPECT_EQ(dlg.isVisible(), c.outcome == LoginCase::Open);
        EXPECT_EQ(dlg.result(), c.outcome == LoginCase::In ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(dlg.lockedOut(), c.outcome == LoginCase::LockedOut);
        EXPECT_EQ(Session::current().userId(), c.user);
        EXPECT_EQ(Session::current().isSys(), c.sys);
        if (c.outcome == LoginCase::Open && !c.attempts.last().user.trimmed().isEmpty()) {
            EXPECT_EQ(dlg.passwordBox()->selectedText(), c.attempts.last().password); // ready to type again
        }
    }
}

TEST_P(LoginTest, AClearTextPasswordIsAcceptedOnceAndStoredAsAHash)
{
    {
        TfrmLogin dlg(t->db());
        dlg.show();
        attempt(dlg, "Old", "plain");
        EXPECT_EQ(prompts.texts(), QStringList{kWrong});
        EXPECT_EQ(storedPassword("Old"), "plain9");
        attempt(dlg, "old", "plain9");
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    const QString stored = storedPassword("Old");
    EXPECT_TRUE(Password::isHash(stored));
    EXPECT_TRUE(Password::verify(stored, "plain9"));

    TfrmLogin again(t->db());
    again.show();
    attempt(again, "Old", "plain9");
    EXPECT_EQ(again.result(), QDialog::Accepted);
    EXPECT_EQ(Session::current().userId(), "Old");
}

TEST_P(LoginTest, EnterMovesOnAndLogsInEscCancels)
{
    TfrmLogin dlg(t->db());
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));

    // The cursor goes where the user has to type next.
    dlg.passwordBox()->setFocus();
    dlg.BtnOkClick();
    EXPECT_TRUE(dlg.userBox()->hasFocus());
    attempt(dlg, "Admin", "wrong");
    EXPECT_TRUE(dlg.passwordBox()->hasFocus());
    EXPECT_EQ(prompts.texts(), QStringList({kAsk, kWrong}));
    prompts.clear();

    dlg.userBox()->setEditText("Admin");
    dlg.passwordBox()->clear();
    dlg.userBox()->setFocus();
    QTest::keyClick(dlg.userBox()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), dlg.passwordBox());
    EXPECT_TRUE(dlg.isVisible()); // Enter in the user box is no login attempt
    EXPECT_TRUE(prompts.shown.isEmpty());

    dlg.passwordBox()->setText("583920");
    QTest::keyClick(dlg.passwordBox(), Qt::Key_Enter);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(Session::current().userId(), "Admin");

    TfrmLogin cancel(t->db());
    cancel.show();
    QApplication::setActiveWindow(&cancel);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&cancel));
    QTest::keyClick(cancel.passwordBox(), Qt::Key_Escape);
    EXPECT_FALSE(cancel.isVisible());
    EXPECT_EQ(cancel.result(), QDialog::Rejected);
    EXPECT_FALSE(cancel.lockedOut());
}

INSTANTIATE_TEST_SUITE_P(Engines, LoginTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
