// User management and the rights window.
#include "admin/tfrmright.h"
#include "admin/tfrmuser.h"
#include "adminfixture.h"
#include "data/dataset.h"
#include "data/password.h"
#include "data/schema.h"
#include "ui/datagrid.h"
#include "ui/gridmodel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>
#include <QTest>

namespace {

const QString kAdminRefused = "对不起，系统默认用户不能修改！";
const QString kNewUserInfo = "新增用户口令为583920，请提醒用户及时修改！";

class UsersTest : public AdminFixture
{
protected:
    void SetUp() override
    {
        AdminFixture::SetUp();
        ASSERT_EQ(db().insertRow("tblDepartment", {{"DepartmentID", "D1"}, {"DepartmentName", "办公室"}, {"Memo", "办公室"}}), "");
        addUser("Zhang", "张三", false);
        addUser("Boss", "老板", true);
    }
    void addUser(const QString &id, const QString &name, bool sys)
    {
        ASSERT_EQ(db().insertRow("tblUser", {{"UserID", id},
                                             {"UserName", name},
                                             {"Password", Password::hash("pw")},
                                             {"DeptID", "D1"},
                                             {"Duty", "职员"},
                                             {"State", "Yes"},
                                             {"Sys", sys}}),
                  "");
    }
    void grant(const QString &user, const QString &code, bool flags = false)
    {
        ASSERT_EQ(db().insertRow("tblUserRight", {{"UserID", user},
                                                  {"RightID", code},
                                                  {"Insert", flags},
                                                  {"Modify", false},
                                                  {"Delete", flags},
                                                  {"Query", flags},
                                                  {"Print", false}}),
                  "");
    }
    // "code:IMDQP" with 1 for each flag that is on, in order of the code.
    QStringList rights(const QString &user)
    {
        const Dialect &d = db().dialect();
        QSqlQuery q(db().sql());
        QString error;
        const QString sql = QString("SELECT RightID, %1, %2, %3, %4, %5 FROM tblUserRight WHERE UserID = ? ORDER BY RightID")
                                .arg(d.ident("Insert"), d.ident("Modify"), d.ident("Delete"), d.ident("Query"),
                                     d.ident("Print"));
        EXPECT_TRUE(db().prepareAndExec(q, sql, {user}, &error)) << error.toStdString();
        QStringList l;
        while (q.next()) {
            QString flags;
            for (int i = 1; i <= 5; ++i)
                flags += db().fromDb(Schema::anyColumn("Insert"), q.value(i)).toBool() ? '1' : '0';
            l << q.value(0).toString() + ":" + flags;
        }
        return l;
    }
    Dataset *users() { return dm->dataset("tblUser"); }
    QLineEdit *edit(TfrmUser &w, const char *field) { return qobject_cast<QLineEdit *>(w.field(field)); }
    void selectRow(TfrmUser &w, const QString &id)
    {
        for (int r = 0; r < w.grid()->model()->rowCount(); ++r)
            if (w.grid()->model()->index(r, 0).data().toString() == id) {
                w.grid()->view()->setCurrentIndex(w.grid()->model()->index(r, 0));
                return;
            }
        ADD_FAILURE() << "no row " << id.toStdString();
    }
    // A new user with every required field, typed as far as typing goes.
    void enterNewUser(TfrmUser &w, const QString &id)
    {
        w.BtnAddClick();
        EXPECT_FALSE(edit(w, "UserID")->isReadOnly());
        QTest::keyClicks(edit(w, "UserID"), id);
        users()->setValue("UserName", "赵六");
        users()->setValue("DeptID", "D1");
        QTest::keyClicks(edit(w, "Duty"), "clerk");
    }
};

// A user window that records where the rights window would have opened.
class RecordingUserWindow : public TfrmUser
{
public:
    QStringList opened;

protected:
    void openRights(const QString &userId) override { opened << userId; }
};

TEST_P(UsersTest, ANewUserGetsTheDefaultPasswordWhetherSavedOrStoredOnClosing)
{
    for (const bool viaClose : {false, true}) {
        SCOPED_TRACE(viaClose ? "关闭 and OK" : "保存");
        const QString id = viaClose ? "Zhao2" : "Zhao1";
        prompts.clear();
        TfrmUser w;
        w.show();
        EXPECT_EQ(w.windowTitle(), "用户管理");
        EXPECT_TRUE(edit(w, "UserID")->isReadOnly());
        enterNewUser(w, id);
        if (viaClose) {
            w.BtnCloseClick();
            EXPECT_FALSE(w.isVisible());
            EXPECT_EQ(prompts.texts(), QStringList({"用户资料数据尚未保存，保存吗？", kNewUserInfo}));
        } else {
            w.BtnSaveClick();
            EXPECT_EQ(prompts.texts(), QStringList{kNewUserInfo});
            EXPECT_EQ(prompts.shown[0].kind, "inform");
            EXPECT_TRUE(edit(w, "UserID")->isReadOnly());
        }
        const QString stored = one("SELECT Password FROM tblUser WHERE UserID = ?", {id});
        EXPECT_TRUE(Password::isHash(stored));
        EXPECT_TRUE(Password::verify(stored, "583920"));
        EXPECT_EQ(one("SELECT Duty FROM tblUser WHERE UserID = ?", {id}), "clerk");
    }
    EXPECT_EQ(logLines(), QStringList({"系统设置-用户管理-新增用户", "系统设置-用户管理-保存用户",
                                       "系统设置-用户管理-新增用户"}));
}

TEST_P(UsersTest, SavingChecksTheRequiredFieldsInScreenOrder)
{
    struct Case {
        const char *blank;
        QString message;
    };
    const QVector<Case> cases = {{"UserID", "请输入用户编号！"},
                                 {"UserName", "请输入用户名称！"},
                                 {"DeptID", "请选择输入所在部门！"},
                                 {"Duty", "请输入用户职务！"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.blank);
        prompts.clear();
        TfrmUser w;
        w.show();
        enterNewUser(w, "Qian");
        users()->setValue(c.blank, QVariant());
        w.BtnSaveClick();
        EXPECT_EQ(prompts.texts(), QStringList{c.message});
        EXPECT_EQ(prompts.shown[0].kind, "warn");
        EXPECT_EQ(w.focusWidget(), w.field(c.blank));
        EXPECT_EQ(users()->state(), Dataset::State::Insert) << "the row stays in editing";
        users()->cancel();
    }
    EXPECT_TRUE(column("SELECT UserID FROM tblUser WHERE UserID = 'Qian'").isEmpty());
}

TEST_P(UsersTest, TheAdminRowCannotBeChangedWhereverTheCursorCameFrom)
{
    TfrmUser w;
    w.show();
    // Rows by code: Admin, Boss, Zhang. Reach Admin with the keyboard only.
    selectRow(w, "Zhang");
    QTest::keyClick(w.grid()->view(), Qt::Key_Up);
    QTest::keyClick(w.grid()->view(), Qt::Key_Up);
    ASSERT_EQ(users()->value("UserID").toString(), "Admin");
    EXPECT_TRUE(edit(w, "UserID")->isReadOnly());
    QTest::keyClicks(edit(w, "UserName"), "X");
    // The fields are asked for first, as for any row; the built-in row as
    // made by a new database has no department.
    w.BtnSaveClick();
    EXPECT_EQ(prompts.texts(), QStringList{"请选择输入所在部门！"});
    users()->setValue("DeptID", "D1");
    users()->setValue("Duty", "主管");
    prompts.clear();
    w.BtnSaveClick();
    EXPECT_EQ(prompts.texts(), QStringList{kAdminRefused});
    EXPECT_EQ(one("SELECT UserName FROM tblUser WHERE UserID = 'Admin'"), "系统管理员");
    EXPECT_EQ(one("SELECT Duty FROM tblUser WHERE UserID = 'Admin'"), "");

    // Nor is a change stored by simply moving away from the row.
    QTest::keyClicks(edit(w, "Memo"), "sneaky");
    QTest::keyClick(w.grid()->view(), Qt::Key_Down);
    EXPECT_EQ(users()->value("UserID").toString(), "Boss");
    EXPECT_EQ(one("SELECT Memo FROM tblUser WHERE UserID = 'Admin'"), "");
    // Nor by clicking another row, in a list sorted its own way.
    selectRow(w, "Admin");
    QTest::keyClicks(edit(w, "Memo"), "sneaky");
    QTreeView *list = w.grid()->view();
    ASSERT_EQ(list->objectName(), "dbgUser");
    w.grid()->sortBy("UserName", Qt::DescendingOrder);
    prompts.clear();
    int zhang = 0;
    while (zhang < users()->rowCount() && users()->value(zhang, "UserID").toString() != "Zhang")
        ++zhang;
    const QRect cell = list->visualRect(w.grid()->model()->indexOfSourceRow(zhang));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QCoreApplication::processEvents();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(users()->value("UserID").toString(), "Zhang");
    EXPECT_EQ(one("SELECT Memo FROM tblUser WHERE UserID = 'Admin'"), "");
    w.grid()->sortBy({}); // back to the order by code

    // Clicked on Admin, then moved to another user by keyboard: that user saves.
    prompts.clear();
    selectRow(w, "Admin");
    QTest::keyClick(w.grid()->view(), Qt::Key_End, Qt::ControlModifier);
    ASSERT_EQ(users()->value("UserID").toString(), "Zhang");
    QTest::keyClicks(edit(w, "Duty"), "2");
    w.BtnSaveClick();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(one("SELECT Duty FROM tblUser WHERE UserID = 'Zhang'"), "职员2");
}

TEST_P(UsersTest, DeletingAUserTakesItsRightsAlongAndSystemUsersStay)
{
    grant("Zhang", "301", true);
    grant("Zhang", "101");
    grant("Boss", "101");
    TfrmUser w;
    w.show();

    selectRow(w, "Boss");
    w.BtnDeleteClick();
    EXPECT_EQ(prompts.texts(), QStringList{"对不起,系统用户不能删除!"});
    // Unticking the box without saving does not make it deletable.
    users()->setValue("Sys", false);
    w.BtnDeleteClick();
    EXPECT_EQ(prompts.texts().size(), 2);
    EXPECT_EQ(prompts.last(), "对不起,系统用户不能删除!");
    users()->cancel();

    prompts.clear();
    selectRow(w, "Zhang");
    prompts.answers = {false};
    w.BtnDeleteClick();
    EXPECT_EQ(prompts.texts(), QStringList{"您真的要删除该用户吗？"});
    EXPECT_EQ(rights("Zhang").size(), 2);

    w.BtnDeleteClick(); // OK this time
    EXPECT_TRUE(column("SELECT UserID FROM tblUser WHERE UserID = 'Zhang'").isEmpty());
    EXPECT_TRUE(rights("Zhang").isEmpty());
    EXPECT_EQ(rights("Boss"), QStringList{"101:00000"});

    // Someone new under the old code starts without rights.
    enterNewUser(w, "Zhang");
    w.BtnSaveClick();
    TfrmRight r("Zhang");
    r.show();
    EXPECT_FALSE(r.rightBox("301")->isChecked());
    EXPECT_EQ(logLines().count("系统设置-用户管理-删除用户"), 4);
}

TEST_P(UsersTest, ClosingAsksAboutAPendingChange)
{
    {
        TfrmUser w;
        w.show();
        selectRow(w, "Zhang");
        QTest::keyClicks(edit(w, "Duty"), "X");
        prompts.answers = {false};
        w.BtnCloseClick();
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(prompts.texts(), QStringList{"用户资料数据尚未保存，保存吗？"});
        EXPECT_FALSE(users()->isEditing());
        EXPECT_EQ(one("SELECT Duty FROM tblUser WHERE UserID = 'Zhang'"), "职员");
    }
    {
        prompts.clear();
        TfrmUser w;
        w.show();
        w.BtnAddClick();
        QTest::keyClicks(edit(w, "UserID"), "Sun");
        w.BtnCloseClick(); // OK, but the name is missing
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(prompts.texts(), QStringList({"用户资料数据尚未保存，保存吗？", "请输入用户名称！"}));
        users()->cancel();
        prompts.clear();
        w.BtnCloseClick();
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(prompts.shown.isEmpty());
    }
    EXPECT_TRUE(column("SELECT UserID FROM tblUser WHERE UserID = 'Sun'").isEmpty());
}

TEST_P(UsersTest, RightsAreAssignedOnlyToAStoredUser)
{
    RecordingUserWindow w;
    w.show();
    enterNewUser(w, "Li");
    users()->setValue("Duty", QVariant());
    w.BtnRightClick();
    EXPECT_EQ(prompts.texts(), QStringList{"请输入用户职务！"});
    EXPECT_TRUE(w.opened.isEmpty());

    prompts.clear();
    users()->setValue("Duty", "会计");
    w.BtnRightClick();
    EXPECT_EQ(prompts.texts(), QStringList{kNewUserInfo});
    EXPECT_EQ(w.opened, QStringList{"Li"});
    EXPECT_EQ(one("SELECT Duty FROM tblUser WHERE UserID = 'Li'"), "会计");

    // The Admin row with a change: refused, and no rights window either.
    prompts.clear();
    selectRow(w, "Admin");
    QTest::keyClicks(edit(w, "Memo"), "x");
    users()->setValue("DeptID", "D1");
    users()->setValue("Duty", "主管");
    w.BtnRightClick();
    EXPECT_EQ(prompts.texts(), QStringList{kAdminRefused});
    EXPECT_EQ(w.opened.size(), 1);
    EXPECT_EQ(logLines().filter("权限分配").size(), 3);
}

INSTANTIATE_TEST_SUITE_P(Engines, UsersTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

// --- the rights window -----------------------------------------------------

class RightsTest : public UsersTest
{
};

TEST_P(RightsTest, ShowsTheUsersRightsAndFlags)
{
    grant("Zhang", "301", true); // Insert, Delete, Query
    grant("Zhang", "102");
    grant("Zhang", "306", true); // offers Query and Print only
    grant("Zhang", "999");       // not a right the window knows
    TfrmRight r("Zhang");
    r.show();
    EXPECT_EQ(r.windowTitle(), "权限分配");
    EXPECT_EQ(r.userIdLabel()->text(), "Zhang");
    EXPECT_EQ(r.userNameLabel()->text(), "张三");
    EXPECT_TRUE(r.rightBox("102")->isChecked());
    EXPECT_FALSE(r.rightBox("101")->isChecked());
    EXPECT_TRUE(r.rightBox("301")->isChecked());
    const bool expected301[] = {true, false, true, true, false};
    for (int f = 0; f < TfrmRight::FlagCount; ++f)
        EXPECT_EQ(r.operationBox("301", TfrmRight::Flag(f))->isChecked(), expected301[f]) << f;
    EXPECT_EQ(r.operationBox("306", TfrmRight::Insert), nullptr);
    EXPECT_TRUE(r.operationBox("306", TfrmRight::Query)->isChecked());
    EXPECT_FALSE(r.operationBox("306", TfrmRight::Print)->isChecked());
    EXPECT_EQ(r.operationBox("101", TfrmRight::Query), nullptr);
    EXPECT_EQ(r.operationBox("201", TfrmRight::Modify), nullptr);
    EXPECT_NE(r.operationBox("201", TfrmRight::Delete), nullptr);
    EXPECT_FALSE(r.rightBox("107")->isVisibleTo(&r));
    EXPECT_FALSE(r.rightBox("408")->isVisibleTo(&r));
    EXPECT_FALSE(r.rightBox("502")->isVisibleTo(&r));
}

TEST_P(RightsTest, ClearingARightClearsItsOperationsTickingLeavesThem)
{
    grant("Zhang", "301", true);
    TfrmRight r("Zhang");
    r.show();
    r.rightBox("301")->click();
    for (int f = 0; f < TfrmRight::FlagCount; ++f)
        EXPECT_FALSE(r.operationBox("301", TfrmRight::Flag(f))->isChecked()) << f;
    r.operationBox("302", TfrmRight::Print)->click();
    r.rightBox("302")->click();
    EXPECT_TRUE(r.operationBox("302", TfrmRight::Print)->isChecked());
    EXPECT_FALSE(r.operationBox("302", TfrmRight::Insert)->isChecked());
}

TEST_P(RightsTest, SelectAllCoversItsOwnPageOnly)
{
    auto range = [](int from, int to) {
        QStringList l;
        for (int i = from; i <= to; ++i)
            l << QString::number(i);
        return l;
    };
    struct Case {
        int page;
        QStringList ticked;
    };
    QStringList analyses = range(401, 414);
    analyses.removeAll("408");
    const QVector<Case> cases = {
        {0, range(101, 107)},
        {1, {"201", "303", "601", "602", "603", "604", "605"}},
        {2, range(202, 212)},
        {3, {"301", "302", "304", "305", "306", "307"}},
        {4, analyses},
        {5, {"501", "503"}},
    };
    QStringList all = Schema::rightCodes();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.page);
        TfrmRight r("Zhang");
        r.show();
        r.selectAllBox(c.page)->click();
        QStringList ticked;
        for (const QString &code : all) {
            if (r.rightBox(code)->isChecked())
                ticked << code;
            for (int f = 0; f < TfrmRight::FlagCount; ++f) {
                if (QCheckBox *op = r.operationBox(code, TfrmRight::Flag(f))) {
                    EXPECT_EQ(op->isChecked(), c.ticked.contains(code)) << code.toStdString() << " flag " << f;
                }
            }
        }
        ticked.sort();
        QStringList expected = c.ticked;
        expected.sort();
        EXPECT_EQ(ticked, expected);
        r.selectAllBox(c.page)->click();
        for (const QString &code : all)
            EXPECT_FALSE(r.rightBox(code)->isChecked()) << code.toStdString();
    }
}

TEST_P(RightsTest, SavingReplacesTheRowsInTheFixedOrderWithout502)
{
    grant("Zhang", "502");
    grant("Zhang", "101");
    grant("Zhang", "408"); // hidden, but kept while its box stays ticked
    TfrmRight r("Zhang");
    r.show();
    EXPECT_TRUE(r.rightBox("502")->isChecked());
    r.rightBox("101")->click(); // taken away
    for (const char *code : {"201", "303", "503", "601", "301", "104"})
        r.rightBox(code)->click();
    r.operationBox("301", TfrmRight::Modify)->click();
    r.operationBox("201", TfrmRight::Delete)->click();
    r.BtnSaveClick();
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(rights("Zhang"), QStringList({"104:00000", "201:00100", "301:01000", "303:00000", "408:00000",
                                            "503:00000", "601:00000"}));
    if (GetParam() == Engine::SQLite) { // rows keep the order they were written in
        EXPECT_EQ(column("SELECT RightID FROM tblUserRight WHERE UserID = 'Zhang' ORDER BY rowid"),
                  QStringList({"104", "301", "408", "503", "303", "601", "201"}));
    }
    EXPECT_EQ(logLines(), QStringList{"系统设置-用户管理-权限分配-保存"});
    EXPECT_TRUE(r.isVisible());
}

TEST_P(RightsTest, ASystemUsersRightsAreNeverChanged)
{
    const QStringList before = rights("Admin");
    ASSERT_EQ(before.size(), Schema::rightCodes().size());
    TfrmRight r("Admin");
    r.show();
    r.selectAllBox(0)->click();
    r.selectAllBox(0)->click(); // everything on the page cleared
    r.BtnSaveClick();
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(rights("Admin"), before);
    EXPECT_EQ(logLines(), QStringList{"系统设置-用户管理-权限分配-保存"});
}

TEST_P(RightsTest, AFailureHalfWayKeepsTheOldRightsAndSaysWhy)
{
    grant("Zhang", "101");
    grant("Zhang", "301", true);
    if (GetParam() == Engine::SQLite) {
        ASSERT_EQ(db().exec("CREATE TRIGGER refuse401 BEFORE INSERT ON tblUserRight WHEN NEW.RightID = '401' "
                            "BEGIN SELECT RAISE(ABORT, 'no analyses here'); END"),
                  "");
    } else {
        ASSERT_EQ(db().exec("CREATE FUNCTION refuse401() RETURNS trigger AS $$ BEGIN IF NEW.rightid = '401' THEN "
                            "RAISE EXCEPTION 'no analyses here'; END IF; RETURN NEW; END $$ LANGUAGE plpgsql"),
                  "");
        ASSERT_EQ(db().exec("CREATE TRIGGER refuse401 BEFORE INSERT ON tblUserRight FOR EACH ROW "
                            "EXECUTE FUNCTION refuse401()"),
                  "");
    }
    TfrmRight r("Zhang");
    r.show();
    r.rightBox("101")->click();
    r.rightBox("102")->click();
    r.rightBox("401")->click();
    r.BtnSaveClick();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, "warn");
    EXPECT_TRUE(prompts.last().contains("no analyses here")) << prompts.last().toStdString();
    EXPECT_EQ(rights("Zhang"), QStringList({"101:00000", "301:10110"}));
    EXPECT_FALSE(db().inTransaction());

    // The connection is usable again at once.
    r.rightBox("401")->click();
    r.BtnSaveClick();
    EXPECT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(rights("Zhang"), QStringList({"102:00000", "301:10110"}));
}

TEST_P(RightsTest, RightsThatCouldNotBeReadAreNeverStoredAsEmpty)
{
    // Unticked boxes that never showed the stored rows would take away
    // every right of the user, a system user's as well.
    const QStringList before = rights("Admin");
    grant("Zhang", "301", true);
    ASSERT_EQ(db().exec("ALTER TABLE tblUser RENAME TO tblUserGone"), "");
    for (const char *user : {"Admin", "Zhang"}) {
        SCOPED_TRACE(user);
        prompts.clear();
        TfrmRight r(user);
        r.show();
        ASSERT_EQ(prompts.shown.size(), 1);
        const QString why = prompts.last();
        r.BtnSaveClick();
        EXPECT_EQ(prompts.texts(), QStringList({why, why}));
    }
    EXPECT_EQ(rights("Admin"), before);
    EXPECT_EQ(rights("Zhang"), QStringList{"301:10110"});
    ASSERT_EQ(db().exec("ALTER TABLE tblUserGone RENAME TO tblUser"), "");
}

INSTANTIATE_TEST_SUITE_P(Engines, RightsTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
