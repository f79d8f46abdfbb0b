// The contract window with its money lines, the contract dialog of the
// customer window, the contract search and the receivables and payables,
// on both engines. Amounts are checked to the last place.
#include "contracts/contracteditor.h"
#include "contracts/data/contractrules.h"
#include "contracts/tfrmgathering.h"
#include "contracts/tfrminoutquery.h"
#include "contracts/tfrmoperatenew1.h"
#include "contracts/tfrmoperatenewchild.h"
#include "contracts/tfrmoperatequery1.h"
#include "contracts/tfrmoperates.h"
#include "customers/tfrmcustomers.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/money.h"
#include "data/schema.h"
#include "data/tabledef.h"
#include "data/session.h"
#include "data/userrights.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"
#include "testlib/typing.h"
#include "ui/datagrid.h"
#include "ui/dateedit.h"
#include "ui/gridmodel.h"
#include "ui/fieldbinder.h"
#include "ui/querydialog.h"
#include "ui/recorddialogs.h"
#include "ui/subpage.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

QString money(const QVariant &v)
{
    const auto m = Money::fromVariant(v);
    return m ? m->toString() : QStringLiteral("<empty>");
}

class ContractsTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Database &db = t->db();
        for (const char *user : {"zhang", "li"}) {
            ASSERT_EQ(db.insertRow("tblUser", {{"UserID", user}, {"UserName", user}, {"Sys", false}}), "");
            for (const char *right : {"301", "304", "306", "307"})
                ASSERT_EQ(db.insertRow("tblUserRight", {{"UserID", user}, {"RightID", right}, {"Insert", true},
                                                        {"Modify", true}, {"Delete", true}, {"Query", true},
                                                        {"Print", true}}),
                          "");
        }
        for (const auto &[id, name, rate] : {std::tuple{"USD", "美元", 8.27}, std::tuple{"HKD", "港币", 0.5}})
            ASSERT_EQ(db.insertRow("tblCurrencyRate", {{"CurrID", id}, {"CurrName", name}, {"Rate", rate}, {"Memo", "-"}}), "");
        ASSERT_EQ(db.insertRow("tblOperateOrigin", {{"OriginID", "O1"}, {"OriginName", "介绍"}, {"Memo", "-"}}), "");
        ASSERT_EQ(db.insertRow("tblOperateType", {{"TypeID", "T1"}, {"TypeName", "保姆"}, {"Memo", "-"}}), "");
        ASSERT_EQ(db.insertRow("tblOperateState", {{"OperateStateID", "S1"}, {"OperateStateName", "执行中"}, {"Memo", "-"}}), "");
        ASSERT_EQ(db.insertRow("tblOperaters", {{"OperaterID", "E01"}, {"Name", "王芳"}}), "");
        ASSERT_EQ(db.insertRow("tblOperaters", {{"OperaterID", "E012"}, {"Name", "赵强"}}), "");
        for (const auto &[id, name, user] : {std::tuple{"C1", "张家", "zhang"}, std::tuple{"C2", "李家", "li"}})
            ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", id}, {"CustName", name}, {"SUser", user}}), "");
        ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", "K1"}, {"CustID", "C1"}, {"Name", "张三"}, {"SUser", "zhang"}}), "");
        // Receivables and payables, each case of the lists.
        contract("R1", "C1", "收款", "zhang", "1000", {2026, 12, 1}, {2026, 12, 5}, "E01");
        line("R1", 1, "300", "收入");
        line("R1", 2, "200", "支出");
        contract("R2", "C2", "收款", "li", "250.05", {2026, 12, 2}, {2026, 12, 7}, "E012"); // no money line
        contract("R3", "GONE", "收款", "zhang", "0.3", {2026, 12, 3}, {2026, 11, 1}, "E01"); // no customer row
        line("R3", 1, "0.1", "收入");
        line("R3", 2, "0.1", "收入");
        contract("P1", "C1", "付款", "zhang", "80", {2026, 12, 3}, {2026, 12, 9}, "E01");
        dm.connectTo(t->openAnother());
        ModuleFrame::setPrinter([this](Dataset *d, const QString &name, QWidget *) {
            printed << name + ":" + d->name();
            return true;
        });
        TfrmOperateNew1::install();
        TfrmOperateNewChild::install();
    }
    void TearDown() override
    {
        customers.reset();
        w.reset();
        RecordDialogs::install("tblOperates", {});
        RecordDialogs::install("tblOperateDetail", {});
        ModuleFrame::setPrinter({});
        UserRights::current().clear();
        Session::current().reset();
    }
    void contract(const char *id, const char *cust, const char *dir, const char *user, const char *rmb, QDate created,
                  QDate due, const char *staff)
    {
        ASSERT_EQ(t->db().insertRow("tblOperates", {{"OperateID", id}, {"OperateTitle", QString("合同") + id},
                                                    {"CustID", cust}, {"InOrOut", dir}, {"SUser", user},
                                                    {"CompactAmount", rmb}, {"RMB", rmb}, {"CreateDate", created},
                                                    {"EndDate", due}, {"OperaterID", staff}, {"OperateStateID", "S1"}}),
                  "");
    }
    void line(const char *id, int no, const char *rmb, const char *kind)
    {
        ASSERT_EQ(t->db().insertRow("tblOperateDetail", {{"OperateID", id}, {"DetailNo", no}, {"DTitle", "款"},
                                                         {"InOut", kind}, {"RMB", rmb}}),
                  "");
    }
    void logIn(const QString &user, bool sys)
    {
        Session::current().logIn(user, sys);
        ASSERT_EQ(UserRights::current().load(t->db(), user), "");
    }
    void openContracts(const QString &user, bool sys)
    {
        w.reset();
        Session::current().reset();
        logIn(user, sys);
        w = std::make_unique<TfrmOperates>();
        w->resize(792, 500);
        w->show();
        w->open();
        set = w->dataset();
    }
    QStringList listed(Dataset *d, const char *field)
    {
        QStringList v;
        for (int r = 0; r < d->rowCount(); ++r)
            v << d->value(r, QString::fromLatin1(field)).toString();
        return v;
    }
    QWidget *field(const QString &name) { return w->form()->widget(name); }
    void type(QWidget *w, const QString &text) { Typing::type(w, text); }
    void choose(QWidget *w, const QString &shown) { Typing::choose(w, shown); }
    QVariant stored(const QString &sql) { return Stored::value(t->db(), sql); }
    QString lastLog() { return Stored::lastLog(t->db()); }
    // A contract with every required field filled, left on the detail page unsaved.
    void fillNew(const QString &code, const QString &skip = {})
    {
        w->listNew();
        const std::pair<QString, QString> texts[] = {{"OperateID", code}, {"OperateTitle", "新合同"}};
        for (const auto &[f, v] : texts)
            type(field(f), v);
        if (skip != "CustID")
            choose(field("CustID"), "张家");
        for (const char *f : {"CreateDate", "WriteDate", "EndDate"})
            if (skip != f)
                QTest::keyClicks(field(f), "2026-12-10");
        choose(field("OriginId"), "介绍");
        choose(field("TypeID"), "保姆");
        choose(field("InOrOut"), "收款");
        choose(field("OperateStateID"), "执行中");
    }

    AppHome home;
    FakePrompts prompts;
    TdmMain dm;
    std::unique_ptr<TempDatabase> t;
    std::unique_ptr<TfrmOperates> w;
    std::unique_ptr<TfrmCustomers> customers;
    Dataset *set = nullptr;
    QStringList printed;
};

TEST_P(ContractsTest, EachUserSeesHisOwnContractsASystemUserAll)
{
    struct Case {
        const char *user;
        bool sys;
        QStringList codes;
    };
    for (const Case &c : {Case{"Admin", true, {"P1", "R1", "R2", "R3"}}, Case{"zhang", false, {"P1", "R1", "R3"}},
                          Case{"li", false, {"R2"}}}) {
        openContracts(c.user, c.sys);
        EXPECT_EQ(listed(set, "OperateID"), c.codes) << c.user;
    }
    EXPECT_EQ(lastLog(), ""); // opening is logged by the main window's action
}

TEST_P(ContractsTest, TheFormConvertsAsTheUserTypes)
{
    openContracts("zhang", false);
    fillNew("N1");
    type(field("CompactAmount"), "100");
    choose(field("CurrID"), "美元");
    EXPECT_EQ(money(set->value("RMB")), "827");
    choose(field("CurrID"), "人民币");
    EXPECT_EQ(money(set->value("RMB")), "100");
    EXPECT_EQ(qobject_cast<QLineEdit *>(field("RMB"))->text(), "¥100.00");
    type(field("Profit"), "25");
    w->editor()->profitLeft();
    EXPECT_DOUBLE_EQ(set->value("Rate").toDouble(), 0.25);
    w->detailSave();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(lastLog(), "客户业务管理-业务资料-保存");
    EXPECT_EQ(stored("SELECT SUser FROM tblOperates WHERE OperateID = 'N1'").toString(), "zhang");

    // A browsed contract is put into editing by leaving the amount.
    ASSERT_EQ(set->state(), Dataset::State::Browse);
    type(field("CompactAmount"), "0");
    w->editor()->amountLeft();
    EXPECT_EQ(money(set->value("RMB")), "0");
    w->detailSave();
    EXPECT_DOUBLE_EQ(stored("SELECT Rate FROM tblOperates WHERE OperateID = 'N1'").toDouble(), 0.0);

    // A later rate leaves stored contracts alone.
    ASSERT_TRUE(QSqlQuery(t->db().sql()).exec("UPDATE tblCurrencyRate SET Rate = 9 WHERE CurrID = 'USD'"));
    EXPECT_EQ(money(dm.database()->fromDb(Schema::table("tblOperates")->column("RMB"),
                                          stored("SELECT RMB FROM tblOperates WHERE OperateID = 'R1'"))),
              "1000");
}

TEST_P(ContractsTest, SaveNamesTheFirstMissingFieldAndStillLogs)
{
    openContracts("Admin", true);
    const std::pair<const char *, const char *> cases[] = {{"CustID", "请选择输入相关客户！"},
                                                           {"CreateDate", "请输入业务资料建档时间！"},
                                                           {"WriteDate", "请选择输入签约日期！"},
                                                           {"EndDate", "请选择输入合同截止日期！"}};
    for (const auto &[skip, message] : cases) {
        fillNew("N2", QString::fromLatin1(skip));
        prompts.clear();
        w->detailSave();
        EXPECT_EQ(prompts.last(), QString::fromUtf8(message)) << skip;
        EXPECT_EQ(lastLog(), "客户业务管理-业务资料-保存");
        EXPECT_EQ(w->focusWidget(), field(QString::fromLatin1(skip))) << skip;
        w->detailCancel();
    }
    EXPECT_EQ(stored("SELECT count(*) FROM tblOperates WHERE OperateID = 'N2'").toInt(), 0);
    // A new contract left without its code is dropped, not stored.
    w->listNew();
    type(field("OperateTitle"), "无编码");
    w->showList();
    EXPECT_TRUE(set->setCurrentRow(0));
    EXPECT_EQ(stored("SELECT count(*) FROM tblOperates WHERE OperateTitle = '无编码'").toInt(), 0);
}

TEST_P(ContractsTest, DeletingWaitsForTheMoneyLinesAndCodesStayWhileNamed)
{
    openContracts("Admin", true);
    ASSERT_TRUE(set->locate("OperateID", "R1"));
    w->deleteRecord();
    EXPECT_EQ(prompts.last(), "对不起，该业务资料包括业务子项信息，不能删除！");
    // Its code cannot change while lines name it.
    ASSERT_TRUE(set->setValue("OperateID", "R1X"));
    EXPECT_FALSE(set->post());
    EXPECT_EQ(set->lastError(), "对不起，该代码已被其他资料引用，不能修改！");
    set->cancel();
    w->showDetail();
    Dataset *lines = dm.dataset("tblOperateDetail");
    ASSERT_EQ(lines->rowCount(), 2);
    while (!lines->isEmpty()) {
        prompts.answers = {true};
        w->subPage("tblOperateDetail")->command("Delete")->trigger();
    }
    prompts.clear();
    prompts.answers = {true};
    w->deleteRecord();
    EXPECT_EQ(prompts.last(), TfrmOperates::kDeleteQuestion);
    EXPECT_EQ(stored("SELECT count(*) FROM tblOperates WHERE OperateID = 'R1'").toInt(), 0);
    // A currency in use stays.
    EXPECT_EQ(dm.rules("tblCurrencyRate")->deleteRefusal(*dm.database(), "RMB"), "");
    ASSERT_TRUE(QSqlQuery(t->db().sql()).exec("UPDATE tblOperates SET CurrID = 'USD' WHERE OperateID = 'R2'"));
    EXPECT_EQ(dm.rules("tblCurrencyRate")->deleteRefusal(*dm.database(), "USD"), ContractRules::kCurrencyInUse);
}

TEST_P(ContractsTest, TheDetailPageShowsTheContractsLinesFromTheFirstShowing)
{
    int printedRows = -1;
    ModuleFrame::setPrinter([&](Dataset *d, const QString &name, QWidget *) {
        printed << name + ":" + d->name();
        printedRows = d->rowCount();
        return true;
    });
    openContracts("Admin", true);
    ASSERT_TRUE(set->locate("OperateID", "R1"));
    w->showDetail();
    SubPage *page = w->subPage("tblOperateDetail");
    EXPECT_EQ(page->grid()->model()->rowCount(), 2);
    w->detailPrint();
    EXPECT_EQ(printed, QStringList{"frOperateDetail:tblOperateDetail"});
    EXPECT_EQ(printedRows, 2);
    // Another contract: its own lines, none for one without.
    ASSERT_TRUE(set->locate("OperateID", "R3"));
    EXPECT_EQ(page->grid()->model()->rowCount(), 2);
    ASSERT_TRUE(set->locate("OperateID", "P1"));
    EXPECT_EQ(page->grid()->model()->rowCount(), 0);
    // "修改" reads them again: a line stored by another workstation shows.
    ASSERT_TRUE(set->locate("OperateID", "R1"));
    line("R1", 3, "5", "收入");
    w->listModify();
    EXPECT_EQ(page->grid()->model()->rowCount(), 3);
    w->detailCancel();
}

TEST_P(ContractsTest, TheFormShowsComputedFiguresAsTheGridsDo)
{
    openContracts("Admin", true);
    fillNew("N3");
    type(field("CompactAmount"), "105.9");
    choose(field("CurrID"), "美元"); // 8.27: 875.793
    type(field("Profit"), "31.07");
    w->editor()->profitLeft();
    EXPECT_EQ(qobject_cast<QLineEdit *>(field("RMB"))->text(), "¥875.793");
    EXPECT_EQ(qobject_cast<QLineEdit *>(field("Rate"))->text(), "0.2934"); // 0.293390...
    w->detailSave();
    ASSERT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    // Read back from the database, the same.
    ASSERT_TRUE(set->locate("OperateID", "R1"));
    ASSERT_TRUE(set->locate("OperateID", "N3"));
    EXPECT_EQ(qobject_cast<QLineEdit *>(field("RMB"))->text(), "¥875.793");
    EXPECT_EQ(qobject_cast<QLineEdit *>(field("Rate"))->text(), "0.2934");
    // Stored as computed, unrounded.
    EXPECT_NEAR(stored("SELECT Rate FROM tblOperates WHERE OperateID = 'N3'").toDouble(), 31.07 / 105.9, 1e-12);
    struct Case {
        const char *value, *rmb, *rate;
    };
    for (const Case &c : {Case{"0", "¥0.00", "0"}, Case{"0.25", "¥0.25", "0.25"}, Case{"1234567.891", "¥1,234,567.891",
                                                                                         "1234567.891"}}) {
        EXPECT_EQ(ContractEditor::rmbText(QString::fromLatin1(c.value)), QString::fromUtf8(c.rmb));
        EXPECT_EQ(ContractEditor::rateText(QString::fromLatin1(c.value).toDouble()), QString::fromLatin1(c.rate));
    }
    EXPECT_EQ(ContractEditor::rateText(QVariant()), "");
}

TEST_P(ContractsTest, AStoredContractTakesItsPlaceInTheCodeOrder)
{
    openContracts("zhang", false);
    fillNew("N1");
    w->detailSave();
    ASSERT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(listed(set, "OperateID"), (QStringList{"N1", "P1", "R1", "R3"}));
    EXPECT_EQ(set->value("OperateID").toString(), "N1");
    EXPECT_EQ(w->grid()->model()->index(0, 0).data().toString(), "N1");
    fillNew("Q1");
    w->detailSave();
    EXPECT_EQ(listed(set, "OperateID"), (QStringList{"N1", "P1", "Q1", "R1", "R3"}));
    EXPECT_EQ(set->value("OperateID").toString(), "Q1");
}

TEST_P(ContractsTest, TheLinkedCustomerFollowsTheTickAndEnterPassesOverIt)
{
    openContracts("zhang", false);
    w->listNew();
    auto *box = qobject_cast<QCheckBox *>(field("Link"));
    ASSERT_TRUE(box);
    QPushButton *query = w->form()->button("BtnLinkCustQuery");
    EXPECT_FALSE(field("LinkCustID")->isEnabled());
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2)); // on the box itself
    ASSERT_TRUE(set->value("Link").toBool());
    EXPECT_TRUE(field("LinkCustID")->isEnabled());
    EXPECT_TRUE(query->isEnabled());
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(w->focusWidget(), field("LinkCustID"));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2)); // on the box itself
    ASSERT_FALSE(set->value("Link").toBool());
    EXPECT_FALSE(field("LinkCustID")->isEnabled());
    EXPECT_FALSE(query->isEnabled());
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(w->focusWidget(), field("CreateDate"));
    w->detailCancel();

    // The customer window's dialog: the same.
    customers = std::make_unique<TfrmCustomers>();
    customers->show();
    customers->open();
    ASSERT_TRUE(customers->dataset()->locate("CustId", "C1"));
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *dlg = qobject_cast<TfrmOperateNew1 *>(QApplication::activeModalWidget());
        seen = dlg != nullptr;
        if (!dlg)
            return;
        auto *tick = qobject_cast<QCheckBox *>(dlg->form()->widget("Link"));
        QWidget *linked = dlg->form()->widget("LinkCustID");
        EXPECT_FALSE(linked->isEnabled());
        QTest::mouseClick(tick, Qt::LeftButton, {}, QPoint(8, tick->height() / 2));
        EXPECT_TRUE(linked->isEnabled());
        EXPECT_TRUE(dlg->form()->button("BtnLinkCustQuery")->isEnabled());
        QTest::mouseClick(tick, Qt::LeftButton, {}, QPoint(8, tick->height() / 2));
        EXPECT_FALSE(linked->isEnabled());
        tick->setFocus();
        QTest::keyClick(tick, Qt::Key_Return);
        EXPECT_EQ(dlg->focusWidget(), dlg->form()->widget("CreateDate"));
        prompts.answers = {false};
        dlg->BtnCloseClick();
    });
    customers->subPage("tblOperates")->command("New")->trigger();
    EXPECT_TRUE(seen);
}

TEST_P(ContractsTest, AContractHandedOverWithoutItsCustomerIsShownAndStored)
{
    // R2 of li's customer C2 handed over to zhang; C2 stays li's.
    ASSERT_TRUE(QSqlQuery(t->db().sql())
                    .exec("UPDATE tblOperates SET SUser = 'zhang', OriginId = 'O1', TypeID = 'T1', "
                          "WriteDate = CreateDate WHERE OperateID = 'R2'"));
    openContracts("zhang", false);
    ASSERT_TRUE(set->locate("OperateID", "R2"));
    w->listModify();
    auto *cust = qobject_cast<QComboBox *>(field("CustID"));
    EXPECT_EQ(cust->currentText(), "李家");
    type(field("OperateTitle"), "转来的合同");
    prompts.clear();
    w->detailSave();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(stored("SELECT OperateTitle FROM tblOperates WHERE OperateID = 'R2'").toString(), "转来的合同");
    EXPECT_EQ(stored("SELECT CustID FROM tblOperates WHERE OperateID = 'R2'").toString(), "C2");
    // Another contract: li's customer is no longer offered.
    ASSERT_TRUE(set->locate("OperateID", "R1"));
    EXPECT_EQ(cust->currentText(), "张家");
    EXPECT_LT(cust->findText("李家"), 0);
}

