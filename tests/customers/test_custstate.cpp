// The contact-history dialog on both engines: the required fields in
// order, the time mask, free text for the manner, the close question,
// the navigator storing or dropping the row in hand, and the buttons'
// rules.
#include "customers/searchfixture.h"
#include "customers/tfrmcuststatenew.h"
#include "ui/calculatorpopup.h"
#include "ui/datagrid.h"
#include "ui/dateedit.h"
#include "ui/gridmodel.h"
#include "testlib/typing.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

class CustStateTest : public CustomerSearchBase
{
protected:
    void SetUp() override
    {
        CustomerSearchBase::SetUp();
        for (const auto &[date, time, who] : {std::tuple{QDate(2024, 3, 1), "10:15:00", "钱一"},
                                              std::tuple{QDate(2024, 3, 2), "14:00:00", "钱二"}})
            ASSERT_EQ(t->db().insertRow("tblCustomerState", {{"CustID", "K01"}, {"LinkDate", date}, {"LinkTime", time},
                                                            {"LinkType", "电话联系"}, {"Linkman", who},
                                                            {"Duty", "经理"}}),
                      "");
        logIn("Admin", true);
        customers = set("tblCustomers");
        history = set("tblCustomerState");
        ASSERT_TRUE(customers->open());
        ASSERT_TRUE(history->open());
        ASSERT_TRUE(customers->locate("CustId", "K01"));
        ASSERT_EQ(history->rowCount(), 2);
    }
    void TearDown() override
    {
        w.reset();
        CustomerSearchBase::TearDown();
    }
    void open()
    {
        w = std::make_unique<TfrmCustStateNew>();
        w->show();
    }
    // Typed into the mask from its first position, as a click there would.
    static void typeTime(QLineEdit *e, const QString &digits)
    {
        e->setFocus();
        e->setCursorPosition(0);
        QTest::keyClicks(e, digits);
    }
    static void type(QLineEdit *e, const QString &text) { Typing::type(e, text); }
    int stored(const QString &where = {}) { return count("SELECT COUNT(*) FROM tblCustomerState" + where); }

    Dataset *customers = nullptr;
    Dataset *history = nullptr;
    std::unique_ptr<TfrmCustStateNew> w;
};

TEST_P(CustStateTest, SaveAsksForTheRequiredFieldsInOrderThenStoresForTheCustomer)
{
    ASSERT_TRUE(history->append()); // "新增接触" on the customer window
    open();
    EXPECT_EQ(w->windowTitle(), "客户接触");
    EXPECT_EQ(w->focusWidget(), w->linkDate());
    struct Step {
        QString message;
        QWidget *focus;
        std::function<void()> fill;
    };
    const QVector<Step> steps = {
        {"请选择输入联系日期！", w->linkDate(), [&] { QTest::keyClicks(w->linkDate(), "2024-7-2"); }},
        {"请输入联系时间！", w->linkTime(), [&] { typeTime(w->linkTime(), "093005"); }},
        {"请选择输入联系方式！", w->linkType(), [&] { w->linkType()->setEditText("上门送礼"); }},
        {"请输入联系人名称！", w->linkman(), [&] { type(w->linkman(), "孙七"); }},
        {"请输入联系人职务！", w->duty(), [&] { type(w->duty(), "主任"); }},
    };
    for (const Step &s : steps) {
        prompts.clear();
        w->BtnSaveClick();
        EXPECT_EQ(prompts.last(), s.message);
        EXPECT_EQ(w->focusWidget(), s.focus) << s.message.toStdString();
        EXPECT_EQ(stored(), 2);
        s.fill();
    }
    type(w->charge(), "12.5");
    prompts.clear();
    w->BtnSaveClick();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(history->state(), Dataset::State::Browse);
    EXPECT_TRUE(w->isVisible()); // "保存" keeps the dialog open
    // The time with its colons, the manner as typed, the customer's code.
    EXPECT_EQ(stored(" WHERE CustID = 'K01' AND LinkTime = '09:30:05' AND LinkType = '上门送礼' AND Linkman = '孙七'"
                     " AND Duty = '主任' AND Charge = 12.5"),
              1);
}

TEST_P(CustStateTest, EnterMovesThroughTheFieldsInOrder)
{
    open();
    const QList<QWidget *> order = w->fieldsInEnterOrder();
    ASSERT_EQ(order, (QList<QWidget *>{w->linkDate(), w->linkTime(), w->linkType(), w->linkman(), w->duty(),
                                       w->content(), w->address(), w->charge(), w->memo()}));
    for (int i = 0; i + 1 < order.size(); ++i) {
        order[i]->setFocus();
        QTest::keyClick(order[i], Qt::Key_Return);
        EXPECT_EQ(w->focusWidget(), order[i + 1]) << i;
    }
}

TEST_P(CustStateTest, ATimeMaskLeftBlankIsNoTime)
{
    ASSERT_TRUE(history->locate("Linkman", "钱一"));
    open();
    EXPECT_EQ(w->linkTime()->text(), "10:15:00");
    EXPECT_EQ(w->linkTime()->displayText(), "10:15:00");
    w->linkTime()->clear(); // every digit taken away: the mask shows "__:__:__"
    EXPECT_EQ(history->state(), Dataset::State::Edit);
    EXPECT_TRUE(history->isBlank("LinkTime"));
    w->BtnSaveClick();
    EXPECT_EQ(prompts.last(), "请输入联系时间！");
    EXPECT_EQ(w->focusWidget(), w->linkTime());
    EXPECT_EQ(stored(" WHERE LinkTime = '10:15:00'"), 1);
    EXPECT_EQ(stored(" WHERE LinkTime = '::'"), 0);

    // Partly typed, or no time of day: refused in the empty one's place,
    // with its own message, and by a store that does not pass "保存".
    for (const char *digits : {"1", "0930", "093", "25", "096100"}) {
        SCOPED_TRACE(digits);
        w->linkTime()->clear();
        typeTime(w->linkTime(), digits);
        prompts.clear();
        w->BtnSaveClick();
        EXPECT_EQ(prompts.last(), "请输入正确的联系时间！");
        EXPECT_EQ(w->focusWidget(), w->linkTime());
        EXPECT_FALSE(history->post());
        EXPECT_EQ(history->lastError(), "请输入正确的联系时间！");
        EXPECT_EQ(stored(" WHERE LinkTime = '10:15:00'"), 1);
    }
    w->linkTime()->clear();
    typeTime(w->linkTime(), "083000");
    ASSERT_TRUE(history->post()) << history->lastError().toStdString();
    EXPECT_EQ(stored(" WHERE LinkTime = '08:30:00'"), 1);
}

TEST_P(CustStateTest, TheMannerOffersFiveSuggestionsAndTakesFreeText)
{
    open();
    QStringList items;
    for (int i = 0; i < w->linkType()->count(); ++i)
        items << w->linkType()->itemText(i);
    EXPECT_EQ(items, (QStringList{"电话联系", "登门拜访", "电子邮件联系", "应邀上门", "招待客户"}));
    EXPECT_TRUE(w->linkType()->isEditable());
    ASSERT_TRUE(history->locate("Linkman", "钱二"));
    w->linkType()->setCurrentIndex(3);
    EXPECT_EQ(history->value("LinkType").toString(), "应邀上门");
    w->linkType()->setEditText("微信");
    w->BtnSaveClick();
    EXPECT_EQ(stored(" WHERE Linkman = '钱二' AND LinkType = '微信'"), 1);
}

TEST_P(CustStateTest, CloseAsksAndNoDiscardsYesChecksAndStores)
{
    ASSERT_TRUE(history->locate("Linkman", "钱一"));
    open();
    // Nothing in hand: closes without a question.
    w->BtnCloseClick();
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_FALSE(w->isVisible());

    open();
    type(w->linkman(), "钱一改");
    prompts.answers = {false};
    w->BtnCloseClick();
    EXPECT_EQ(prompts.last(), "客户接触信息尚未保存，保存吗？");
    EXPECT_EQ(prompts.shown.last().kind, "yesno");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(history->state(), Dataset::State::Browse);
    EXPECT_EQ(stored(" WHERE Linkman = '钱一'"), 1);

    open();
    type(w->linkman(), "钱一改");
    type(w->duty(), "");
    prompts.answers = {true};
    w->BtnCloseClick();
    EXPECT_EQ(prompts.last(), "请输入联系人职务！");
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->focusWidget(), w->duty());
    EXPECT_EQ(history->state(), Dataset::State::Edit);
    type(w->duty(), "副经理");
    prompts.answers = {true};
    w->reject(); // Esc, the same as "关闭"
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(stored(" WHERE Linkman = '钱一改' AND Duty = '副经理'"), 1);
}

TEST_P(CustStateTest, ANewRowGivenUpIsNotStoredByTheGridThatShowsIt)
{
    // The customer window's history page shows the set while the dialog is
    // open; its current row is the new one.
    DataGrid grid(history, {{"LinkDate", "联系日期"}, {"Linkman", "联系人"}}, "TfrmCustomers.History");
    grid.show();
    ASSERT_TRUE(history->append());
    open();
    type(w->linkman(), "半途");
    prompts.answers = {false};
    w->BtnCloseClick();
    EXPECT_EQ(stored(), 2);
    EXPECT_EQ(history->rowCount(), 2);
    EXPECT_EQ(grid.model()->rowCount(), 2);
    // An untouched new row left by the navigator, and one deleted.
    ASSERT_TRUE(history->append());
    open();
    w->navigate(TfrmCustStateNew::Move::First);
    ASSERT_TRUE(history->append());
    prompts.answers = {true};
    w->BtnDeleteClick();
    EXPECT_EQ(stored(), 2);
    EXPECT_EQ(history->rowCount(), 2);
    EXPECT_EQ(grid.model()->rowCount(), 2);
}

TEST_P(CustStateTest, TheNavigatorStoresAChangeWithoutTheChecksAndDropsAnUntouchedNewRow)
{
    ASSERT_TRUE(history->locate("Linkman", "钱一"));
    open();
    // A change is stored on moving, even with a required field emptied.
    type(w->duty(), "");
    type(w->linkman(), "钱一甲");
    const int before = history->currentRow();
    w->navigate(before == 0 ? TfrmCustStateNew::Move::Last : TfrmCustStateNew::Move::First);
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_NE(history->currentRow(), before);
    EXPECT_EQ(stored(" WHERE Linkman = '钱一甲' AND Duty IS NULL"), 1);
    EXPECT_EQ(w->linkman()->text(), history->value("Linkman").toString());
    EXPECT_EQ(w->linkTime()->text(), history->value("LinkTime").toString());

    // A new row with nothing typed goes away, wherever the navigator goes.
    for (auto move : {TfrmCustStateNew::Move::First, TfrmCustStateNew::Move::Prior, TfrmCustStateNew::Move::Next,
                      TfrmCustStateNew::Move::Last}) {
        w->BtnNewClick();
        ASSERT_EQ(history->state(), Dataset::State::Insert);
        w->navigate(move);
        EXPECT_EQ(history->state(), Dataset::State::Browse);
        EXPECT_EQ(history->rowCount(), 2);
        EXPECT_EQ(stored(), 2);
    }
    // One typed field is enough to be stored as it stands, but never a
    // half-typed time: the move stops with the reason.
    w->BtnNewClick();
    typeTime(w->linkTime(), "08");
    prompts.clear();
    w->navigate(TfrmCustStateNew::Move::First);
    EXPECT_EQ(prompts.last(), "请输入正确的联系时间！");
    EXPECT_EQ(history->state(), Dataset::State::Insert);
    EXPECT_EQ(stored(), 2);
    QTest::keyClicks(w->linkTime(), "0000");
    w->navigate(TfrmCustStateNew::Move::First);
    EXPECT_EQ(history->currentRow(), 0);
    EXPECT_EQ(stored(" WHERE CustID = 'K01' AND LinkTime = '08:00:00'"), 1);
}

TEST_P(CustStateTest, ButtonsFollowTheStateAndTheRight)
{
    open();
    EXPECT_TRUE(w->button("BtnNew")->isEnabled());
    EXPECT_FALSE(w->button("BtnSave")->isEnabled());
    EXPECT_TRUE(w->button("BtnDelete")->isEnabled());
    EXPECT_EQ(w->button("BtnNew")->shortcut(), QKeySequence("Ctrl+A"));
    EXPECT_EQ(w->button("BtnSave")->shortcut(), QKeySequence("Ctrl+S"));
    w->BtnNewClick();
    EXPECT_EQ(history->value("CustID").toString(), "K01");
    EXPECT_EQ(w->focusWidget(), w->linkDate());
    EXPECT_FALSE(w->button("BtnNew")->isEnabled());
    EXPECT_TRUE(w->button("BtnSave")->isEnabled());
    history->cancel();
    w.reset();

    logIn("li", false); // may only look
    open();
    EXPECT_FALSE(w->button("BtnNew")->isEnabled());
    EXPECT_FALSE(w->button("BtnDelete")->isEnabled());
    EXPECT_TRUE(w->button("BtnClose")->isEnabled());
    w->BtnNewClick();
    EXPECT_EQ(history->state(), Dataset::State::Browse);
}

TEST_P(CustStateTest, DeleteAsksFirst)
{
    ASSERT_TRUE(history->locate("Linkman", "钱二"));
    open();
    prompts.answers = {false, true};
    w->BtnDeleteClick();
    EXPECT_EQ(prompts.last(), "您真的要删除该接触机会信息吗？");
    EXPECT_EQ(stored(), 2);
    w->BtnDeleteClick();
    EXPECT_EQ(stored(), 1);
    EXPECT_EQ(stored(" WHERE Linkman = '钱二'"), 0);
}

TEST_P(CustStateTest, TheChargeHasTheCalculator)
{
    ASSERT_TRUE(history->locate("Linkman", "钱一"));
    open();
    CalculatorPopup *calc = openCalculator(w->charge());
    ASSERT_NE(calc, nullptr);
    for (const char *key : {"1", "2", "*", "3"})
        calc->press(key);
    calc->accept();
    EXPECT_EQ(history->value("Charge").toDouble(), 36.0);
    w->BtnSaveClick();
    EXPECT_EQ(stored(" WHERE Charge = 36"), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, CustStateTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
