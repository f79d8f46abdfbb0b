// The three customer pickers on both engines: "选择" writes into the
// target its caller named and nowhere else, only for the picker's own
// calling contexts and never with an empty list; the own-customers rule
// on showing and after "取消"; "新增" and "详细资料" through the customer
// dialog.
#include "customers/customerpicker.h"
#include "customers/pickercontext.h"
#include "customers/searchfixture.h"
#include "customers/tfrmcustomernew1.h"
#include "customers/tfrmcustomerquery4.h"
#include "ui/datagrid.h"
#include "ui/fieldbinder.h"
#include "ui/gridmodel.h"
#include "testlib/modal.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace {

class CustomerPickerTest : public CustomerSearchBase
{
protected:
    void SetUp() override
    {
        CustomerSearchBase::SetUp();
        ASSERT_EQ(t->db().insertRow("tblOperates", {{"OperateID", "HT1"}, {"CustID", "K01"}, {"LinkCustID", "K02"}}), "");
        ASSERT_EQ(t->db().insertRow("tblOperates", {{"OperateID", "HT2"}, {"CustID", "K02"}}), "");
        contracts = set("tblOperates2");
        ASSERT_TRUE(contracts->isActive());
        ASSERT_TRUE(contracts->refresh());
        ASSERT_TRUE(contracts->locate("OperateID", "HT1"));
        customers = set("tblCustomers2");
        customerPickerContext().clear();
    }
    enum class Kind { Query, Query1, Query2 };
    std::unique_ptr<CustomerPicker> make(Kind k, Dataset *target, const QString &field)
    {
        std::unique_ptr<CustomerPicker> p;
        switch (k) {
        case Kind::Query:
            p = std::make_unique<TfrmCustomerQuery>(target, field);
            break;
        case Kind::Query1:
            p = std::make_unique<TfrmCustomerQuery1>(target, field);
            break;
        case Kind::Query2:
            p = std::make_unique<TfrmCustomerQuery2>(target, field);
            break;
        }
        p->show();
        return p;
    }
    // Answers the next modal window once it is up.
    static void whenModal(std::function<void(QWidget *)> act) { Modal::whenUp(std::move(act)); }
    QString stored(const QString &field, const QString &contract)
    {
        return one("SELECT " + field + " FROM tblOperates WHERE OperateID = ?", {contract});
    }

    Dataset *contracts = nullptr;
    Dataset *customers = nullptr;
};

TEST_P(CustomerPickerTest, SelectWritesTheCodeIntoTheNamedFieldOnlyForItsOwnContexts)
{
    logIn("zhang", false);
    struct Case {
        Kind kind;
        QString context;
        const char *field;
        bool writes;
    };
    const QVector<Case> cases = {
        {Kind::Query, PickerContext::kContact, "CustID", true},
        {Kind::Query, PickerContext::kContractCustomer, "CustID", false},
        {Kind::Query, {}, "CustID", false},
        {Kind::Query1, PickerContext::kContractCustomer, "CustID", true},
        {Kind::Query1, PickerContext::kContractLinkCustomer, "LinkCustID", true},
        {Kind::Query1, PickerContext::kContractDialogLinkCustomer, "LinkCustID", true},
        {Kind::Query1, PickerContext::kContact, "CustID", false},
        {Kind::Query1, QStringLiteral("联系客户2"), "LinkCustID", false},
        {Kind::Query2, {}, "CustID", true},
        {Kind::Query2, PickerContext::kContact, "LinkCustID", true}, // it reads no context
    };
    for (const Case &c : cases) {
        const std::string what = c.context.toStdString() + " -> " + c.field;
        contracts->cancel();
        ASSERT_TRUE(contracts->locate("OperateID", "HT1"));
        customerPickerContext() = c.context;
        auto picker = make(c.kind, contracts, QString::fromLatin1(c.field));
        EXPECT_EQ(picker->windowTitle(), "客户资料");
        ASSERT_TRUE(customers->locate("CustId", "K05"));
        picker->BtnSelectClick();
        EXPECT_EQ(picker->result() == QDialog::Accepted, c.writes) << what;
        const bool linked = QString::fromLatin1(c.field) == "LinkCustID";
        // The named field gets the code, the other one keeps its own, the
        // row is being edited and nothing is stored yet.
        EXPECT_EQ(contracts->value("CustID").toString(), c.writes && !linked ? "K05" : "K01") << what;
        EXPECT_EQ(contracts->value("LinkCustID").toString(), c.writes && linked ? "K05" : "K02") << what;
        EXPECT_EQ(contracts->state(), c.writes ? Dataset::State::Edit : Dataset::State::Browse) << what;
        EXPECT_EQ(stored("CustID", "HT1"), "K01") << what;
        EXPECT_EQ(stored("LinkCustID", "HT1"), "K02") << what;
    }
}