TEST_P(ContractsTest, MoneyLinesAreTotalledAndConvertedInTheirDialog)
{
    openContracts("Admin", true);
    ASSERT_TRUE(set->locate("OperateID", "P1"));
    ASSERT_TRUE(QSqlQuery(t->db().sql()).exec("UPDATE tblOperates SET CurrID = 'HKD' WHERE OperateID = 'P1'"));
    w->showDetail();
    struct Case {
        int no;
        const char *currency; // shown name; empty: none
        const char *price, *qty, *total, *rmb;
    };
    const Case cases[] = {
        {1, "人民币", "150", "4", "600", "600"},
        {2, "港币", "150", "4", "600", "300"},
        {3, "", "19.99", "3", "59.97", "29.985"}, // none of its own: the contract's (HKD 0.5)
    };
    for (const Case &c : cases) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto *dlg = qobject_cast<TfrmOperateNewChild *>(QApplication::activeModalWidget());
            seen = dlg != nullptr;
            if (!dlg)
                return;
            Form *f = dlg->form();
            type(f->widget("DetailNo"), QString::number(c.no));
            QTest::keyClicks(f->widget("OperateDate"), "2026-12-10");
            type(f->widget("DTitle"), "工资");
            choose(f->widget("InOut"), "支出");
            if (*c.currency)
                choose(f->widget("CurrID"), QString::fromUtf8(c.currency));
            type(f->widget("Price"), c.price);
            type(f->widget("Amount"), c.qty);
            dlg->recompute();
            EXPECT_EQ(qobject_cast<QLineEdit *>(f->widget("DTotal"))->text(), c.total) << c.no;
            dlg->BtnSaveClick();
            dlg->accept();
        });
        w->subPage("tblOperateDetail")->command("New")->trigger();
        ASSERT_TRUE(seen);
        EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
        const QString where = QString(" FROM tblOperateDetail WHERE OperateID = 'P1' AND DetailNo = %1").arg(c.no);
        const TableDef *def = Schema::table("tblOperateDetail");
        EXPECT_EQ(money(dm.database()->fromDb(def->column("DTotal"), stored("SELECT DTotal" + where))), c.total);
        EXPECT_EQ(money(dm.database()->fromDb(def->column("RMB"), stored("SELECT RMB" + where))), c.rmb) << c.no;
    }
    // The same number again is refused in the system's words.
    QTimer::singleShot(0, [&] {
        auto *dlg = qobject_cast<TfrmOperateNewChild *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dlg);
        Form *f = dlg->form();
        type(f->widget("DetailNo"), "2");
        QTest::keyClicks(f->widget("OperateDate"), "2026-12-10");
        type(f->widget("DTitle"), "重复");
        choose(f->widget("InOut"), "收入");
        dlg->BtnSaveClick();
        EXPECT_EQ(dlg->focusWidget(), f->widget("DetailNo"));
        prompts.answers = {false};
        dlg->BtnCloseClick();
    });
    w->subPage("tblOperateDetail")->command("New")->trigger();
    EXPECT_EQ(prompts.texts().first(), ContractRules::kDuplicateLine);
    // Without a currency anywhere nothing is guessed.
    ASSERT_TRUE(QSqlQuery(t->db().sql()).exec("UPDATE tblOperates SET CurrID = NULL WHERE OperateID = 'P1'"));
    ASSERT_TRUE(dm.dataset("tblOperateDetail")->locate("DetailNo", 3));
    ASSERT_TRUE(dm.dataset("tblOperateDetail")->setValue("Price", "20"));
    ASSERT_TRUE(dm.dataset("tblOperateDetail")->post());
    EXPECT_TRUE(stored("SELECT RMB FROM tblOperateDetail WHERE OperateID = 'P1' AND DetailNo = 3").isNull());
}

// Lines are keyed one after another: "新增" with a line in hand stores it
// (after the checks of "保存") and starts the next.
TEST_P(ContractsTest, NewWithALineInHandStoresItAndStartsTheNext)
{
    openContracts("Admin", true);
    ASSERT_TRUE(set->locate("OperateID", "P1"));
    w->showDetail();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *dlg = qobject_cast<TfrmOperateNewChild *>(QApplication::activeModalWidget());
        seen = dlg != nullptr;
        if (!dlg)
            return;
        Form *f = dlg->form();
        QPushButton *next = dlg->button("BtnNew");
        EXPECT_TRUE(next->isEnabled()) << "a new line is in hand";
        type(f->widget("DetailNo"), "7");
        QTest::keyClicks(f->widget("OperateDate"), "2026-12-10");
        type(f->widget("DTitle"), "定金");
        choose(f->widget("InOut"), "收入");
        next->click();
        EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
        EXPECT_EQ(dlg->dataset()->state(), Dataset::State::Insert);
        EXPECT_TRUE(dlg->dataset()->value("DetailNo").isNull()) << "the next line is a fresh one";
        EXPECT_EQ(dlg->focusWidget(), f->widget("DetailNo"));
        // The next one lacks its date: refused in the words of "保存", kept in hand.
        type(f->widget("DetailNo"), "8");
        type(f->widget("DTitle"), "尾款");
        next->click();
        EXPECT_EQ(prompts.shown.size(), 1);
        EXPECT_EQ(dlg->dataset()->state(), Dataset::State::Insert);
        EXPECT_EQ(dlg->dataset()->value("DetailNo").toString(), "8");
        prompts.answers = {false};
        dlg->BtnCloseClick();
    });
    w->subPage("tblOperateDetail")->command("New")->trigger();
    ASSERT_TRUE(seen);
    EXPECT_EQ(stored("SELECT DTitle FROM tblOperateDetail WHERE OperateID = 'P1' AND DetailNo = 7").toString(), "定金");
    EXPECT_EQ(stored("SELECT COUNT(*) FROM tblOperateDetail WHERE OperateID = 'P1' AND DetailNo = 8").toInt(), 0);
}

TEST_P(ContractsTest, ReceivablesListEveryContractAndBalanceToTheFen)
{
    logIn("li", false); // not restricted to his own contracts
    TfrmGathering in(TfrmGathering::Kind::Receivables, nullptr);
    in.open();
    Dataset *d = in.dataset();
    EXPECT_EQ(listed(d, "OperateID"), (QStringList{"R1", "R2", "R3"}));
    EXPECT_EQ(listed(d, "CustName"), (QStringList{"张家", "李家", ""}));
    QStringList got, owed;
    for (int r = 0; r < d->rowCount(); ++r) {
        got << money(d->value(r, "sumRMB"));
        owed << money(d->value(r, "gathering"));
    }
    EXPECT_EQ(got, (QStringList{"500", "0", "0.2"}));
    EXPECT_EQ(owed, (QStringList{"500", "250.05", "0.1"}));
    EXPECT_EQ(in.grid()->model()->headerData(10, Qt::Horizontal).toString(), "未收账款");

    // A period of due dates, typed the wrong way round: both days count.
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *q = qobject_cast<TfrmInOutQuery *>(QApplication::activeModalWidget());
        seen = q != nullptr;
        if (!q)
            return;
        q->startDate()->setDate({2026, 12, 7});
        q->endDate()->setDate({2026, 12, 5});
        q->BtnOkClick();
    });
    in.BtnQueryClick();
    ASSERT_TRUE(seen);
    EXPECT_EQ(lastLog(), "客户业务管理-应收账款-查询");
    EXPECT_EQ(listed(d, "OperateID"), (QStringList{"R1", "R2"}));
    in.open();
    EXPECT_EQ(d->rowCount(), 3);

    TfrmPayment out(nullptr);
    out.open();
    EXPECT_EQ(listed(out.dataset(), "OperateID"), QStringList{"P1"});
    EXPECT_EQ(money(out.dataset()->value(0, "Payment")), "80");
    out.BtnPrintClick();
    EXPECT_EQ(printed, QStringList{"frPayment:qryPayment"});
}

TEST_P(ContractsTest, TheSearchKeepsToTheUsersOwnContracts)
{
    struct Case {
        const char *user;
        bool sys;
        const char *criterion, *text;
        QDate from, to;
        QStringList found;
    };
    const Case cases[] = {
        // Creation dates the 3rd back to the 1st: all three days.
        {"Admin", true, nullptr, nullptr, {2026, 12, 3}, {2026, 12, 1}, {"P1", "R1", "R2", "R3"}},
        {"zhang", false, nullptr, nullptr, {2026, 12, 2}, {2026, 12, 3}, {"P1", "R3"}},
        {"zhang", false, "业务员代码", "E0", {}, {}, {"P1", "R1", "R3"}}, // a part of the code
        {"Admin", true, "业务员代码", "E01", {}, {}, {"P1", "R1", "R3"}}, // the whole code
        {"zhang", false, "业务标题", "R", {}, {}, {"R1", "R3"}},
        {"zhang", false, "所有业务", "", {}, {}, {"P1", "R1", "R3"}},
    };
    for (const Case &c : cases) {
        openContracts(c.user, c.sys);
        TfrmOperateQuery1 dlg(set);
        if (c.criterion) {
            dlg.criteriaChoice()->setChecked(true);
            dlg.criterion()->setCurrentIndex(dlg.criterion()->findText(QString::fromUtf8(c.criterion)));
            dlg.text()->setText(QString::fromUtf8(c.text));
        } else {
            dlg.startDate()->setDate(c.from);
            dlg.endDate()->setDate(c.to);
        }
        dlg.BtnOkClick();
        EXPECT_EQ(listed(set, "OperateID"), c.found) << c.user << (c.criterion ? c.criterion : "period");
    }
}

TEST_P(ContractsTest, TheCustomerWindowEntersAContractWithItsDialog)
{
    logIn("zhang", false);
    customers = std::make_unique<TfrmCustomers>();
    customers->show();
    customers->open();
    ASSERT_TRUE(customers->dataset()->locate("CustId", "C1"));
    SubPage *page = customers->subPage("tblOperates");
    ASSERT_TRUE(page);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *dlg = qobject_cast<TfrmOperateNew1 *>(QApplication::activeModalWidget());
        seen = dlg != nullptr;
        if (!dlg)
            return;
        Form *f = dlg->form();
        EXPECT_EQ(qobject_cast<QLineEdit *>(f->widget("CustName"))->text(), "张家");
        type(f->widget("OperateID"), "D1");
        type(f->widget("OperateTitle"), "月嫂");
        QTest::keyClicks(f->widget("CreateDate"), "2026-12-10");
        QTest::keyClicks(f->widget("EndDate"), "2027-1-10");
        choose(f->widget("OriginId"), "介绍");
        choose(f->widget("TypeID"), "保姆");
        // The dialog asks for the signing date before the direction,
        // whatever their places on the screen.
        prompts.clear();
        dlg->BtnSaveClick();
        EXPECT_EQ(prompts.last(), "请选择输入签约日期！");
        EXPECT_EQ(dlg->focusWidget(), f->widget("WriteDate"));
        QTest::keyClicks(f->widget("WriteDate"), "2026-12-10");
        prompts.clear();
        dlg->BtnSaveClick();
        EXPECT_EQ(prompts.last(), "请选择输入收付类型！");
        choose(f->widget("InOrOut"), "收款");
        qobject_cast<DateEdit *>(f->widget("CreateDate"))->clear();
        prompts.clear();
        choose(f->widget("OperateStateID"), "执行中");
        choose(f->widget("LinkmanID"), "张三");
        type(f->widget("CompactAmount"), "100");
        choose(f->widget("CurrID"), "美元");
        // Yes to the close question: the creation date is missing.
        prompts.answers = {true};
        dlg->BtnCloseClick();
        EXPECT_EQ(prompts.texts(), (QStringList{TfrmOperateNew1::kCloseQuestion, "请输入客户建档时间！"}));
        EXPECT_TRUE(dlg->isVisible());
        QTest::keyClicks(f->widget("CreateDate"), "2026-12-10");
        prompts.answers = {true};
        dlg->BtnCloseClick();
        EXPECT_FALSE(dlg->isVisible());
    });
    page->command("New")->trigger();
    ASSERT_TRUE(seen);
    EXPECT_EQ(stored("SELECT CustID FROM tblOperates WHERE OperateID = 'D1'").toString(), "C1");
    // Stamped on this path too, and converted.
    EXPECT_EQ(stored("SELECT SUser FROM tblOperates WHERE OperateID = 'D1'").toString(), "zhang");
    EXPECT_EQ(money(dm.database()->fromDb(Schema::table("tblOperates")->column("RMB"),
                                          stored("SELECT RMB FROM tblOperates WHERE OperateID = 'D1'"))),
              "827");
    EXPECT_EQ(stored("SELECT LinkmanID FROM tblOperates WHERE OperateID = 'D1'").toString(), "K1");
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Engines, ContractsTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });
