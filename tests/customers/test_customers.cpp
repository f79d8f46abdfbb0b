// The customer window and the customer dialog on both engines: the
// per-user list, saving with its checks and stamps, the district, "查重",
// deleting in order, the sub-pages, folders and printing.
#include "customers/customerfields.h"
#include "customers/tfrmcustomernew1.h"
#include "customers/tfrmcustomerquery3.h"
#include "customers/tfrmcustomers.h"
#include "customers/tfrmcuststatenew.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/userrights.h"
#include "printing/printreport.h"
#include "printing/tfrmreport.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/login.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"
#include "testlib/typing.h"
#include "ui/datagrid.h"
#include "ui/dateedit.h"
#include "ui/gridmodel.h"
#include "ui/fieldbinder.h"
#include "ui/recorddialogs.h"
#include "ui/subpage.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QSqlQuery>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

class CustomersTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Database &db = t->db();
        for (const auto &[table, code, name] : std::initializer_list<std::tuple<const char *, const char *, const char *>>{
                 // 中国 comes with every new database
                 {"tblCountry", "US", "美国"}, {"tblCustDist", "HD", "海淀区"},
                 {"tblVocation", "V1", "家庭"}, {"tblCustOrigin", "O1", "介绍"}, {"tblCustLevel", "L1", "重要"},
                 {"tblCustState", "S1", "正常"}, {"tblFinanceOrgan", "B1", "工商银行"}}) {
            const QString t_ = QString::fromLatin1(table);
            const QString codeCol = t_ == "tblCountry" ? "CountryID" : t_ == "tblCustDist" ? "DistID"
                : t_ == "tblVocation" ? "VocationId" : t_ == "tblCustOrigin" ? "OriginID"
                : t_ == "tblCustLevel" ? "LevelID" : t_ == "tblCustState" ? "StateID" : "OrganID";
            const QString nameCol = t_ == "tblCountry" ? "CountryName" : t_ == "tblCustDist" ? "DistName"
                : t_ == "tblVocation" ? "VocationName" : t_ == "tblCustOrigin" ? "OriginName"
                : t_ == "tblCustLevel" ? "LevelName" : t_ == "tblCustState" ? "StateName" : "OrganName";
            ASSERT_EQ(db.insertRow(t_, {{codeCol, code}, {nameCol, QString::fromUtf8(name)}, {"Memo", "-"}}), "");
        }
        for (const auto &[user, sys] : {std::pair{"zhang", false}, std::pair{"o'brien", false}}) {
            ASSERT_EQ(db.insertRow("tblUser", {{"UserID", user}, {"UserName", user}, {"Sys", sys}}), "");
            ASSERT_EQ(db.insertRow("tblUserRight", {{"UserID", user}, {"RightID", "301"}, {"Insert", true},
                                                    {"Modify", true}, {"Delete", true}, {"Query", true},
                                                    {"Print", true}}),
                      "");
        }
        addCustomer("C001", "张家", "Admin");
        addCustomer("C002", "李家", "zhang");
        addCustomer("C003", "王家", "o'brien");
        addCustomer("C004", "赵家", "");
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
        ModuleFrame::setPrinter([this](Dataset *d, const QString &name, QWidget *) {
            printed << name + ":" + d->name();
            return true;
        });
    }
    void TearDown() override
    {
        w.reset();
        for (const char *table : {"tblLinkmans", "tblOperates", "tblYuangong", "tblCustomerState"})
            RecordDialogs::install(table, {});
        ModuleFrame::setPrinter({});
        UserRights::current().clear();
        Session::current().reset();
    }
    void addCustomer(const QString &code, const QString &name, const QString &user)
    {
        ASSERT_EQ(t->db().insertRow("tblCustomers", {{"CustId", code}, {"CustName", name}, {"SUser", user},
                                                     {"VocationID", "V1"}, {"OriginID", "O1"}, {"LevelID", "L1"},
                                                     {"StateId", "S1"}, {"CreateDate", QDate(2026, 1, 5)},
                                                     {"CountryID", "CN"}}),
                  "");
    }
    void logIn(const QString &user, bool sys)
    {
        ASSERT_EQ(logInAs(t->db(), user, sys), "");
        w = std::make_unique<TfrmCustomers>();
        QObject::connect(w.get(), &ModuleFrame::folderChosen, [this](const QString &p) { folder = p; });
        w->show();
        w->open();
        set = w->dataset();
    }
    QStringList listedCodes()
    {
        QStringList codes;
        for (int r = 0; r < set->rowCount(); ++r)
            codes << set->value(r, "CustId").toString();
        return codes;
    }
    QWidget *field(const QString &name) { return w->binder()->widgetFor(name); }
    SubPage *page(const char *set) { return w->subPage(QString::fromLatin1(set)); }
    void type(QLineEdit *e, const QString &text) { Typing::type(e, text); }
    void type(const QString &name, const QString &text) { type(qobject_cast<QLineEdit *>(field(name)), text); }
    void choose(QComboBox *c, const QString &shown) { Typing::choose(c, shown); }
    void choose(const QString &name, const QString &shown) { choose(qobject_cast<QComboBox *>(field(name)), shown); }
    int count(const QString &sql, const QVariantList &v = {}) { return Stored::count(t->db(), sql, v); }
    QString lastLog() { return Stored::lastLog(t->db()); }
    void fillRequired(const QString &code, const QString &name)
    {
        type("CustId", code);
        type("CustName", name);
        choose("VocationID", "家庭");
        choose("OriginID", "介绍");
        choose("LevelID", "重要");
        choose("StateId", "正常");
        // Typed as a clerk types it, without the leading zeros.
        auto *d = qobject_cast<DateEdit *>(field("CreateDate"));
        d->selectAll();
        QTest::keyClicks(d, "2026-12-1");
    }

    AppHome home;
    FakePrompts prompts;
    TdmMain dm;
    std::unique_ptr<TempDatabase> t;
    std::unique_ptr<TfrmCustomers> w;
    Dataset *set = nullptr;
    QString folder;
    QStringList printed;
};

TEST_P(CustomersTest, EachUserSeesHisOwnCustomersAndASystemUserSeesAll)
{
    struct Case {
        const char *user;
        bool sys;
        QStringList codes;
    };
    const Case cases[] = {{"Admin", true, {"C001", "C002", "C003", "C004"}},
                          {"zhang", false, {"C002"}},
                          {"o'brien", false, {"C003"}}}; // a quote in the code is an ordinary character
    for (const Case &c : cases) {
        logIn(c.user, c.sys);
        EXPECT_EQ(listedCodes(), c.codes) << c.user;
        // The second set, where pickers and names look, follows the same rule.
        Dataset *second = dm.dataset("tblCustomers2");
        QStringList seconds;
        for (int r = 0; r < second->rowCount(); ++r)
            seconds << second->value(r, "CustId").toString();
        EXPECT_EQ(seconds, c.codes) << c.user;
        w.reset();
        Session::current().reset();
    }
}

TEST_P(CustomersTest, TheSysFlagIsReadAgainWhenTheModuleOpens)
{
    logIn("zhang", false);
    ASSERT_EQ(listedCodes(), QStringList{"C002"});
    QSqlQuery q(t->db().sql());
    ASSERT_TRUE(q.exec("UPDATE tblUser SET Sys = TRUE WHERE UserID = 'zhang'") || q.exec("UPDATE tblUser SET Sys = 1 WHERE UserID = 'zhang'"));
    w->open();
    EXPECT_EQ(listedCodes().size(), 4);
}

TEST_P(CustomersTest, SaveTestsRequiredFieldsInOrderWithFocusAndStampsTheCreator)
{
    logIn("zhang", false);
    w->listNew();
    EXPECT_TRUE(w->showingDetail());
    EXPECT_EQ(w->focusWidget(), field("CustId"));
    // Each step fills the field the previous save stopped at.
    const std::pair<const char *, std::function<void()>> steps[] = {
        {"请输入客户简称！", [&] { type("CustId", "N01"); }},
        {"请输入客户名称！", [&] { type("CustName", "新客户"); }},
        {"请选择输入行业类别！", [&] { choose("VocationID", "家庭"); }},
        {"请选择输入客户来源！", [&] { choose("OriginID", "介绍"); }},
        {"请选择输入客户级别！", [&] { choose("LevelID", "重要"); }},
        {"请选择输入客户状态！", [&] { choose("StateId", "正常"); }},
        {"请输入客户建档日期！", [&] { QTest::keyClicks(qobject_cast<DateEdit *>(field("CreateDate")), "2026-12-01"); }},
    };
    const QStringList fieldsInOrder{"CustId", "CustName", "VocationID", "OriginID", "LevelID", "StateId", "CreateDate"};
    for (int i = 0; i < int(std::size(steps)); ++i) {
        prompts.clear();
        w->detailSave();
        EXPECT_EQ(prompts.last(), QString::fromUtf8(steps[i].first));
        EXPECT_EQ(w->focusWidget(), field(fieldsInOrder[i])) << i;
        EXPECT_EQ(lastLog(), "客户业务管理-客户资料-保存");
        steps[i].second();
    }
    prompts.clear();
    w->detailSave();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomers WHERE CustId = 'N01' AND SUser = 'zhang'"), 1);
    EXPECT_TRUE(QDir(home.path("Files/N01")).exists());
    EXPECT_EQ(folder, home.path("Files/N01/"));
    EXPECT_EQ(listedCodes(), (QStringList{"C002", "N01"}));
}

TEST_P(CustomersTest, ACodeWhoseDictionaryEntryIsGoneCountsAsEmpty)
{
    logIn("Admin", true);
    QSqlQuery q(t->db().sql());
    ASSERT_TRUE(q.exec("UPDATE tblCustomers SET LevelID = 'GONE' WHERE CustId = 'C001'"));
    set->refresh();
    set->first();
    w->listModify();
    w->detailSave();
    EXPECT_EQ(prompts.last(), "请选择输入客户级别！");
    EXPECT_EQ(w->focusWidget(), field("LevelID"));
}

TEST_P(CustomersTest, DuplicateCodesAreRefusedOnSaveAndFoundByCheck)
{
    logIn("zhang", false);
    w->listNew();
    fillRequired("C003", "另一家"); // another user's customer has it
    w->detailSave();
    EXPECT_EQ(prompts.last(), CustomerFields::kCodeExists);
    EXPECT_EQ(w->focusWidget(), field("CustId"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomers WHERE CustId = 'C003'"), 1);

    // "查重" reads the whole table; on the page the code is tested as typed.
    struct Case {
        const char *typed;
        bool found;
    };
    for (const Case &c : {Case{"C003", true}, Case{" C003 ", false}, Case{"X'1", false}, Case{"C00%", false}}) {
        prompts.clear();
        type("CustId", QString::fromUtf8(c.typed));
        w->fields()->BtnCheckClick();
        EXPECT_EQ(!prompts.shown.isEmpty() && prompts.last() == CustomerFields::kCodeExists, c.found) << c.typed;
    }
    // The stored customer itself is found by "查重", but saves unchanged.
    w->detailCancel();
    set->first();
    w->listModify();
    w->fields()->BtnCheckClick();
    EXPECT_EQ(prompts.last(), CustomerFields::kCodeExists);
    prompts.clear();
    type("CustName", "李家二");
    w->detailSave();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomers WHERE CustName = '李家二'"), 1);
}

TEST_P(CustomersTest, TheDialogChecksTheTrimmedCode)
{
    logIn("Admin", true);
    TfrmCustomerNew1 dlg;
    Dataset *second = dlg.dataset();
    ASSERT_TRUE(second->append());
    auto *code = dlg.fields()->code();
    code->setText(" C002 ");
    dlg.fields()->BtnCheckClick();
    EXPECT_EQ(prompts.last(), CustomerFields::kCodeExists);
    second->cancel();
}

TEST_P(CustomersTest, TheDistrictOpensOnlyForChineseCustomersAndKeepsItsValue)
{
    logIn("Admin", true);
    set->first();
    w->listModify();
    QComboBox *district = w->fields()->district();
    EXPECT_TRUE(district->isEnabled());
    choose("DistID", "海淀区");
    choose("CountryID", "美国");
    EXPECT_FALSE(district->isEnabled());
    EXPECT_EQ(set->value("DistID").toString(), "HD");
    choose("CountryID", "中国");
    EXPECT_TRUE(district->isEnabled());
    w->detailCancel();
    w->listNew();
    EXPECT_FALSE(district->isEnabled()); // a new customer has no nationality yet
}

TEST_P(CustomersTest, DeletesAreBlockedInOrderAndContactsComeFirst)
{
    Database &db = t->db();
    ASSERT_EQ(db.insertRow("tblOperates", {{"OperateID", "H1"}, {"CustID", "C002"}, {"LinkCustID", "C001"}}), "");
    ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", "K1"}, {"CustID", "C001"}}), "");
    ASSERT_EQ(db.insertRow("tblCustomerState", {{"CustID", "C003"}, {"LinkDate", QDate(2026, 2, 1)}}), "");
    ASSERT_EQ(db.insertRow("tblCustomerAddInfo", {{"CustID", "C004"}}), "");
    ASSERT_EQ(db.insertRow("tblYuangong", {{"YuangongID", "Y1"}, {"CustID", "C004"}}), "");
    logIn("Admin", true);
    struct Case {
        const char *code;
        const char *message; // empty: asked, then deleted
    };
    const Case cases[] = {
        {"C001", "对不起，该客户有联系人资料，不能删除！"}, // also the linked customer of H1
        {"C002", "对不起，该客户有业务资料，不能删除！"},
        {"C003", "对不起，该客户有客户接触信息，不能删除！"},
        {"C004", "对不起，该客户有其他资料信息，不能删除！"},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(set->locate("CustId", c.code));
        prompts.clear();
        w->deleteRecord();
        EXPECT_EQ(lastLog(), "客户业务管理-客户资料-删除");
        EXPECT_EQ(prompts.last(), QString::fromUtf8(c.message)) << c.code;
    }
    // Without the contact the linked customer is still held by the contract.
    QSqlQuery q(db.sql());
    ASSERT_TRUE(q.exec("DELETE FROM tblLinkmans"));
    ASSERT_TRUE(set->locate("CustId", "C001"));
    w->deleteRecord();
    EXPECT_EQ(prompts.last(), "对不起，该客户有业务资料，不能删除！");
    // A plan blocks too; workers placed with a customer do not.
    ASSERT_TRUE(q.exec("DELETE FROM tblCustomerAddInfo"));
    ASSERT_EQ(db.insertRow("tblPlan", {{"CustID", "C004"}}), "");
    ASSERT_TRUE(set->locate("CustId", "C004"));
    w->deleteRecord();
    EXPECT_EQ(prompts.last(), "对不起，该客户有日程安排，不能删除！");
    ASSERT_TRUE(q.exec("DELETE FROM tblPlan"));
    prompts.answers = {false, true};
    w->deleteRecord();
    EXPECT_EQ(prompts.last(), CustomerFields::kDeleteQuestion);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomers WHERE CustId = 'C004'"), 1); // Cancel
    w->deleteRecord();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomers WHERE CustId = 'C004'"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblYuangong WHERE CustID = 'C004'"), 1); // nothing cascades
}

TEST_P(CustomersTest, TheCodeOfACustomerOthersNameCannotChange)
{
    Database &db = t->db();
    ASSERT_EQ(db.insertRow("tblYuangong", {{"YuangongID", "Y1"}, {"CustID", "C001"}}), "");
    logIn("Admin", true);
    ASSERT_TRUE(set->locate("CustId", "C001"));
    w->listModify();
    type("CustId", "C001X");
    w->detailSave();
    EXPECT_EQ(prompts.last(), ModuleFrame::kCodeInUse);
    EXPECT_EQ(w->focusWidget(), field("CustId"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomers WHERE CustId = 'C001'"), 1);
    w->detailCancel();
    // A customer nothing names may be renamed.
    ASSERT_TRUE(set->locate("CustId", "C002"));
    w->listModify();
    prompts.clear();
    type("CustId", "C002X");
    w->detailSave();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomers WHERE CustId = 'C002X'"), 1);
    EXPECT_TRUE(QDir(home.path("Files/C002X")).exists());
}

TEST_P(CustomersTest, StoringByMovingAwayKeepsTheSameRules)
{
    ASSERT_EQ(t->db().insertRow("tblPlan", {{"CustID", "C002"}}), "");
    logIn("zhang", false);
    // A referenced code changed and left by moving: the store is refused.
    ASSERT_TRUE(set->locate("CustId", "C002"));
    ASSERT_TRUE(set->setValue("CustId", "C002Z"));
    EXPECT_FALSE(set->append());
    EXPECT_EQ(set->lastError(), ModuleFrame::kCodeInUse);
    EXPECT_EQ(set->state(), Dataset::State::Edit);
    set->cancel();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomers WHERE CustId = 'C002'"), 1);
    // A new customer stored without "保存" still belongs to its creator.
    ASSERT_TRUE(set->append());
    ASSERT_TRUE(set->setValue("CustId", "M01"));
    ASSERT_TRUE(set->first());
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomers WHERE CustId = 'M01' AND SUser = 'zhang'"), 1);
}

TEST_P(CustomersTest, TheDialogStampsTheCreatorAlsoWhenStoredByClosing)
{
    logIn("zhang", false);
    TfrmCustomerNew1 dlg;
    Dataset *second = dlg.dataset();
    dlg.BtnNewClick();
    ASSERT_EQ(second->state(), Dataset::State::Insert);
    auto typeIn = [&](const QString &f, const QString &text) {
        auto *e = qobject_cast<QLineEdit *>(dlg.binder()->widgetFor(f));
        e->setText(text);
    };
    auto pick = [&](const QString &f, const QString &shown) {
        auto *c = qobject_cast<QComboBox *>(dlg.binder()->widgetFor(f));
        const int i = c->findText(shown);
        c->setCurrentIndex(i);
        emit c->activated(i);
    };
    typeIn("CustId", "D01");
    typeIn("CustName", "对话框客户");
    pick("VocationID", "家庭");
    pick("OriginID", "介绍");
    pick("LevelID", "重要");
    pick("StateId", "正常");
    // Yes with a field missing keeps the dialog open at that field.
    prompts.answers = {true};
    dlg.BtnCloseClick();
    EXPECT_EQ(prompts.last(), "请输入客户建档日期！");
    EXPECT_EQ(second->state(), Dataset::State::Insert);
    QTest::keyClicks(qobject_cast<DateEdit *>(dlg.binder()->widgetFor("CreateDate")), "20261202");
    prompts.answers = {true};
    dlg.BtnCloseClick();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomers WHERE CustId = 'D01' AND SUser = 'zhang'"), 1);
    EXPECT_TRUE(QDir(home.path("Files/D01")).exists());
}

TEST_P(CustomersTest, TheDialogDiscardsOnNoAndDeletesWithTheSameChecks)
{
    ASSERT_EQ(t->db().insertRow("tblLinkmans", {{"LinkmanID", "K1"}, {"CustID", "C002"}}), "");
    logIn("Admin", true);
    TfrmCustomerNew1 dlg;
    Dataset *second = dlg.dataset();
    ASSERT_TRUE(second->locate("CustId", "C002"));
    qobject_cast<QLineEdit *>(dlg.binder()->widgetFor("CustName"))->setText("改了");
    ASSERT_EQ(second->state(), Dataset::State::Edit);
    prompts.answers = {false};
    dlg.BtnCloseClick();
    EXPECT_EQ(prompts.shown.first().text, "客户资料数据尚未保存，保存吗？");
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomers WHERE CustName = '李家'"), 1);
    prompts.clear();
    dlg.BtnDeleteClick();
    EXPECT_EQ(prompts.last(), "对不起，该客户有联系人资料，不能删除！");
    EXPECT_EQ(lastLog(), "客户业务管理-客户资料-删除");
}

TEST_P(CustomersTest, SubPagesDeleteWithTheirChecksAndQuestions)
{
    Database &db = t->db();
    ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", "K1"}, {"CustID", "C001"}, {"Name", "甲"}}), "");
    ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", "K2"}, {"CustID", "C001"}, {"Name", "乙"}}), "");
    ASSERT_EQ(db.insertRow("tblOperates", {{"OperateID", "H1"}, {"CustID", "C001"}, {"LinkmanID", "K1"}}), "");
    ASSERT_EQ(db.insertRow("tblOperates", {{"OperateID", "H2"}, {"CustID", "C001"}}), "");
    ASSERT_EQ(db.insertRow("tblOperateDetail", {{"OperateID", "H1"}, {"DetailNo", 1}}), "");
    ASSERT_EQ(db.insertRow("tblYuangong", {{"YuangongID", "Y1"}, {"CustID", "C001"}}), "");
    ASSERT_EQ(db.insertRow("tblCustomerState", {{"CustID", "C001"}, {"LinkDate", QDate(2026, 2, 1)}}), "");
    logIn("Admin", true);
    ASSERT_TRUE(set->locate("CustId", "C001"));
    auto sub = [&](const char *name) { return dm.dataset(QString::fromLatin1(name)); };
    ASSERT_EQ(sub("tblLinkmans")->rowCount(), 2);

    ASSERT_TRUE(sub("tblLinkmans")->locate("LinkmanID", "K1"));
    page("tblLinkmans")->runDelete();
    EXPECT_EQ(prompts.last(), "对不起，业务资料有该联系人信息，不能删除！");
    ASSERT_TRUE(sub("tblLinkmans")->locate("LinkmanID", "K2"));
    page("tblLinkmans")->runDelete();
    EXPECT_EQ(prompts.last(), "您真的要删除该联系人资料吗？");
    ASSERT_TRUE(sub("tblOperates")->locate("OperateID", "H1"));
    page("tblOperates")->runDelete();
    EXPECT_EQ(prompts.last(), "对不起，该业务资料包括业务子项信息，不能删除！");
    ASSERT_TRUE(sub("tblOperates")->locate("OperateID", "H2"));
    page("tblOperates")->runDelete();
    EXPECT_EQ(prompts.last(), "您真的要删除该业务资料吗？");
    page("tblYuangong1")->runDelete();
    EXPECT_EQ(prompts.last(), "您真的要删除该员工资料吗？");
    page("tblCustomerState")->runDelete();
    EXPECT_EQ(prompts.last(), "您真的要删除该接触机会信息吗？");
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblLinkmans"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblOperates"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblYuangong"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomerState"), 0);
}

TEST_P(CustomersTest, AdditionalInformationBeginsOnFirstModifyAndAgainAfterDelete)
{
    logIn("Admin", true);
    ASSERT_TRUE(set->locate("CustId", "C002"));
    Dataset *info = dm.dataset("tblCustomerAddInfo");
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(info->isEmpty());
        page("tblCustomerAddInfo")->runModify();
        EXPECT_EQ(info->state(), Dataset::State::Insert);
        auto *bank = qobject_cast<QComboBox *>(page("tblCustomerAddInfo")->binder()->widgetFor("BankID"));
        const int i = bank->findText("工商银行");
        bank->setCurrentIndex(i);
        emit bank->activated(i);
        qobject_cast<QLineEdit *>(page("tblCustomerAddInfo")->binder()->widgetFor("Account"))->setText("6222 0001");
        page("tblCustomerAddInfo")->runSave();
        EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomerAddInfo WHERE CustID = 'C002' AND BankID = 'B1' "
                        "AND Account = '6222 0001'"),
                  1);
        EXPECT_EQ(info->value("OrganName").toString(), "工商银行");
        prompts.answers = {true};
        page("tblCustomerAddInfo")->runDelete();
        EXPECT_EQ(prompts.last(), "您真的要删除该资料吗？");
        EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomerAddInfo"), 0);
    }
}

TEST_P(CustomersTest, PrintingLogsAndHandsEachPageItsSet)
{
    logIn("Admin", true);
    w->listPrint();
    EXPECT_EQ(lastLog(), "客户业务管理-客户资料-打印");
    const std::tuple<const char *, const char *, const char *> pages[] = {
        {"tblLinkmans", "客户业务管理-客户资料-联系人-打印", "frCustomerLinkman:tblLinkmans"},
        {"tblOperates", "客户业务管理-客户资料-业务资料-打印", "frCustomerOperate:tblOperates"},
        {"tblYuangong1", "客户业务管理-客户资料-员工资料-打印", "frCustomerYuangong:tblYuangong1"},
        {"tblCustomerState", "客户业务管理-客户资料-客户接触-打印", "frCustomerState:tblCustomerState"},
        {"tblCustomerAddInfo", "客户业务管理-客户资料-其他资料-打印", "frCustomerOther:tblCustomerAddInfo"},
    };
    for (const auto &[set, log, what] : pages) {
        page(set)->runPrint();
        EXPECT_EQ(lastLog(), QString::fromUtf8(log));
        EXPECT_EQ(printed.last(), QString::fromUtf8(what));
    }
    EXPECT_EQ(printed.first(), "frCustomers:tblCustomers");
}

// What the preview of a print command shows, through the program's own
// print call; the preview is modal, so it is read from inside its loop.
QString previewText(const std::function<void()> &print)
{
    QString text;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *form = qobject_cast<TfrmReport *>(top); form && form->isVisible()) {
                poll.stop();
                for (const ReportPage &page : form->report().pages)
                    for (const PagePrimitive &p : page)
                        text += p.text + QLatin1Char('\n');
                form->reject();
                return;
            }
    });
    poll.start();
    print();
    return text;
}

// Every printout names the agency, though nothing but the agency's own
// window opens its details, and a per-customer list names its customer.
TEST_P(CustomersTest, PrintoutsCarryTheAgencyAndTheCustomersName)
{
    const QString shipped = QStringLiteral(QT_TESTCASE_SOURCEDIR "/../Data/Report");
    ASSERT_TRUE(QDir().mkpath(home.path("Data/Report")));
    for (const QString &f : QDir(shipped).entryList({"*.frf"}))
        ASSERT_TRUE(QFile::copy(shipped + "/" + f, home.path("Data/Report/" + f)));
    ASSERT_EQ(t->db().insertRow("tblUserInfo", {{"UserName", "安心家政服务公司"}, {"Telephone", "010-62345678"}}), "");
    ASSERT_EQ(t->db().insertRow("tblCustomerState", {{"CustID", "C001"}, {"LinkDate", QDate(2026, 1, 8)},
                                                     {"LinkType", "电话联系"}, {"Linkman", "张先生"}}),
              "");
    ASSERT_EQ(t->db().insertRow("tblCustomerAddInfo", {{"CustID", "C001"}, {"Account", "6222020200112233"}}), "");
    ModuleFrame::setPrinter(&printReport);
    logIn("Admin", true);
    ASSERT_FALSE(dm.dataset("tblUserInfo")->isActive());
    ASSERT_TRUE(set->locate("CustId", "C001"));
    const struct {
        const char *what;
        std::function<void()> print;
        QStringList texts;
    } cases[] = {
        {"list", [&] { w->listPrint(); }, {"客户资料列表", "C001", "张家", "C002", "李家"}},
        {"detail", [&] { w->detailPrint(); }, {"客户资料", "C001", "张家"}},
        {"history", [&] { page("tblCustomerState")->runPrint(); }, {"客户接触记录", "C001", "张家", "张先生"}},
        {"other", [&] { page("tblCustomerAddInfo")->runPrint(); }, {"客户其他资料", "C001", "张家", "6222020200112233"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString text = previewText(c.print);
        EXPECT_TRUE(text.startsWith("安心家政服务公司\n")) << text.toStdString();
        for (const QString &part : c.texts)
            EXPECT_TRUE(text.contains(part)) << part.toStdString() << " in " << text.toStdString();
    }
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_P(CustomersTest, DialogCommandsWaitForTheirDialogsAndThenWorkOnTheDetailSet)
{
    logIn("Admin", true);
    ASSERT_TRUE(set->locate("CustId", "C002"));
    EXPECT_FALSE(page("tblLinkmans")->command("New")->isEnabled());
    Dataset::State seen = Dataset::State::Inactive;
    QString custOfNewRow;
    RecordDialogs::install("tblLinkmans", [&](QWidget *) {
        Dataset *contacts = dm.dataset("tblLinkmans");
        seen = contacts->state();
        custOfNewRow = contacts->value("CustID").toString();
        contacts->setValue("LinkmanID", "K9");
        contacts->post();
    });
    w->updateCommands();
    ASSERT_TRUE(page("tblLinkmans")->command("New")->isEnabled());
    page("tblLinkmans")->command("New")->trigger();
    EXPECT_EQ(seen, Dataset::State::Insert);
    EXPECT_EQ(custOfNewRow, "C002");
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblLinkmans WHERE CustID = 'C002' AND LinkmanID = 'K9'"), 1);

    // While the customer's code is being changed, new rows wait for the
    // save: they would take a code that "放弃" throws away.
    w->listModify();
    type("CustId", "C002X");
    EXPECT_FALSE(page("tblLinkmans")->command("New")->isEnabled());
    EXPECT_FALSE(page("tblCustomerState")->command("New")->isEnabled());
    seen = Dataset::State::Inactive;
    page("tblLinkmans")->runNew();
    EXPECT_EQ(seen, Dataset::State::Inactive); // no dialog
    // Even a row begun at the data level takes the stored code.
    Dataset *history = dm.dataset("tblCustomerState");
    ASSERT_TRUE(history->isActive() || history->open());
    ASSERT_TRUE(history->append());
    EXPECT_EQ(history->value("CustID").toString(), "C002");
    history->cancel();
    type("CustId", "C002"); // typed back: nothing is being changed any more
    EXPECT_TRUE(page("tblLinkmans")->command("New")->isEnabled());
    w->detailCancel();
}

TEST_P(CustomersTest, OpeningTheModuleAgainKeepsACustomerHalfTyped)
{
    ASSERT_EQ(t->db().insertRow("tblLinkmans", {{"LinkmanID", "K1"}, {"CustID", "C002"}}), "");
    logIn("zhang", false);
    w->listModify();
    type("CustName", "李家改名");
    w->open();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomers WHERE CustName = '李家改名'"), 1);
    EXPECT_EQ(set->state(), Dataset::State::Browse);
    // A store that is refused leaves the user at the row with the reason.
    w->listModify();
    type("CustId", "C002Y");
    w->open();
    EXPECT_EQ(prompts.last(), ModuleFrame::kCodeInUse);
    EXPECT_EQ(set->state(), Dataset::State::Edit);
    EXPECT_EQ(set->value("CustId").toString(), "C002Y");
}

TEST_P(CustomersTest, HistoryAndQueryOpenTheirWindowsOnThisCustomer)
{
    logIn("Admin", true);
    ASSERT_TRUE(set->locate("CustId", "C003"));
    QAction *add = page("tblCustomerState")->command("New");
    ASSERT_TRUE(add->isEnabled());
    Dataset *history = dm.dataset("tblCustomerState");
    QString custOfRow;
    QTimer::singleShot(0, [&] {
        auto *dlg = qobject_cast<TfrmCustStateNew *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dlg);
        custOfRow = history->value("CustID").toString();
        prompts.answers = {false}; // not saved: the new row goes
        dlg->BtnCloseClick();
    });
    add->trigger();
    EXPECT_EQ(custOfRow, "C003");
    EXPECT_EQ(history->state(), Dataset::State::Browse);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomerState"), 0);

    bool queried = false;
    QTimer::singleShot(0, [&] {
        queried = qobject_cast<TfrmCustomerQuery3 *>(QApplication::activeModalWidget()) != nullptr;
        QApplication::activeModalWidget()->close();
    });
    w->command("ListQuery")->trigger();
    EXPECT_TRUE(queried);
    EXPECT_EQ(lastLog(), "客户业务管理-客户资料-查询");
}

INSTANTIATE_TEST_SUITE_P(Engines, CustomersTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace

namespace {
// A detail row being typed whose store is refused (here another workstation
// changed it meanwhile) stops the customer list from moving: the reason is
// shown, the customer stays, and what was typed is still there to mend.
TEST_P(CustomersTest, ARefusedDetailStoreKeepsTheCustomerAndTheTyping)
{
    logIn("Admin", true);
    ASSERT_EQ(t->db().insertRow("tblCustomerAddInfo", {{"CustID", "C002"}, {"Account", "旧账号"}}), "");
    ASSERT_TRUE(set->locate("CustId", "C002"));
    Dataset *info = dm.dataset("tblCustomerAddInfo");
    ASSERT_TRUE(info->isActive() || info->open());
    ASSERT_EQ(info->rowCount(), 1);
    page("tblCustomerAddInfo")->runModify();
    auto *account = qobject_cast<QLineEdit *>(page("tblCustomerAddInfo")->binder()->widgetFor("Account"));
    account->setText("本站新账号");
    ASSERT_EQ(info->state(), Dataset::State::Edit);
    {
        // Another workstation.
        auto other = t->openAnother();
        QSqlQuery q(other->sql());
        ASSERT_TRUE(q.exec("UPDATE tblCustomerAddInfo SET Account = '别处改的' WHERE CustID = 'C002'"));
    }
    const int before = set->currentRow();
    prompts.clear();
    // Through the list, as a click on another customer does.
    w->grid()->view()->setCurrentIndex(w->grid()->model()->indexOfSourceRow(before == 0 ? 1 : 0));
    QApplication::processEvents();
    EXPECT_EQ(set->currentRow(), before);
    EXPECT_EQ(set->value("CustId").toString(), "C002");
    ASSERT_FALSE(prompts.shown.isEmpty());
    EXPECT_FALSE(prompts.last().isEmpty());
    EXPECT_EQ(info->state(), Dataset::State::Edit);
    EXPECT_EQ(account->text(), "本站新账号");
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomerAddInfo WHERE Account = '别处改的'"), 1);
    // At the data level too: the move is refused with the detail's words.
    EXPECT_FALSE(set->next());
    EXPECT_EQ(set->lastError(), info->lastError());
    // Giving the typing up lets the list move on.
    info->cancel();
    EXPECT_TRUE(set->next());
}
} // namespace