TEST_P(CustomerPickerTest, TwoCallersOfOnePickerEachGetTheirOwnRecord)
{
    logIn("Admin", true);
    Dataset *mine = set("tblOperates");
    ASSERT_TRUE(set("tblCustomers")->open());
    ASSERT_TRUE(set("tblCustomers")->locate("CustId", "K02"));
    ASSERT_TRUE(mine->isActive() || mine->open());
    ASSERT_TRUE(mine->locate("OperateID", "HT2"));
    // The contract list set the context "联系客户" last; the contract dialog
    // sets "联系客户1" and names its own set.
    customerPickerContext() = PickerContext::kContractLinkCustomer;
    customerPickerContext() = PickerContext::kContractDialogLinkCustomer;
    auto picker = make(Kind::Query1, mine, "LinkCustID");
    ASSERT_TRUE(customers->locate("CustId", "K03"));
    picker->BtnSelectClick();
    EXPECT_EQ(mine->value("LinkCustID").toString(), "K03");
    EXPECT_EQ(mine->value("OperateID").toString(), "HT2");
    EXPECT_EQ(contracts->state(), Dataset::State::Browse);
    EXPECT_EQ(contracts->value("LinkCustID").toString(), "K02");
}

TEST_P(CustomerPickerTest, SelectOnAnEmptyListOnlyCloses)
{
    logIn("zhang", false);
    customerPickerContext() = PickerContext::kContractCustomer;
    auto picker = make(Kind::Query1, contracts, "CustID");
    TfrmCustomerQuery4 quick;
    quick.criterion()->setCurrentIndex(2);
    quick.text()->setText("没有这个客户");
    quick.BtnOkClick();
    ASSERT_EQ(customers->rowCount(), 0);
    picker->BtnSelectClick();
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(picker->result(), QDialog::Rejected);
    EXPECT_EQ(contracts->state(), Dataset::State::Browse);
    EXPECT_EQ(contracts->value("CustID").toString(), "K01");
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_P(CustomerPickerTest, ShowingAppliesTheOwnCustomersRuleAndCancelPutsItBack)
{
    logIn("zhang", false);
    customers->clearFilter();
    auto picker = make(Kind::Query2, contracts, "CustID");
    EXPECT_EQ(codes(customers), (QStringList{"K01", "K02", "K05"}));
    EXPECT_EQ(picker->grid()->visibleFields(), (QStringList{"CustID", "CustName"}));
    // The quick search shows every customer, and so it stays after "选择".
    TfrmCustomerQuery4 quick(picker.get());
    quick.BtnOkClick();
    EXPECT_EQ(codes(customers).size(), 6);
    ASSERT_TRUE(customers->locate("CustId", "K04"));
    picker->BtnSelectClick();
    EXPECT_EQ(contracts->value("CustID").toString(), "K04");
    EXPECT_EQ(codes(customers).size(), 6);
    contracts->cancel();
    // "取消" and Esc put the rule back.
    for (int esc = 0; esc < 2; ++esc) {
        auto again = make(Kind::Query2, contracts, "CustID");
        TfrmCustomerQuery4 all(again.get());
        all.BtnOkClick();
        ASSERT_EQ(codes(customers).size(), 6);
        if (esc)
            again->reject();
        else
            again->BtnCancelClick();
        EXPECT_EQ(codes(customers), (QStringList{"K01", "K02", "K05"})) << esc;
        EXPECT_EQ(contracts->state(), Dataset::State::Browse);
    }
    // A system user sees everyone.
    logIn("Admin", true);
    auto admin = make(Kind::Query2, contracts, "CustID");
    EXPECT_EQ(codes(customers).size(), 6);
}

TEST_P(CustomerPickerTest, ANewCustomerStoredInTheDialogIsOfferedAtOnce)
{
    logIn("zhang", false);
    customerPickerContext() = PickerContext::kContractCustomer;
    auto picker = make(Kind::Query1, contracts, "CustID");
    // A narrow quick search first: the new customer does not match it.
    TfrmCustomerQuery4 quick(picker.get());
    quick.criterion()->setCurrentIndex(1);
    quick.text()->setText("K01");
    quick.BtnOkClick();
    ASSERT_EQ(codes(customers), QStringList{"K01"});

    whenModal([](QWidget *w) {
        auto *dlg = qobject_cast<TfrmCustomerNew1 *>(w);
        ASSERT_NE(dlg, nullptr);
        Dataset *d = dlg->dataset();
        EXPECT_EQ(d->state(), Dataset::State::Insert);
        for (const auto &[field, value] : {std::pair{"CustId", QVariant("K99")}, {"CustName", QVariant("新客户")},
                                          {"VocationID", QVariant("V1")}, {"OriginID", QVariant("O1")},
                                          {"LevelID", QVariant("L1")}, {"StateId", QVariant("S1")},
                                          {"CreateDate", QVariant(QDate(2024, 7, 1))}})
            d->setValue(field, value);
        dlg->BtnSaveClick();
        dlg->BtnCloseClick();
    });
    picker->BtnNewClick();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomers WHERE CustId = 'K99' AND SUser = 'zhang'"), 1);
    EXPECT_EQ(customers->value("CustId").toString(), "K99");
    EXPECT_EQ(picker->grid()->model()->rowCount(), 2);
    picker->BtnSelectClick();
    EXPECT_EQ(picker->result(), QDialog::Accepted);
    EXPECT_EQ(contracts->value("CustID").toString(), "K99");
}

TEST_P(CustomerPickerTest, ANewCustomerGivenUpLeavesTheListAsItWas)
{
    logIn("zhang", false);
    auto picker = make(Kind::Query2, contracts, "CustID");
    ASSERT_TRUE(customers->locate("CustId", "K02"));
    prompts.answers = {false}; // "客户资料数据尚未保存，保存吗？" No
    whenModal([](QWidget *w) {
        auto *dlg = qobject_cast<TfrmCustomerNew1 *>(w);
        ASSERT_NE(dlg, nullptr);
        dlg->dataset()->setValue("CustName", "半途");
        dlg->BtnCloseClick();
    });
    picker->BtnNewClick();
    EXPECT_EQ(codes(customers), (QStringList{"K01", "K02", "K05"}));
    EXPECT_EQ(customers->state(), Dataset::State::Browse);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomers"), 6);
}

TEST_P(CustomerPickerTest, DetailShowsTheCurrentCustomerAndTheRightsGateTheButtons)
{
    logIn("zhang", false);
    {
        auto picker = make(Kind::Query, contracts, "CustID");
        EXPECT_TRUE(picker->button("BtnNew")->isEnabled());
        EXPECT_TRUE(picker->button("BtnDetail")->isEnabled());
        EXPECT_EQ(picker->button("BtnNew")->shortcut(), QKeySequence("Ctrl+A"));
        ASSERT_TRUE(customers->locate("CustId", "K05"));
        QString shown;
        Dataset::State state = Dataset::State::Inactive;
        whenModal([&](QWidget *w) {
            auto *dlg = qobject_cast<TfrmCustomerNew1 *>(w);
            ASSERT_NE(dlg, nullptr);
            shown = qobject_cast<QLineEdit *>(dlg->binder()->widgetFor("CustId"))->text();
            state = dlg->dataset()->state();
            dlg->BtnCloseClick();
        });
        picker->BtnDetailClick();
        EXPECT_EQ(shown, "K05");
        EXPECT_EQ(state, Dataset::State::Browse);
    }
    logIn("li", false);
    auto picker = make(Kind::Query, contracts, "CustID");
    EXPECT_FALSE(picker->button("BtnNew")->isEnabled());
    EXPECT_FALSE(picker->button("BtnDetail")->isEnabled());
    for (const char *always : {"BtnSelect", "BtnCancel", "BtnQuickQuery", "BtnRefresh"})
        EXPECT_TRUE(picker->button(always)->isEnabled()) << always;
}

TEST_P(CustomerPickerTest, RefreshKeepsTheFilterAndShowsNewRows)
{
    logIn("zhang", false);
    auto picker = make(Kind::Query2, contracts, "CustID");
    addCustomer({{"CustId", "K07"}, {"CustName", "新来的"}, {"SUser", "zhang"}});
    addCustomer({{"CustId", "K08"}, {"CustName", "别人的"}, {"SUser", "li"}});
    picker->BtnRefreshClick();
    EXPECT_EQ(codes(customers), (QStringList{"K01", "K02", "K05", "K07"}));
}

INSTANTIATE_TEST_SUITE_P(Engines, CustomerPickerTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
