// Conditions reach the database as bound values on both engines.
#include "data/condition.h"
#include "data/database.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QSqlQuery>

namespace {

class ConditionTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        const QList<QPair<QString, QString>> rows{
            {"K1", "Patrick O'Neill"}, {"K2", "100% 满意"},  {"K3", "1005 满意"}, {"K4", "a_b"},
            {"K5", "axb"},             {"K6", "ALPHA beta"}, {"K7", "back\\slash"}, {"K8", ""},
                                           {"K11", "王Wang家政"}, {"K12", "c:\\%TEMP%"}};
        for (const auto &[id, name] : rows)
            ASSERT_EQ(t->db().insertRow("tblCustomers", {{"CustId", id}, {"CustName", name}, {"SUser", id == "K1" ? "o'brien" : "admin"}}), "");
        ASSERT_EQ(t->db().insertRow("tblCustomers", {{"CustId", "K9"}, {"CreateDate", QDateTime(QDate(2024, 5, 31), QTime(23, 59, 59))}}), "");
        ASSERT_EQ(t->db().insertRow("tblCustomers", {{"CustId", "K10"}, {"CreateDate", QDate(2024, 6, 1)}}), "");
    }

    QStringList match(const Condition &c)
    {
        QVariantList values;
        const QString sql = "SELECT CustId FROM tblCustomers WHERE " + c.toSql(t->db().dialect(), values) + " ORDER BY CNo";
        QSqlQuery q(t->db().sql());
        QString err;
        EXPECT_TRUE(t->db().prepareAndExec(q, sql, values, &err)) << err.toStdString();
        QStringList ids;
        while (q.next())
            ids << q.value(0).toString();
        return ids;
    }

    std::unique_ptr<TempDatabase> t;
};

} // namespace

TEST_P(ConditionTest, UserTextIsAlwaysAValue)
{
    struct Case {
        const char *what;
        Condition c;
        QStringList ids;
    } cases[] = {
        {"quote in a search", Condition::contains("CustName", "O'Neill"), {"K1"}},
        {"quote in a user code", Condition::equals("SUser", "o'brien"), {"K1"}},
        {"injection stays text", Condition::equals("SUser", "x' OR '1'='1"), {}},
        {"injection in LIKE stays text", Condition::contains("CustName", "' OR 1=1 --"), {}},
        {"typed % alone matches only a %", Condition::contains("CustName", "%"), {"K2", "K12"}},
        {"typed % is the character", Condition::contains("CustName", "100%"), {"K2"}},
        {"typed % spans nothing", Condition::contains("CustName", "10%满意"), {}},
        {"typed _ alone matches only a _", Condition::contains("CustName", "_"), {"K4"}},
        {"typed _ is the character", Condition::contains("CustName", "a_b"), {"K4"}},
        {"backslash is ordinary", Condition::contains("CustName", "k\\s"), {"K7"}},
        {"backslash before a wildcard is two characters", Condition::contains("CustName", "\\%"), {"K12"}},
        {"a pattern's own wildcard", Condition::like("CustName", "a_b"), {"K4", "K5"}},
        {"a pattern's escaped wildcard", Condition::like("CustName", "a\\_b"), {"K4"}},
        {"case-insensitive", Condition::contains("CustName", "alpha BETA"), {"K6"}},
        {"Chinese", Condition::contains("CustName", "满意"), {"K2", "K3"}},
        {"Chinese with letters in the other case", Condition::contains("CustName", "王wANG"), {"K11"}},
        {"a whole pattern without letters", Condition::like("CustName", "%家政"), {"K11"}},
        {"a whole pattern with letters in the other case", Condition::like("CustName", "王w%"), {"K11"}},
        {"field names in any case", Condition::contains("custname", "满意"), {"K2", "K3"}},
        {"empty matches NULL and ''", Condition::isEmpty("CustName"), {"K8", "K9", "K10"}},
        {"AND binds in order", Condition::contains("CustName", "满意") && Condition::equals("CustId", "K3"), {"K3"}},
        {"OR", Condition::equals("CustId", "K1") || Condition::equals("CustId", "K4"), {"K1", "K4"}},
        {"NOT", !Condition::isEmpty("CustName") && !Condition::contains("CustName", "a"), {"K2", "K3", "K12"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(match(c.c), c.ids) << c.what;
}

TEST_P(ConditionTest, DateRangesAreWholeDays)
{
    EXPECT_EQ(match(Condition::dateRange("CreateDate", QDate(2024, 5, 31), QDate(2024, 5, 31))), QStringList{"K9"});
    EXPECT_EQ(match(Condition::dateRange("CreateDate", QDate(2024, 5, 31), QDate(2024, 6, 1))), (QStringList{"K9", "K10"}));
    EXPECT_EQ(match(Condition::dateRange("CreateDate", QDate(2024, 6, 1), QDate())), QStringList{"K10"});
    EXPECT_EQ(match(Condition::dateRange("CreateDate", QDate(), QDate(2024, 5, 30))), QStringList{});
    EXPECT_EQ(match(Condition::yearIs("CreateDate", 2024) && Condition::monthIs("CreateDate", 6)), QStringList{"K10"});
    EXPECT_EQ(match(Condition::compare("CreateDate", ">=", QDate(2024, 6, 1))), QStringList{"K10"});
}

INSTANTIATE_TEST_SUITE_P(Engines, ConditionTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });
