// The data module: shared sets, their links and names, on every engine.
#include "data/database.h"
#include "data/dataset.h"
#include "data/datasetmodel.h"
#include "data/dmmain.h"
#include "data/sharedsets.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSet>
#include <QSignalSpy>

namespace {
class DataModuleTest : public ::testing::TestWithParam<Engine>
{
};

// A connected data module over two customers of "Admin" and one of
// "zhang", with contacts and a placed worker, as the sets that look each
// other up see them.
class PeerSetsTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Database &db = t->db();
        for (const auto &[id, name, user] : {std::tuple{"KH1", "甲", "Admin"}, {"KH2", "乙", "Admin"}, {"KH3", "丙", "zhang"}})
            ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", id}, {"CustName", name}, {"SUser", user}}), "");
        ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", "L1"}, {"CustID", "KH1"}, {"Name", "甲的联系人"}}), "");
        ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", "L2"}, {"CustID", "KH2"}, {"Name", "乙的联系人"}}), "");
        ASSERT_EQ(db.insertRow("tblYuangong", {{"YuangongID", "W1"}, {"CustID", "KH1"}, {"Name", "工一"}}), "");
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
        customers = dm.dataset("tblCustomers");
        customers2 = dm.dataset("tblCustomers2");
        // The list shows the user's own customers, as the module sets it.
        customers->setFilter(Condition::equals("SUser", "Admin"));
        ASSERT_TRUE(customers->open());
        grid = std::make_unique<DatasetModel>(customers);
        tester = std::make_unique<QAbstractItemModelTester>(grid.get(),
                                                            QAbstractItemModelTester::FailureReportingMode::Fatal);
    }

    static QStringList column(Dataset *d, const char *field)
    {
        d->fetchAll();
        QStringList out;
        for (int r = 0; r < d->rowCount(); ++r)
            out << d->value(r, field).toString();
        return out;
    }
    static void store(Dataset *d, const QVariantMap &values)
    {
        for (auto it = values.begin(); it != values.end(); ++it)
            ASSERT_TRUE(d->setValue(it.key(), it.value())) << d->lastError().toStdString();
        ASSERT_TRUE(d->post()) << d->lastError().toStdString();
    }
    static void storeNew(Dataset *d, const QVariantMap &values)
    {
        ASSERT_TRUE(d->append()) << d->lastError().toStdString();
        store(d, values);
    }

    std::unique_ptr<TempDatabase> t;
    TdmMain dm;
    Dataset *customers = nullptr, *customers2 = nullptr;
    std::unique_ptr<DatasetModel> grid;
    std::unique_ptr<QAbstractItemModelTester> tester;
};
} // namespace

// Windows name the shared sets by their constants: each constant is a set
// of the module under that very name, no two constants name one set, and
// no set of the module lacks a constant.
TEST(SharedSets, EachSetOfTheModuleHasOneNamedConstant)
{
    TdmMain dm;
    const QStringList named = Sets::all();
    EXPECT_EQ(QSet<QString>(named.begin(), named.end()).size(), named.size());
    for (const QString &name : named) {
        const Dataset *d = dm.dataset(name);
        ASSERT_TRUE(d) << name.toStdString();
        EXPECT_EQ(d->name(), name);
    }
    for (const QString &name : dm.datasetNames())
        EXPECT_TRUE(named.contains(name)) << name.toStdString();
}

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
    // The staff window's contract list names them too.
    Dataset *staffContracts = dm.dataset("qryOperateInfo");
    ASSERT_TRUE(staffContracts->open());
    EXPECT_EQ(staffContracts->value("CustName").toString(), "乙");
    EXPECT_EQ(staffContracts->value("LinkmanName").toString(), "乙的联系人");
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

// A customer stored through one set is what every other set over the
// customers shows, names looked up there included, without reading the
// whole list again.
TEST_P(PeerSetsTest, AStoredRowIsReadAgainByTheOtherSets)
{
    Dataset *workers = dm.dataset("tblYuangong"); // names its customer through tblCustomers
    ASSERT_TRUE(workers->open());
    EXPECT_EQ(workers->value("CustName").toString(), "甲");
    Dataset *allContacts = dm.dataset("qryLinkmans1"); // names its customer through tblCustomers2
    ASSERT_TRUE(allContacts->open());
    EXPECT_EQ(column(allContacts, "CustName"), QStringList({"甲", "乙"}));
    QSignalSpy resets(customers, &Dataset::rowsReset);
    QSignalSpy changed(customers, &Dataset::rowChanged);

    // The dialog's set stores KH1: the list and the names through it follow.
    ASSERT_TRUE(customers2->locate("CustId", "KH1"));
    store(customers2, {{"CustName", "甲公司"}});
    EXPECT_EQ(customers->value(0, "CustName").toString(), "甲公司");
    EXPECT_EQ(grid->data(grid->index(0, grid->columnOf("CustName"))).toString(), "甲公司");
    EXPECT_EQ(workers->value("CustName").toString(), "甲公司");
    EXPECT_EQ(resets.count(), 0) << "one row read again, not the list";
    EXPECT_EQ(changed.count(), 1);

    // The list's own set stores KH2: the dialog's set and its names follow.
    ASSERT_TRUE(customers->setCurrentRow(1));
    store(customers, {{"CustName", "乙公司"}});
    ASSERT_TRUE(customers2->locate("CustId", "KH2"));
    EXPECT_EQ(customers2->value("CustName").toString(), "乙公司");
    EXPECT_EQ(column(allContacts, "CustName"), QStringList({"甲公司", "乙公司"}));
    Dataset *contacts = dm.dataset("tblLinkmans"); // follows tblCustomers, now on KH2
    ASSERT_TRUE(contacts->open());
    EXPECT_EQ(contacts->value("CustName").toString(), "乙公司");

    // Stored out of the list's filter: it leaves the list, the current row
    // with it, and the contacts follow the customer now current.
    store(customers2, {{"SUser", "zhang"}});
    EXPECT_EQ(column(customers, "CustId"), QStringList({"KH1"}));
    EXPECT_EQ(customers->value("CustId").toString(), "KH1");
    EXPECT_EQ(column(contacts, "LinkmanID"), QStringList({"L1"}));
}

TEST_P(PeerSetsTest, NewAndDeletedRowsComeAndGoWhereTheirConditionsSay)
{
    Dataset *contacts = dm.dataset("tblLinkmans");   // the contacts of the list's current customer
    Dataset *contacts2 = dm.dataset("tblLinkmans2"); // of the dialog's current customer
    Dataset *allContacts = dm.dataset("qryLinkmans1");
    ASSERT_TRUE(contacts->open());
    ASSERT_TRUE(allContacts->open());
    ASSERT_EQ(customers->value("CustId").toString(), "KH1");

    // Added by the dialog: the list gains its own user's customer, in its
    // place by the list's order, and never another user's.
    storeNew(customers2, {{"CustId", "KH4"}, {"CustName", "丁"}, {"SUser", "Admin"}});
    storeNew(customers2, {{"CustId", "KH5"}, {"CustName", "戊"}, {"SUser", "zhang"}});
    EXPECT_EQ(column(customers, "CustId"), QStringList({"KH1", "KH2", "KH4"}));
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(customers->value("CustId").toString(), "KH1") << "the list stays on its row";
    // Added by the list: the dialog's set gains it, and its name answers.
    storeNew(customers, {{"CustId", "KH6"}, {"CustName", "己"}, {"SUser", "Admin"}});
    EXPECT_TRUE(customers2->locate("CustId", "KH6"));
    ASSERT_TRUE(customers->locate("CustId", "KH1"));

    // A contact added for another customer than the list's stays out of its
    // contact set; one for its customer comes in; every-contact sets take both.
    ASSERT_TRUE(customers2->locate("CustId", "KH6"));
    ASSERT_TRUE(contacts2->open());
    storeNew(contacts2, {{"LinkmanID", "L6"}, {"Name", "己的联系人"}});
    EXPECT_EQ(column(contacts, "LinkmanID"), QStringList({"L1"}));
    ASSERT_TRUE(customers2->locate("CustId", "KH1"));
    storeNew(contacts2, {{"LinkmanID", "L7"}, {"Name", "甲的新联系人"}});
    EXPECT_EQ(column(contacts, "LinkmanID"), QStringList({"L1", "L7"}));
    EXPECT_EQ(column(allContacts, "LinkmanID"), QStringList({"L1", "L2", "L6", "L7"}));
    EXPECT_EQ(column(allContacts, "CustName"), QStringList({"甲", "乙", "己", "甲"}));
    // A contract names a contact added a moment ago.
    Dataset *contracts = dm.dataset("tblOperates2");
    storeNew(contracts, {{"OperateID", "HT1"}, {"CustID", "KH1"}, {"LinkmanID", "L7"}});
    EXPECT_EQ(contracts->value("LinkmanName").toString(), "甲的新联系人");

    // Deleted through one set, gone from the others.
    ASSERT_TRUE(contacts2->locate("LinkmanID", "L7"));
    ASSERT_TRUE(contacts2->remove()) << contacts2->lastError().toStdString();
    EXPECT_EQ(column(contacts, "LinkmanID"), QStringList({"L1"}));
    EXPECT_EQ(column(allContacts, "LinkmanID"), QStringList({"L1", "L2", "L6"}));
    EXPECT_TRUE(contracts->value("LinkmanName").isNull());
    ASSERT_TRUE(customers2->locate("CustId", "KH4"));
    ASSERT_TRUE(customers2->remove());
    EXPECT_EQ(column(customers, "CustId"), QStringList({"KH1", "KH2", "KH6"}));
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(customers->value("CustId").toString(), "KH1");

    // Closed sets hear nothing and read what is there when they open.
    customers->close();
    storeNew(customers2, {{"CustId", "KH7"}, {"CustName", "庚"}, {"SUser", "Admin"}});
    ASSERT_TRUE(customers->open());
    EXPECT_EQ(column(customers, "CustId"), QStringList({"KH1", "KH2", "KH6", "KH7"}));
}

// The set being edited keeps what the user typed; storing it then is told
// of the other change, as a change from another workstation would be.
TEST_P(PeerSetsTest, ASetBeingEditedKeepsItsEdit)
{
    ASSERT_TRUE(customers->setValue("CustName", "本机改的"));
    ASSERT_TRUE(customers2->locate("CustId", "KH1"));
    store(customers2, {{"CustName", "他处改的"}});
    storeNew(customers2, {{"CustId", "KH4"}, {"CustName", "丁"}, {"SUser", "Admin"}});
    ASSERT_TRUE(customers2->locate("CustId", "KH2"));
    ASSERT_TRUE(customers2->remove());
    EXPECT_EQ(customers->state(), Dataset::State::Edit);
    EXPECT_EQ(customers->value("CustName").toString(), "本机改的");
    EXPECT_EQ(customers->value("CustId").toString(), "KH1");
    EXPECT_EQ(customers->rowCount(), 2);
    EXPECT_FALSE(customers->post());
    EXPECT_EQ(customers->lastError(), Dataset::kConflictText);
    customers->cancel();
    EXPECT_EQ(customers->value("CustName").toString(), "他处改的");

    // A new row being typed stays the last row, and stores.
    ASSERT_TRUE(customers->append());
    ASSERT_TRUE(customers->setValue("CustId", "KH8"));
    storeNew(customers2, {{"CustId", "KH9"}, {"CustName", "壬"}, {"SUser", "Admin"}});
    EXPECT_EQ(customers->state(), Dataset::State::Insert);
    EXPECT_EQ(customers->currentRow(), customers->rowCount() - 1);
    EXPECT_EQ(customers->value("CustId").toString(), "KH8");
    store(customers, {{"CustName", "辛"}, {"SUser", "Admin"}});
    EXPECT_EQ(column(customers, "CustId"), QStringList({"KH1", "KH4", "KH9", "KH8"}));
    EXPECT_TRUE(customers2->locate("CustId", "KH8"));
}

INSTANTIATE_TEST_SUITE_P(Engines, PeerSetsTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

INSTANTIATE_TEST_SUITE_P(Engines, DataModuleTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });
