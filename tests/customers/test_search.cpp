// The customer query and the quick search on both engines: every
// criterion as a bound condition, periods whichever way round, and the
// own-customers term that no search text gets past.
#include "customers/tfrmcustomerquery3.h"
#include "customers/tfrmcustomerquery4.h"
#include "customers/searchfixture.h"
#include "testlib/fakeprompts.h"
#include "ui/dateedit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace {

const QString kNoMatch = QStringLiteral("对不起，没有找到符合条件的记录！");

class CustomerQueryTest : public CustomerSearchBase
{
protected:
    void SetUp() override
    {
        CustomerSearchBase::SetUp();
        list = set("tblCustomers");
    }
    // Runs one query in a fresh window as the given user; the rows the list
    // set holds afterwards, and whether the window closed.
    struct Outcome {
        QStringList rows;
        bool closed = false;
        QString message;
    };
    Outcome runPeriod(const QDate &from, const QDate &to)
    {
        TfrmCustomerQuery3 q;
        q.startDate()->setDate(from);
        q.endDate()->setDate(to);
        q.periodChoice()->setChecked(true);
        return run(q);
    }
    Outcome runCriterion(const QString &criterion, const QString &text)
    {
        TfrmCustomerQuery3 q;
        q.criteriaChoice()->setChecked(true);
        const int i = TfrmCustomerQuery3::criteria().indexOf(criterion);
        EXPECT_GE(i, 0) << criterion.toStdString();
        q.criterion()->setCurrentIndex(i);
        q.text()->setText(text);
        return run(q);
    }
    Outcome run(TfrmCustomerQuery3 &q)
    {
        prompts.clear();
        q.setResult(0);
        q.BtnOkClick();
        return {codes(list), q.result() == QDialog::Accepted, prompts.last()};
    }
    Dataset *list = nullptr;
};

TEST_P(CustomerQueryTest, EveryCriterionForASystemUserAndAnOrdinaryOne)
{
    struct Case {
        const char *criterion; // "" for the period
        QString text;
        QDate from, to;
        QStringList admin; // what a system user finds
        QStringList zhang; // what zhang, owner of K01, K02 and K05, finds
    };
    const QStringList all{"K01", "K02", "K03", "K04", "K05", "K06"};
    const QStringList own{"K01", "K02", "K05"};
    const QVector<Case> cases = {
        {"", {}, QDate(2024, 5, 1), QDate(2024, 5, 31), {"K01", "K02", "K06"}, {"K01", "K02"}},
        {"", {}, QDate(2024, 5, 31), QDate(2024, 5, 1), {"K01", "K02", "K06"}, {"K01", "K02"}}, // typed backwards
        {"", {}, QDate(2024, 5, 31), QDate(2024, 5, 31), {"K02"}, {"K02"}}, // a late hour of the one day
        {"", {}, QDate(2024, 6, 1), QDate(2024, 6, 1), {"K03"}, {}},
        {"", {}, QDate(2024, 4, 30), QDate(2024, 6, 15), all, own},
        {"所有客户", {}, {}, {}, all, own},
        {"客户代码", "k0", {}, {}, all, own},
        {"客户代码", "  K04 ", {}, {}, {"K04"}, {}}, // trimmed
        {"客户名称", "O'Neill", {}, {}, {"K01"}, {"K01"}},
        {"客户名称", "' OR '1'='1", {}, {}, {}, {}},
        {"客户名称", "' OR SUser <> '", {}, {}, {}, {}},
        {"客户名称", "100%", {}, {}, {"K02"}, {"K02"}},
        {"客户名称", "%", {}, {}, {"K02"}, {"K02"}}, // the character, not a wildcard
        {"客户名称", "_", {}, {}, {"K04"}, {}},
        {"客户名称", "a_b", {}, {}, {"K04"}, {}},
        {"主要联系人", "王", {}, {}, {"K01"}, {"K01"}},
        // Names by pinyin: initials, whole, a mix; Latin letters only as text.
        {"客户名称", "wj", {}, {}, {"K03"}, {}},
        {"客户名称", "JIA", {}, {}, {"K01", "K03", "K05", "K06"}, {"K01", "K05"}},
        {"客户名称", "zhaoj", {}, {}, {"K05"}, {"K05"}},
        {"客户名称", "manyi", {}, {}, {"K02"}, {"K02"}},
        {"客户名称", "on", {}, {}, {}, {}}, // not O'Neill by the initials of Latin words
        {"客户名称", "ab", {}, {}, {}, {}},
        {"主要联系人", "ww", {}, {}, {"K01"}, {"K01"}},
        {"主要联系人", "wangw", {}, {}, {"K01"}, {"K01"}},
        {"地址", "bj", {}, {}, {}, {}}, // an address is no name: as text only
        {"地址", "海淀", {}, {}, {"K01"}, {"K01"}},
        {"国籍", "CN", {}, {}, {"K01"}, {"K01"}}, // the stored code, not the name
        {"所在区", "hd", {}, {}, {"K01"}, {"K01"}},
        {"电话", "6270-1", {}, {}, {"K01"}, {"K01"}},
        {"传真", "9999", {}, {}, {"K01"}, {"K01"}},
        {"工作人员代码", "01", {}, {}, {"K01"}, {"K01"}}, // not "001"
        {"工作人员代码", "1", {}, {}, {}, {}},
        {"客户类别代码", "V1", {}, {}, {"K01"}, {"K01"}}, // not "V11"
        {"客户级别代码", "L1", {}, {}, {"K01"}, {"K01"}},
        {"客户状态代码", "S1", {}, {}, {"K01"}, {"K01"}},
        {"客户来源代码", "O1", {}, {}, {"K01"}, {"K01"}},
        {"Email", "x.com", {}, {}, {"K01"}, {"K01"}},
        {"主要成员", "x.com", {}, {}, {"K03"}, {}}, // the main members, not the e-mail
        {"主要成员", "夫妻", {}, {}, {"K01"}, {"K01"}},
    };
    for (const auto &[user, sys] : {std::pair{"Admin", true}, std::pair{"zhang", false}}) {
        logIn(user, sys);
        for (const Case &c : cases) {
            const QString what = QString::fromUtf8(user) + " " + QString::fromUtf8(c.criterion) + " [" + c.text + "] "
                + c.from.toString(Qt::ISODate) + ".." + c.to.toString(Qt::ISODate);
            const Outcome o = *c.criterion ? runCriterion(QString::fromUtf8(c.criterion), c.text) : runPeriod(c.from, c.to);
            const QStringList &expected = sys ? c.admin : c.zhang;
            EXPECT_EQ(o.rows, expected) << what.toStdString();
            // Found: the window closes and the list shows the result; none:
            // the message, and the window stays with the empty list behind it.
            EXPECT_EQ(o.closed, !expected.isEmpty()) << what.toStdString();
            EXPECT_EQ(o.message, expected.isEmpty() ? kNoMatch : QString()) << what.toStdString();
        }
    }
}

TEST_P(CustomerQueryTest, OpensOnTheLastThirtyDaysAndTheCriterionClearsTheText)
{
    FixedClock clock(QDateTime(QDate(2024, 6, 1), QTime(9, 0)));
    logIn("Admin", true);
    TfrmCustomerQuery3 q;
    q.show();
    EXPECT_EQ(q.windowTitle(), "客户查询");
    EXPECT_EQ(q.startDate()->date(), QDate(2024, 5, 2));
    EXPECT_EQ(q.endDate()->date(), QDate(2024, 6, 1));
    EXPECT_TRUE(q.periodChoice()->isChecked());
    EXPECT_EQ(q.focusWidget(), q.periodChoice());
    EXPECT_EQ(TfrmCustomerQuery3::criteria(),
              (QStringList{"所有客户", "客户代码", "客户名称", "主要联系人", "地址", "国籍", "所在区", "电话", "传真",
                           "工作人员代码", "客户类别代码", "客户级别代码", "客户状态代码", "客户来源代码", "Email",
                           "主要成员"}));
    EXPECT_FALSE(q.text()->isEnabled());
    q.criterion()->setCurrentIndex(2);
    EXPECT_TRUE(q.text()->isEnabled());
    q.text()->setText("张");
    q.criterion()->setCurrentIndex(1);
    EXPECT_EQ(q.text()->text(), "");
    q.criterion()->setCurrentIndex(0);
    EXPECT_FALSE(q.text()->isEnabled());
    // The period as it opens: the last thirty days, both ends included.
    q.BtnOkClick();
    EXPECT_EQ(codes(list), (QStringList{"K02", "K03", "K06"}));
}

TEST_P(CustomerQueryTest, AnEmptyTextIsAskedForAndChangesNothing)
{
    logIn("zhang", false);
    ASSERT_EQ(runCriterion("客户名称", "王家").rows, QStringList{}); // another owner's customer
    const Condition before = list->filter();
    TfrmCustomerQuery3 q;
    q.show();
    q.criteriaChoice()->setChecked(true);
    q.criterion()->setCurrentIndex(1);
    q.text()->setText("   ");
    q.BtnOkClick();
    EXPECT_EQ(prompts.last(), "请输入查询条件!");
    EXPECT_EQ(q.focusWidget(), q.text());
    EXPECT_EQ(q.result(), 0);
    EXPECT_EQ(list->filter(), before);
}

TEST_P(CustomerQueryTest, TheSystemFlagIsReadFromTheUserTableEachTime)
{
    // Logged in as an ordinary user, made a system user since.
    logIn("zhang", false);
    ASSERT_TRUE(t->db().exec("UPDATE tblUser SET Sys = ? WHERE UserID = 'zhang'", {true}).isEmpty());
    EXPECT_EQ(runCriterion("所有客户", {}).rows.size(), 6);
    // And the other way round.
    logIn("Admin", true);
    ASSERT_TRUE(t->db().exec("UPDATE tblUser SET Sys = ? WHERE UserID = 'Admin'", {false}).isEmpty());
    EXPECT_EQ(runCriterion("所有客户", {}).rows, QStringList{"K03"});
}

TEST_P(CustomerQueryTest, TheResultStaysThroughARefreshAndCancelChangesNothing)
{
    logIn("Admin", true);
    ASSERT_TRUE(list->open());
    ASSERT_EQ(runCriterion("客户名称", "家").rows, (QStringList{"K01", "K03", "K05", "K06"}));
    ASSERT_TRUE(list->refresh());
    EXPECT_EQ(codes(list), (QStringList{"K01", "K03", "K05", "K06"}));
    TfrmCustomerQuery3 q;
    q.criteriaChoice()->setChecked(true);
    q.criterion()->setCurrentIndex(1);
    q.text()->setText("K04");
    q.reject();
    EXPECT_EQ(codes(list), (QStringList{"K01", "K03", "K05", "K06"}));
}

TEST_P(CustomerQueryTest, TheQuickSearchWorksOnTheSecondSetWithoutTheOwnerTerm)
{
    logIn("zhang", false);
    Dataset *second = set("tblCustomers2");
    second->setFilter(Condition::equals("SUser", "zhang"));
    struct Case {
        int criterion;
        QString text;
        QString message;      // when the text is missing
        QStringList expected; // rows afterwards
    };
    const QVector<Case> cases = {
        {1, "", "请输入匹配的客户代码!", {"K01", "K02", "K05"}},
        {2, " ", "请输入匹配的客户名称!", {"K01", "K02", "K05"}},
        {2, "王家", {}, {"K03"}}, // another owner's customer is found
        {2, "O'Neill", {}, {"K01"}},
        {1, "k0", {}, {"K01", "K02", "K03", "K04", "K05", "K06"}},
        {0, {}, {}, {"K01", "K02", "K03", "K04", "K05", "K06"}},
    };
    for (const Case &c : cases) {
        second->setFilter(Condition::equals("SUser", "zhang"));
        prompts.clear();
        TfrmCustomerQuery4 q;
        EXPECT_EQ(q.windowTitle(), "客户查询");
        q.criterion()->setCurrentIndex(c.criterion);
        q.text()->setText(c.text);
        q.BtnOkClick();
        EXPECT_EQ(prompts.last(), c.message) << c.text.toStdString();
        EXPECT_EQ(q.result() == QDialog::Accepted, c.message.isEmpty()) << c.text.toStdString();
        EXPECT_EQ(codes(second), c.expected) << c.text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, CustomerQueryTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
