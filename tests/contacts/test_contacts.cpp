// The contact window, the contact dialog of the customer window, the
// contact search and selection and the e-mail list, on both engines.
#include "contacts/emailexport.h"
#include "contacts/tfrmlinkman.h"
#include "contacts/tfrmlinkmannew1.h"
#include "contacts/tfrmlinkmanquery.h"
#include "contacts/tfrmlinkmanquery1.h"
#include "customers/customerpicker.h"
#include "customers/tfrmcustomers.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/userrights.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/login.h"
#include "testlib/modal.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"
#include "testlib/typing.h"
#include "ui/fieldbinder.h"
#include "ui/recorddialogs.h"
#include "ui/subpage.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

struct Contact {
    const char *code, *cust, *name, *user;
    const char *duty = "", *nick = "", *email = "";
};

class ContactsTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Database &db = t->db();
        for (const auto &[user, sys] : {std::pair{"zhang", false}, std::pair{"o'brien", false}}) {
            ASSERT_EQ(db.insertRow("tblUser", {{"UserID", user}, {"UserName", user}, {"Sys", sys}}), "");
            for (const char *right : {"301", "302"})
                ASSERT_EQ(db.insertRow("tblUserRight", {{"UserID", user}, {"RightID", right}, {"Insert", true},
                                                        {"Modify", true}, {"Delete", true}, {"Query", true},
                                                        {"Print", true}}),
                          "");
        }
        ASSERT_EQ(db.insertRow("tblVocation", {{"VocationId", "V1"}, {"VocationName", "家庭"}, {"Memo", "-"}}), "");
        addCustomer("C001", "张家", "zhang", {{"Telephone", "6001"}, {"HomePage", "三口人"}, {"Address", "海淀路1号"},
                                              {"PostCode", "100080"}, {"VocationID", "V1"}});
        addCustomer("C002", "李家", "o'brien", {});
        addCustomer("C003", "王家", "Admin", {});
        const Contact contacts[] = {
            {"K1", "C001", "张三", "zhang", "经理", "老张", "zs@example.cn"},
            {"K2", "C001", "李四", "zhang", "司机", "", ""},
            {"K3", "C002", "王小张", "o'brien", "保姆", "小王", "wang@example.cn"},
            {"K4", "C003", "O'Neil", "Admin", "100%经理", "", "oneil@example.cn"},
            {"K5", "C002", "赵六", "zhang", "", "", "zhao@example.cn"}, // another user's customer
        };
        for (const Contact &c : contacts)
            ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", c.code}, {"CustID", c.cust},
                                                   {"Name", QString::fromUtf8(c.name)}, {"SUser", c.user},
                                                   {"Duty", QString::fromUtf8(c.duty)},
                                                   {"NickName", QString::fromUtf8(c.nick)}, {"Email", c.email}}),
                      "");
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
        ModuleFrame::setPrinter([this](Dataset *d, const QString &name, QWidget *) {
            printed << name + ":" + d->name();
            return true;
        });
    }
    void TearDown() override
    {
        w.reset();
        RecordDialogs::install("tblLinkmans", {});
        ModuleFrame::setPrinter({});
        UserRights::current().clear();
        Session::current().reset();
    }
    void addCustomer(const QString &code, const QString &name, const QString &user, FieldValues more)
    {
        more << qMakePair(QStringLiteral("CustId"), QVariant(code)) << qMakePair(QStringLiteral("CustName"), QVariant(name))
             << qMakePair(QStringLiteral("SUser"), QVariant(user));
        ASSERT_EQ(t->db().insertRow("tblCustomers", more), "");
    }
    void logIn(const QString &user, bool sys)
    {
        ASSERT_EQ(logInAs(t->db(), user, sys), "");
        w = std::make_unique<TfrmLinkman>();
        QObject::connect(w.get(), &ModuleFrame::folderChosen, [this](const QString &p) { folder = p; });
        w->show();
        w->open();
        set = w->dataset();
    }
    void switchUser(const QString &user, bool sys)
    {
        w.reset();
        Session::current().reset();
        logIn(user, sys);
    }
    QStringList listed(const char *field = "LinkmanID")
    {
        QStringList codes;
        for (int r = 0; r < set->rowCount(); ++r)
            codes << set->value(r, QString::fromLatin1(field)).toString();
        return codes;
    }
    QWidget *field(const QString &name) { return w->binder()->widgetFor(name); }
    void type(QLineEdit *e, const QString &text) { Typing::type(e, text); }
    void type(const QString &name, const QString &text) { type(qobject_cast<QLineEdit *>(field(name)), text); }
    void choose(QComboBox *c, const QString &shown) { Typing::choose(c, shown); }
    int count(const QString &sql, const QVariantList &v = {}) { return Stored::count(t->db(), sql, v); }
    QString lastLog() { return Stored::lastLog(t->db()); }
    // Runs a search through the window's "查询"; what the search said.
    QString search(const QString &criterion, const QString &text)
    {
        prompts.clear();
        QTimer::singleShot(0, [&] {
            auto *dlg = qobject_cast<TfrmLinkmanQuery1 *>(QApplication::activeModalWidget());
            ASSERT_TRUE(dlg);
            dlg->criterion()->setCurrentIndex(dlg->criterion()->findText(criterion));
            dlg->text()->setText(text);
            dlg->BtnOkClick();
            if (dlg->isVisible())
                dlg->reject(); // it stays open on a refusal
        });
        w->command("ListQuery")->trigger();
        return prompts.last();
    }

    AppHome home;
    FakePrompts prompts;
    TdmMain dm;
    std::unique_ptr<TempDatabase> t;
    std::unique_ptr<TfrmLinkman> w;
    Dataset *set = nullptr;
    QString folder;
    QStringList printed;
};

TEST_P(ContactsTest, EachUserSeesTheContactsHeCreatedWithTheNamesOfHisCustomers)
{
    struct Case {
        const char *user;
        bool sys;
        QStringList codes;
        QStringList customers;
    };
    const Case cases[] = {
        {"Admin", true, {"K1", "K2", "K3", "K4", "K5"}, {"张家", "张家", "李家", "王家", "李家"}},
        // K5 is his, its customer is not: listed without a customer name.
        {"zhang", false, {"K1", "K2", "K5"}, {"张家", "张家", ""}},
        {"o'brien", false, {"K3"}, {"李家"}}, // a quote in the code is an ordinary character
    };
    for (const Case &c : cases) {
        switchUser(c.user, c.sys);
        EXPECT_EQ(listed(), c.codes) << c.user;
        EXPECT_EQ(listed("CustName"), c.customers) << c.user;
    }
}

TEST_P(ContactsTest, ASystemUsersSearchOutlivesReopeningUntilRefresh)
{
    logIn("Admin", true);
    EXPECT_EQ(search("联系人姓名", "张"), "");
    EXPECT_EQ(listed(), (QStringList{"K1", "K3"}));
    w->open();
    EXPECT_EQ(listed(), (QStringList{"K1", "K3"}));
    w->listRefresh();
    EXPECT_EQ(lastLog(), "客户业务管理-联系人资料-刷新");
    EXPECT_EQ(listed().size(), 5);

    // An ordinary user's list is his own again whenever the module opens.
    switchUser("zhang", false);
    EXPECT_EQ(search("联系人代码", "K1"), "");
    EXPECT_EQ(listed(), QStringList{"K1"});
    w->open();
    EXPECT_EQ(listed(), (QStringList{"K1", "K2", "K5"}));
}

TEST_P(ContactsTest, SearchTextIsAValueAndTheUsersTermHoldsForEveryCriterion)
{
    struct Case {
        const char *user;
        bool sys;
        const char *criterion;
        const char *text;
        QStringList found; // empty: nothing found, the window says so and stays
    };
    const Case cases[] = {
        {"Admin", true, "所有联系人", "", {"K1", "K2", "K3", "K4", "K5"}},
        {"Admin", true, "联系人姓名", "张", {"K1", "K3"}}, // anywhere in the name
        {"Admin", true, "联系人姓名", "O'Neil", {"K4"}},   // a quote is a character
        {"Admin", true, "联系人姓名", "' OR '1'='1", {}},
        {"Admin", true, "职务", "100%", {"K4"}},
        {"Admin", true, "职务", "100%理", {"K4"}},         // the user's own % is a wildcard
        {"Admin", true, "客户代码", "c002", {"K3", "K5"}}, // letter case aside
        {"Admin", true, "称呼", "小", {"K3"}},
        {"zhang", false, "所有联系人", "", {"K1", "K2", "K5"}},
        {"zhang", false, "联系人姓名", "张", {"K1"}},       // K3 is o'brien's
        {"zhang", false, "客户代码", "C002", {"K5"}},
        {"zhang", false, "职务", "%", {"K1", "K2"}},        // K5 has none: still only his own
        {"o'brien", false, "联系人姓名", "张", {"K3"}},
        {"o'brien", false, "联系人代码", "K1", {}},
    };
    for (const Case &c : cases) {
        if (!w || Session::current().userId() != QLatin1String(c.user))
            switchUser(c.user, c.sys);
        const QString said = search(QString::fromUtf8(c.criterion), QString::fromUtf8(c.text));
        const std::string what = std::string(c.user) + " " + c.criterion + " " + c.text;
        EXPECT_EQ(listed(), c.found) << what;
        EXPECT_EQ(said, c.found.isEmpty() ? TfrmLinkmanQuery1::kNothingFound : QString()) << what;
    }
}

TEST_P(ContactsTest, TheSearchWindowAsksForTextAndLeavesTheListOnCancel)
{
    logIn("Admin", true);
    TfrmLinkmanQuery1 dlg(set, w->ownContacts());
    EXPECT_EQ(dlg.windowTitle(), "联系人查询");
    EXPECT_FALSE(dlg.text()->isEnabled());
    dlg.criterion()->setCurrentIndex(dlg.criterion()->findText("职务"));
    EXPECT_TRUE(dlg.text()->isEnabled());
    dlg.BtnOkClick();
    EXPECT_EQ(prompts.last(), TfrmLinkmanQuery1::kNoText);
    EXPECT_EQ(listed().size(), 5);
    dlg.text()->setText("司机");
    dlg.criterion()->setCurrentIndex(dlg.criterion()->findText("称呼"));
    EXPECT_EQ(dlg.text()->text(), ""); // a new criterion starts empty

    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto *q = qobject_cast<TfrmLinkmanQuery1 *>(QApplication::activeModalWidget());
        opened = q != nullptr;
        if (q)
            q->reject();
    });
    w->command("ListQuery")->trigger();
    EXPECT_TRUE(opened);
    EXPECT_EQ(lastLog(), "客户业务管理-联系人资料-查询");
    EXPECT_EQ(listed().size(), 5);
}

TEST_P(ContactsTest, SaveTestsCodeNameAndCustomerInOrderThenStampsAndFilesTheContact)
{
    logIn("zhang", false);
    w->listNew();
    EXPECT_TRUE(w->showingDetail());
    EXPECT_EQ(w->focusWidget(), field("LinkmanID"));
    auto *customer = qobject_cast<QComboBox *>(field("CustID"));
    const std::pair<const char *, std::function<void()>> steps[] = {
        {"请输入联系人代码！", [&] { type("LinkmanID", "N1"); }},
        {"请输入联系人姓名！", [&] { type("Name", "新人"); }},
        {"请选择输入客户名称！", [&] { choose(customer, "张家"); }},
    };
    const QStringList fields{"LinkmanID", "Name", "CustID"};
    for (int i = 0; i < int(std::size(steps)); ++i) {
        prompts.clear();
        w->detailSave();
        EXPECT_EQ(lastLog(), "客户业务管理-联系人资料-保存");
        EXPECT_EQ(prompts.last(), QString::fromUtf8(steps[i].first));
        EXPECT_EQ(w->focusWidget(), field(fields[i])) << i;
        steps[i].second();
    }
    prompts.clear();
    w->detailSave();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblLinkmans WHERE LinkmanID = 'N1' AND CustID = 'C001' AND SUser = 'zhang'"), 1);
    EXPECT_EQ(folder, home.path("Files/C001/"));
    EXPECT_TRUE(QDir(home.path("Files/C001")).exists());
    EXPECT_EQ(listed(), (QStringList{"K1", "K2", "K5", "N1"}));

    // K5's customer is not his: saving it asks for a customer he can see.
    ASSERT_TRUE(set->locate("LinkmanID", "K5"));
    w->listModify();
    EXPECT_EQ(lastLog(), "客户业务管理-联系人资料-修改");
    w->detailSave();
    EXPECT_EQ(prompts.last(), "请选择输入客户名称！");
    w->detailCancel();

    // A contact stored earlier without a creator gets one on "保存".
    QSqlQuery q(t->db().sql());
    ASSERT_TRUE(q.exec("UPDATE tblLinkmans SET SUser = NULL WHERE LinkmanID = 'K4'"));
    switchUser("Admin", true);
    ASSERT_TRUE(set->locate("LinkmanID", "K4"));
    w->listModify();
    type("Duty", "经理");
    w->detailSave();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblLinkmans WHERE LinkmanID = 'K4' AND SUser = 'Admin'"), 1);
}

TEST_P(ContactsTest, DeletesAreHeldByAnyContractNamingTheCodeAndCodesTheyNameStay)
{
    // A contract of another customer naming K1 holds it all the same.
    ASSERT_EQ(t->db().insertRow("tblOperates", {{"OperateID", "H1"}, {"CustID", "C003"}, {"LinkmanID", "K1"}}), "");
    logIn("Admin", true);
    ASSERT_TRUE(set->locate("LinkmanID", "K1"));
    w->deleteRecord();
    EXPECT_EQ(lastLog(), "客户业务管理-联系人资料-删除");
    EXPECT_EQ(prompts.last(), "对不起，业务资料有该联系人信息，不能删除！");

    w->listModify();
    type("LinkmanID", "K1X");
    prompts.clear();
    w->detailSave();
    EXPECT_EQ(prompts.last(), "对不起，该代码已被其他资料引用，不能修改！");
    EXPECT_EQ(w->focusWidget(), field("LinkmanID"));
    w->detailCancel();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblLinkmans WHERE LinkmanID = 'K1'"), 1);

    // A code nothing names may change; two contacts may share a code.
    ASSERT_TRUE(set->locate("LinkmanID", "K2"));
    w->listModify();
    type("LinkmanID", "K3");
    prompts.clear();
    w->detailSave();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblLinkmans WHERE LinkmanID = 'K3'"), 2);

    prompts.answers = {false, true};
    w->deleteRecord();
    EXPECT_EQ(prompts.last(), "您真的要删除该联系人吗？");
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblLinkmans"), 5); // Cancel
    w->deleteRecord();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblLinkmans"), 4);
}

TEST_P(ContactsTest, TheCustomerViewShowsTheChosenCustomerWhenTheUserMaySeeIt)
{
    logIn("zhang", false);
    auto shown = [&](const char *f) {
        return qobject_cast<QLineEdit *>(w->customerView()->widget(QString::fromLatin1(f)))->text();
    };
    ASSERT_TRUE(set->locate("LinkmanID", "K1"));
    w->listModify();
    EXPECT_EQ(shown("CustId"), "C001");
    EXPECT_EQ(shown("CustName"), "张家");
    EXPECT_EQ(shown("VocationName"), "家庭");
    EXPECT_EQ(shown("HomePage"), "三口人");
    EXPECT_TRUE(qobject_cast<QLineEdit *>(w->customerView()->widget("CustName"))->isReadOnly());
    w->detailCancel();
    ASSERT_TRUE(set->locate("LinkmanID", "K5")); // o'brien's customer
    EXPECT_EQ(shown("CustId"), "");
    EXPECT_EQ(shown("CustName"), "");

    // The picker beside the customer puts its choice into the contact.
    w->listModify();
    QTimer::singleShot(0, [&] {
        auto *picker = qobject_cast<CustomerPicker *>(QApplication::activeModalWidget());
        ASSERT_TRUE(picker);
        ASSERT_TRUE(picker->customers()->locate("CustId", "C001"));
        picker->BtnSelectClick();
    });
    w->BtnCustQueryClick();
    EXPECT_EQ(set->value("CustID").toString(), "C001");
    EXPECT_EQ(qobject_cast<QComboBox *>(field("CustID"))->currentText(), "张家");
    EXPECT_EQ(shown("CustName"), "张家");
}

TEST_P(ContactsTest, TheEmailListFollowsTheListInUtf8WithCrLf)
{
    logIn("Admin", true);
    const QString dir = home.path("Email");
    struct Case {
        const char *searchFor; // a name; empty: the whole list
        QByteArray content;
    };
    const Case cases[] = {
        {"", "zs@example.cn\r\nwang@example.cn\r\noneil@example.cn\r\nzhao@example.cn\r\n"},
        {"张", "zs@example.cn\r\nwang@example.cn\r\n"},
        {"李四", ""}, // nobody with an address: an empty file, and still a success
    };
    for (const Case &c : cases) {
        if (*c.searchFor) {
            ASSERT_EQ(search("联系人姓名", QString::fromUtf8(c.searchFor)), "");
        }
        prompts.clear();
        prompts.fileNames = {dir + "/list"};
        w->exportCommand()->trigger();
        EXPECT_EQ(prompts.last(), TfrmLinkman::kExportDone) << c.searchFor;
        EXPECT_EQ(home.read("Email/list.txt"), c.content) << c.searchFor;
    }
    EXPECT_EQ(prompts.shown.first().kind, "save");
    EXPECT_EQ(prompts.shown.first().text, "Email地址导出");

    // Cancelled: nothing written, nothing said.
    prompts.clear();
    prompts.fileNames = {QString()};
    w->exportCommand()->trigger();
    EXPECT_EQ(prompts.shown.size(), 1);
    // A folder that cannot be written: the reason, no success.
    prompts.clear();
    prompts.fileNames = {home.path("no/such/dir/x.txt")};
    w->exportCommand()->trigger();
    EXPECT_EQ(prompts.shown.last().kind, "warn");
    EXPECT_NE(prompts.last(), TfrmLinkman::kExportDone);

    // Chinese addresses come out as UTF-8.
    QSqlQuery q(t->db().sql());
    ASSERT_TRUE(q.exec("UPDATE tblLinkmans SET Email = '张三@例子.中国' WHERE LinkmanID = 'K2'"));
    ASSERT_EQ(writeEmailList(t->db(), Condition::equals("LinkmanID", "K2"), dir + "/cn.txt"), "");
    EXPECT_EQ(home.read("Email/cn.txt"), QString("张三@例子.中国\r\n").toUtf8());
}

TEST_P(ContactsTest, PrintingLogsAndPrintsTheContactList)
{
    logIn("Admin", true);
    w->listPrint();
    EXPECT_EQ(lastLog(), "客户业务管理-联系人资料-打印");
    w->detailPrint();
    EXPECT_EQ(printed, (QStringList{"frLinkmans:qryLinkmans1", "frLinkmansDetail:qryLinkmans1"}));
}

TEST_P(ContactsTest, TheSelectionChoosesAmongEveryContactAndHandsThemOver)
{
    logIn("o'brien", false); // no per-user term in the selection
    struct Case {
        const char *criterion;
        const char *text;
        QStringList found;
    };
    const Case cases[] = {
        {"所有联系人", "", {"K1", "K2", "K3", "K4", "K5"}},
        {"客户资料", "C001", {"K1", "K2"}},
        {"联系人资料", "张", {"K1", "K3"}},
        {"联系人资料", "'", {"K4"}},
    };
    for (const Case &c : cases) {
        TfrmLinkmanQuery dlg;
        dlg.criterion()->setCurrentIndex(dlg.criterion()->findText(QString::fromUtf8(c.criterion)));
        dlg.text()->setText(QString::fromUtf8(c.text));
        dlg.BtnOkClick();
        EXPECT_EQ(dlg.result(), QDialog::Accepted) << c.criterion << c.text;
        QStringList codes;
        for (const ChosenContact &k : TfrmLinkmanQuery::chosen())
            codes << k.linkmanId;
        EXPECT_EQ(codes, c.found) << c.criterion << c.text;
    }
    // Nothing found: said, and the window stays.
    {
        prompts.clear();
        TfrmLinkmanQuery dlg;
        dlg.criterion()->setCurrentIndex(dlg.criterion()->findText("联系人资料"));
        dlg.BtnOkClick();
        EXPECT_EQ(prompts.last(), TfrmLinkmanQuery1::kNoText);
        dlg.text()->setText("无此人");
        dlg.BtnOkClick();
        EXPECT_EQ(prompts.last(), TfrmLinkmanQuery1::kNothingFound);
        EXPECT_NE(dlg.result(), QDialog::Accepted);
    }
    // What the mail and the envelopes need, the address of a customer the
    // user may see included.
    switchUser("zhang", false);
    TfrmLinkmanQuery dlg;
    dlg.criterion()->setCurrentIndex(dlg.criterion()->findText("客户资料"));
    dlg.text()->setText("C001");
    dlg.BtnOkClick();
    const QVector<ChosenContact> chosen = TfrmLinkmanQuery::chosen();
    ASSERT_EQ(chosen.size(), 2);
    EXPECT_EQ(chosen[0].name, "张三");
    EXPECT_EQ(chosen[0].email, "zs@example.cn");
    EXPECT_EQ(chosen[0].postCode, "100080");
    EXPECT_EQ(chosen[0].address, "海淀路1号");
}

// The dialog of the customer window's contacts page.
class ContactDialogTest : public ContactsTest
{
protected:
    void SetUp() override
    {
        ContactsTest::SetUp();
        TfrmLinkmanNew1::install();
    }
    void TearDown() override
    {
        customers.reset();
        ContactsTest::TearDown();
    }
    void openCustomers(const QString &user, bool sys)
    {
        customers.reset();
        w.reset();
        ASSERT_EQ(logInAs(t->db(), user, sys), "");
        customers = std::make_unique<TfrmCustomers>();
        customers->show();
        customers->open();
    }
    SubPage *page() { return customers->subPage("tblLinkmans"); }
    // Runs a sub-page command with the dialog in hand.
    void withDialog(QAction *command, std::function<void(TfrmLinkmanNew1 &)> act)
    {
        Modal::withDialog<TfrmLinkmanNew1>(prompts, command, act);
    }
    void typeIn(TfrmLinkmanNew1 &dlg, const char *f, const QString &text)
    {
        Typing::type(dlg.edit(QString::fromLatin1(f)), text);
    }

    std::unique_ptr<TfrmCustomers> customers;
};

TEST_P(ContactDialogTest, AContactMadeInTheCustomerWindowIsListedForItsCreatorOnly)
{
    openCustomers("zhang", false);
    ASSERT_TRUE(customers->dataset()->locate("CustId", "C001"));
    withDialog(page()->command("New"), [&](TfrmLinkmanNew1 &dlg) {
        EXPECT_EQ(dlg.windowTitle(), "联系人");
        EXPECT_EQ(dlg.focusWidget(), dlg.edit("LinkmanID"));
        EXPECT_EQ(dlg.edit("CustName")->text(), "张家");
        typeIn(dlg, "LinkmanID", "D1");
        typeIn(dlg, "Name", "对话框");
        dlg.BtnSaveClick();
        EXPECT_EQ(lastLog(), "客户业务管理-联系人资料-保存");
    });
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblLinkmans WHERE LinkmanID = 'D1' AND CustID = 'C001' AND SUser = 'zhang'"), 1);
    EXPECT_TRUE(QDir(home.path("Files/C001")).exists());

    customers.reset();
    switchUser("zhang", false);
    EXPECT_TRUE(listed().contains("D1"));
    switchUser("o'brien", false);
    EXPECT_FALSE(listed().contains("D1"));
}

TEST_P(ContactDialogTest, ClosingAsksAndNamesTheFirstMissingField)
{
    openCustomers("Admin", true);
    ASSERT_TRUE(customers->dataset()->locate("CustId", "C001"));
    Dataset *contacts = dm.dataset("tblLinkmans");
    withDialog(page()->command("New"), [&](TfrmLinkmanNew1 &dlg) {
        // Both missing: only the code is named.
        prompts.clear();
        dlg.BtnSaveClick();
        EXPECT_EQ(prompts.texts(), QStringList{"请输入联系人代码！"});
        typeIn(dlg, "LinkmanID", "D2");
        prompts.clear();
        prompts.answers = {true};
        dlg.BtnCloseClick();
        EXPECT_EQ(prompts.texts(), (QStringList{TfrmLinkmanNew1::kCloseQuestion, "请输入联系人名称！"}));
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(dlg.focusWidget(), dlg.edit("Name"));
        typeIn(dlg, "Name", "关闭时存");
        prompts.answers = {true};
        dlg.BtnCloseClick();
        EXPECT_FALSE(dlg.isVisible());
    });
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblLinkmans WHERE LinkmanID = 'D2' AND SUser = 'Admin'"), 1);
    EXPECT_EQ(contacts->state(), Dataset::State::Browse);

    // No: the change goes.
    ASSERT_TRUE(contacts->locate("LinkmanID", "K1"));
    withDialog(page()->command("Modify"), [&](TfrmLinkmanNew1 &dlg) {
        typeIn(dlg, "Duty", "改了");
        prompts.answers = {false};
        dlg.BtnCloseClick();
    });
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblLinkmans WHERE Duty = '改了'"), 0);
}

TEST_P(ContactDialogTest, CopyingTheCustomersDetailsFillsOnlyANewContact)
{
    openCustomers("Admin", true);
    ASSERT_TRUE(customers->dataset()->locate("CustId", "C001"));
    Dataset *contacts = dm.dataset("tblLinkmans");
    withDialog(page()->command("New"), [&](TfrmLinkmanNew1 &dlg) {
        typeIn(dlg, "Fax", "自己的传真");
        typeIn(dlg, "Email", "own@example.cn");
        dlg.copyButton()->click();
        EXPECT_EQ(dlg.edit("Telephone")->text(), "6001");
        EXPECT_EQ(dlg.edit("HomeAddress")->text(), "海淀路1号");
        EXPECT_EQ(dlg.edit("HomePage")->text(), "三口人"); // the customer's members
        EXPECT_EQ(dlg.edit("Fax")->text(), "自己的传真");   // the customer has none
        EXPECT_EQ(dlg.edit("Email")->text(), "own@example.cn");
    });
    ASSERT_TRUE(contacts->locate("LinkmanID", "K2"));
    withDialog(page()->command("Modify"), [&](TfrmLinkmanNew1 &dlg) {
        dlg.copyButton()->click();
        EXPECT_EQ(dlg.edit("Telephone")->text(), "");
        EXPECT_EQ(contacts->state(), Dataset::State::Edit);
    });
}

TEST_P(ContactDialogTest, DeletingFromTheDialogUsesTheSameChecks)
{
    ASSERT_EQ(t->db().insertRow("tblOperates", {{"OperateID", "H1"}, {"CustID", "C001"}, {"LinkmanID", "K1"}}), "");
    openCustomers("Admin", true);
    ASSERT_TRUE(customers->dataset()->locate("CustId", "C001"));
    Dataset *contacts = dm.dataset("tblLinkmans");
    ASSERT_TRUE(contacts->locate("LinkmanID", "K1"));
    withDialog(page()->command("Modify"), [&](TfrmLinkmanNew1 &dlg) {
        dlg.BtnDeleteClick();
        EXPECT_EQ(prompts.last(), "对不起，业务资料有该联系人信息，不能删除！");
        EXPECT_EQ(lastLog(), "客户业务管理-联系人资料-删除");
    });
    ASSERT_TRUE(contacts->locate("LinkmanID", "K2"));
    withDialog(page()->command("Modify"), [&](TfrmLinkmanNew1 &dlg) {
        prompts.answers = {true};
        dlg.BtnDeleteClick();
        EXPECT_EQ(prompts.last(), "您真的要删除该联系人资料吗？");
    });
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblLinkmans WHERE LinkmanID = 'K2'"), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, ContactsTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });
INSTANTIATE_TEST_SUITE_P(Engines, ContactDialogTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
