// The data module: shared sets, their links and names, on every engine.
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

namespace {
class DataModuleTest : public ::testing::TestWithParam<Engine>
{
};
} // namespace

TEST_P(DataModuleTest, ConnectsOpensTheSharedSetsAndLinksThem)
{
    TempDatabase t(GetParam());
    Database &db = t.db();
    ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", "KH1"}, {"CustName", "甲"}, {"CountryID", "CN"}, {"SUser", "Admin"}}), "");
    ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", "KH2"}, {"CustName", "乙"}, {"SUser", "zhang"}}), "");
    ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", "L1"}, {"CustID", "KH1"}, {"Name", "甲的联系人"}}), "");
    ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", "L1"}, {"CustID", "KH2"}, {"Name", "乙的联系人"}}), "");
    ASSERT_EQ(db.insertRow("tblOperates", {{"OperateID", "HT1"}, {"CustID", "KH2"}, {"LinkmanID", "L1"}, {"CurrID", "RMB"}}), "");
    ASSERT_EQ(db.insertRow("tblOperateDetail", {{"OperateID", "HT1"}, {"DetailNo", 1}}), "");

    TdmMain dm;
    EXPECT_EQ(TdmMain::instance(), &dm);
    ASSERT_EQ(dm.connectTo(t.openAnother()), "");
    for (const char *name : {"tblCountry", "tblCurrencyRate", "tblBoard", "tblLinkmans2", "qryCustomers1",
                             "tblOperates2", "tblCustomers2", "tblOperaters"})
        EXPECT_TRUE(dm.dataset(name)->isActive()) << name;
    EXPECT_FALSE(dm.dataset("tblCustomers")->isActive());
    EXPECT_EQ(dm.dataset("TBLCUSTOMERS"), dm.dataset("tblCustomers"));
    EXPECT_EQ(dm.dataset("nothing"), nullptr);

    Dataset *customers = dm.dataset("tblCustomers");
    ASSERT_TRUE(customers->open());
    EXPECT_EQ(customers->value("CountryName").toString(), "中国");
    Dataset *contacts = dm.dataset("tblLinkmans");
    ASSERT_TRUE(contacts->open());
    EXPECT_EQ(contacts->rowCount(), 1);
    EXPECT_EQ(contacts->value("CustName").toString(), "甲");

    // Contact names are taken among the contacts of the contract's customer.
    Dataset *contracts = dm.dataset("tblOperates2");
    EXPECT_EQ(contracts->value("LinkmanName").toString(), "乙的联系人");
    EXPECT_EQ(contracts->value("CurrName").toString(), "人民币");
    EXPECT_EQ(dm.dataset("tblOperateDetail")->rowCount(), 0) << "detail sets open when a window needs them";
    ASSERT_TRUE(dm.dataset("tblOperateDetail")->open());
    EXPECT_EQ(dm.dataset("tblOperateDetail")->rowCount(), 1);

    // Per-user restriction of the name set: the other user's customer has no name.
    dm.dataset("tblCustomers2")->setFilter(Condition::equals("SUser", "Admin"));
    EXPECT_TRUE(contracts->value("CustName").isNull());

    // The store hooks: a new customer or contract without its code is dropped.
    ASSERT_TRUE(customers->append());
    customers->setValue("CustName", "无代码");
    ASSERT_TRUE(customers->post());
    EXPECT_TRUE(customers->lastPostDropped());
    ASSERT_TRUE(contracts->append());
    contracts->setValue("OperateTitle", "无代码");
    ASSERT_TRUE(contracts->first());
    EXPECT_EQ(contracts->rowCount(), 1);

    dm.disconnectDatabase();
    EXPECT_FALSE(customers->isActive());
    EXPECT_EQ(dm.database(), nullptr);
}

TEST_P(DataModuleTest, AMissingTableFailsTheConnection)
{
    TempDatabase t(GetParam());
    ASSERT_EQ(t.db().exec("DROP TABLE tblOperaters"), "");
    TdmMain dm;
    EXPECT_FALSE(dm.connectTo(t.openAnother()).isEmpty());
    EXPECT_EQ(dm.database(), nullptr);
    EXPECT_FALSE(dm.dataset("tblCountry")->isActive());
}

INSTANTIATE_TEST_SUITE_P(Engines, DataModuleTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });
