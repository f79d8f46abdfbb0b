// Amounts are exact from the text typed to the database and into sums.
#include "data/database.h"
#include "data/dataset.h"
#include "data/money.h"
#include "data/schema.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QSqlQuery>

namespace {

QString text(const std::optional<Money> &m) { return m ? m->toString() : QStringLiteral("<none>"); }

} // namespace

TEST(Money, ReadsAndWritesDecimalText)
{
    struct Case {
        const char *in, *plain, *grouped, *currency;
    };
    const Case cases[] = {
        {"827", "827", "827.00", "¥827.00"},
        {"0.1", "0.1", "0.10", "¥0.10"},
        {"1,234,567.5", "1234567.5", "1,234,567.50", "¥1,234,567.50"},
        {"-3.25", "-3.25", "-3.25", "-¥3.25"},
        {"+7", "7", "7.00", "¥7.00"},
        {" 0.12345 ", "0.1235", "0.1235", "¥0.1235"},   // fifth place rounds half away from zero
        {"-0.00005", "-0.0001", "-0.0001", "-¥0.0001"},
        {"99999999999.9999", "99999999999.9999", "99,999,999,999.9999", "¥99,999,999,999.9999"},
    };
    for (const Case &c : cases) {
        const auto m = Money::parse(QString::fromUtf8(c.in));
        ASSERT_TRUE(m) << c.in;
        EXPECT_EQ(m->toString(), QString::fromUtf8(c.plain)) << c.in;
        EXPECT_EQ(m->toGrouped(), QString::fromUtf8(c.grouped)) << c.in;
        EXPECT_EQ(m->toCurrencyText(), QString::fromUtf8(c.currency)) << c.in;
    }
    for (const char *bad : {"", " ", "abc", "1e3", "1.2.3", "--1", "12a", "9999999999999999999"})
        EXPECT_FALSE(Money::parse(QString::fromUtf8(bad))) << bad;
}

TEST(Money, ProductsAreRoundedOnceFromTheDecimalsTyped)
{
    const Money hundred = *Money::parse(u"100");
    EXPECT_EQ(text(hundred.times(8.27)), "827");
    EXPECT_EQ(text(hundred.times(1.0)), "100");
    EXPECT_EQ(text(Money::parse(u"0.1")->times(3.0)), "0.3");         // not 0.30000000000000004
    EXPECT_EQ(text(Money::parse(u"1234.5678")->times(6.8312)), "8433.5796"); // 8433.57955536, half up
    const Money price = *Money::parse(u"150"), qty = *Money::parse(u"4");
    EXPECT_EQ(text(price.times(qty)), "600");
    EXPECT_EQ(text(price.times(qty, 1.0)), "600");
    EXPECT_EQ(text(price.times(qty, 0.5)), "300");
    EXPECT_EQ(text(Money::parse(u"19.99")->times(*Money::parse(u"3"), 7.1)), "425.787");
    EXPECT_EQ(text(Money::fromDouble(0.1 + 0.2)), "0.3");
    // A double amount is the decimal that was typed into it.
    EXPECT_EQ(text(Money::fromDouble(30081.4634)), "30081.4634");

    // Other parts of the program read amounts as numbers and text.
    const QVariant v = QVariant::fromValue(*Money::parse(u"12.5"));
    EXPECT_DOUBLE_EQ(v.toDouble(), 12.5);
    EXPECT_EQ(v.toString(), "12.5");
    EXPECT_EQ(text(Money::fromVariant(v)), "12.5");
    EXPECT_EQ(text(Money::fromVariant(QVariant(qlonglong(3)))), "3");
    EXPECT_FALSE(Money::fromVariant(QVariant()));
    EXPECT_FALSE(Money::fromVariant(QVariant(QString())));
}

class MoneyDbTest : public ::testing::TestWithParam<Engine>
{
};

// Three hundred lines of 0.1 sum to exactly 30 in the database's own SUM,
// and every amount comes back as it was typed.
TEST_P(MoneyDbTest, StoredAndSummedExactly)
{
    TempDatabase t(GetParam());
    ASSERT_TRUE(t.error().isEmpty()) << t.error().toStdString();
    Database &db = t.db();
    ASSERT_EQ(db.insertRow("tblOperates", {{"OperateID", "C1"}, {"CompactAmount", "1234567.8912"}, {"RMB", "0.1"}}), QString());
    const TableDef *def = Schema::table("tblOperateDetail");
    for (int i = 1; i <= 300; ++i)
        ASSERT_EQ(db.insertRow("tblOperateDetail", {{"OperateID", "C1"}, {"DetailNo", i}, {"RMB", QString("0.1")},
                                                    {"Price", 0.1}, {"Amount", QVariant::fromValue(*Money::parse(u"3"))}}),
                  QString());
    QSqlQuery q(db.sql());
    ASSERT_TRUE(q.exec("SELECT sum(RMB), sum(Price) FROM tblOperateDetail"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(db.fromDb(def->column("RMB"), q.value(0)).value<Money>().toString(), "30");
    EXPECT_EQ(db.fromDb(def->column("Price"), q.value(1)).value<Money>().toString(), "30");

    Dataset set(&db, "tblOperates", Schema::table("tblOperates"));
    ASSERT_TRUE(set.open()) << set.lastError().toStdString();
    EXPECT_EQ(set.value("CompactAmount").value<Money>().toString(), "1234567.8912");
    ASSERT_TRUE(set.setValue("CompactAmount", QStringLiteral("0.3")));
    ASSERT_TRUE(set.post()) << set.lastError().toStdString();
    set.close();
    ASSERT_TRUE(set.open());
    EXPECT_EQ(set.value("CompactAmount").value<Money>(), *Money::parse(u"0.3"));
}

INSTANTIATE_TEST_SUITE_P(Engines, MoneyDbTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });
