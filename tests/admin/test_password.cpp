// Password change and the agency details.
#include "admin/tfrmpassword.h"
#include "admin/tfrmuserinfo.h"
#include "adminfixture.h"
#include "data/dataset.h"
#include "data/password.h"

#include <QLineEdit>
#include <QTest>

namespace {

class PasswordTest : public AdminFixture
{
protected:
    void SetUp() override
    {
        AdminFixture::SetUp();
        ASSERT_EQ(db().insertRow("tblUser", {{"UserID", "Zhang"}, {"Password", Password::hash("old-1")}, {"State", "Yes"}}),
                  "");
        Session::current().reset();
        Session::current().logIn("Zhang", false);
    }
    QString stored() { return one("SELECT Password FROM tblUser WHERE UserID = 'Zhang'"); }
};

TEST_P(PasswordTest, EachRefusalNamesTheBoxToFix)
{
    struct Case {
        const char *name;
        QString oldText, newText, confirm;
        QString message;
        int focus; // 0 old, 1 new, 2 confirm
        bool confirmEmptied;
    };
    const QVector<Case> cases = {
        {"no old password", "", "n", "n", "对不起，请输入旧口令！", 0, false},
        {"wrong old password", "old-2", "n", "n", "对不起，输入的旧口令不正确！", 0, false},
        {"no new password", "old-1", "", "n", "对不起，请输入新口令！", 1, false},
        {"no confirmation", "old-1", "n", "", "对不起，请输入确认口令！", 2, false},
        {"they differ", "old-1", "new-1", "new-2", "对不起，输入的确认口令与新口令不一致！", 2, true},
    };
    const QString before = stored();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        prompts.clear();
        TfrmPassword w;
        w.show();
        EXPECT_EQ(w.windowTitle(), "口令设置");
        w.oldBox()->setText(c.oldText);
        w.newBox()->setText(c.newText);
        w.confirmBox()->setText(c.confirm);
        w.BtnSaveClick();
        EXPECT_EQ(prompts.texts(), QStringList{c.message});
        EXPECT_EQ(prompts.shown[0].kind, "warn");
        QLineEdit *boxes[] = {w.oldBox(), w.newBox(), w.confirmBox()};
        EXPECT_EQ(w.focusWidget(), boxes[c.focus]);
        EXPECT_EQ(w.confirmBox()->text().isEmpty(), c.confirm.isEmpty() || c.confirmEmptied);
        EXPECT_TRUE(w.isVisible());
    }
    // A stored hash typed as the old password is not the password.
    prompts.clear();
    TfrmPassword w;
    w.oldBox()->setText(before);
    w.newBox()->setText("x");
    w.confirmBox()->setText("x");
    w.BtnSaveClick();
    EXPECT_EQ(prompts.texts(), QStringList{"对不起，输入的旧口令不正确！"});
    EXPECT_EQ(stored(), before);
}

TEST_P(PasswordTest, ANewPasswordReplacesTheOldOne)
{
    Dataset *users = dm->dataset("tblUser");
    ASSERT_TRUE(users->open()); // the user list is open elsewhere and must not go stale
    TfrmPassword w;
    w.show();
    EXPECT_EQ(w.oldBox()->echoMode(), QLineEdit::Password);
    // Enter moves old, new, confirm, then to the button, which Enter presses.
    w.oldBox()->setFocus();
    QTest::keyClicks(w.oldBox(), "old-1");
    QTest::keyClick(w.oldBox(), Qt::Key_Return);
    QTest::keyClicks(w.newBox(), "new-1");
    QTest::keyClick(w.newBox(), Qt::Key_Return);
    QTest::keyClicks(w.confirmBox(), "new-1");
    QTest::keyClick(w.confirmBox(), Qt::Key_Return);
    QTest::keyClick(w.focusWidget(), Qt::Key_Return);
    EXPECT_EQ(prompts.texts(), QStringList{"口令修改成功！"});
    EXPECT_EQ(prompts.shown[0].kind, "inform");
    EXPECT_EQ(w.result(), QDialog::Accepted);
    const QString now = stored();
    EXPECT_TRUE(Password::isHash(now));
    EXPECT_TRUE(Password::verify(now, "new-1"));
    EXPECT_FALSE(Password::verify(now, "old-1"));

    // The shared list holds the new value, so editing the row is no conflict.
    ASSERT_TRUE(users->locate("UserID", "Zhang"));
    users->setValue("Memo", "m");
    EXPECT_TRUE(users->post()) << users->lastError().toStdString();
}

TEST_P(PasswordTest, AnOldClearTextPasswordIsAcceptedAndReplacedByAHash)
{
    ASSERT_EQ(db().exec("UPDATE tblUser SET Password = 'plain' WHERE UserID = 'Zhang'"), "");
    TfrmPassword w;
    w.oldBox()->setText("plain");
    w.newBox()->setText("new-2");
    w.confirmBox()->setText("new-2");
    w.BtnSaveClick();
    EXPECT_EQ(prompts.texts(), QStringList{"口令修改成功！"});
    EXPECT_TRUE(Password::verify(stored(), "new-2"));
}

INSTANTIATE_TEST_SUITE_P(Engines, PasswordTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

// --- agency details --------------------------------------------------------

class UserInfoTest : public AdminFixture
{
protected:
    void fill(const QStringList &values)
    {
        const char *fields[] = {"UserName", "Address", "Telephone", "Fax", "PostCode", "Email", "HomePage"};
        Dataset *info = dm->dataset("tblUserInfo");
        for (int i = 0; i < values.size(); ++i)
            info->setValue(fields[i], values[i].isEmpty() ? QVariant() : QVariant(values[i]));
    }
};

TEST_P(UserInfoTest, RequiredDetailsAreAskedForInOrder)
{
    struct Case {
        QStringList values;
        QString message;
        const char *focus;
    };
    const QVector<Case> cases = {
        {{"", "路1号", "123", "", "100000"}, "请输入用户名称！", "UserName"},
        {{"家政社", "", "123", "", "100000"}, "请输入用户地址！", "Address"},
        {{"家政社", "路1号", "", "", "100000"}, "请输入用户电话！", "Telephone"},
        {{"家政社", "路1号", "123", "", ""}, "请输入邮政编码！", "PostCode"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        prompts.clear();
        TfrmUserInfo w;
        w.show();
        fill(c.values);
        w.BtnSaveClick();
        EXPECT_EQ(prompts.texts(), QStringList{c.message});
        EXPECT_EQ(prompts.shown[0].kind, "warn");
        EXPECT_EQ(w.focusWidget(), w.edit(c.focus));
        w.BtnSaveClick();
        EXPECT_TRUE(column("SELECT UserName FROM tblUserInfo").isEmpty());
    }
}

TEST_P(UserInfoTest, OneRowIsStoredAndEditedAndClosingDropsHalfTypedText)
{
    {
        TfrmUserInfo w;
        w.show();
        EXPECT_EQ(w.windowTitle(), "用户登记信息");
        EXPECT_EQ(w.focusWidget(), w.edit("UserName"));
        fill({"家政社", "路1号", "123", "", "100000", "a@b.cn"});
        w.BtnSaveClick();
        EXPECT_TRUE(prompts.shown.isEmpty());
        EXPECT_TRUE(w.isVisible());
    }
    {
        TfrmUserInfo w;
        w.show();
        EXPECT_EQ(w.edit("Address")->text(), "路1号");
        QTest::keyClicks(w.edit("Address"), "half");
        w.reject(); // "关闭"
        EXPECT_FALSE(dm->dataset("tblUserInfo")->isEditing());
    }
    {
        TfrmUserInfo w;
        w.show();
        EXPECT_EQ(w.edit("Address")->text(), "路1号");
        QTest::keyClicks(w.edit("Fax"), "9");
        w.BtnSaveClick();
    }
    EXPECT_EQ(column("SELECT Address FROM tblUserInfo"), QStringList{"路1号"});
    EXPECT_EQ(one("SELECT Fax FROM tblUserInfo"), "9");
    EXPECT_EQ(logLines(), QStringList({"系统设置-用户信息-保存", "系统设置-用户信息-保存"}));
}

INSTANTIATE_TEST_SUITE_P(Engines, UserInfoTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
