// The Insert and Modify flags of a right hold on every path a row takes:
// typing on the detail page and moving on, a sub-page's own set, the
// record dialog, "新增" from the keyboard, and the store of the data set
// itself. Users × flags × paths on the customer and the staff windows, on
// both engines.
#include "contacts/data/contactrules.h"
#include "customers/tfrmcustomernew1.h"
#include "customers/tfrmcustomers.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/tablerules.h"
#include "data/userrights.h"
#include "staff/tfrmoperaters.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/login.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"
#include "ui/form.h"
#include "ui/recorddialogs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QSqlQuery>

#include <memory>

namespace {

struct User {
    const char *id;
    bool insert, modify;
};
// Each holds Query, Delete and Print as well: only the two flags differ.
const User kUsers[] = {{"query", false, false}, {"modifier", false, true}, {"inserter", true, false}, {"both", true, true}};

class FlagsTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Database &db = t->db();
        for (const User &u : kUsers) {
            ASSERT_EQ(db.insertRow("tblUser", {{"UserID", u.id}, {"UserName", u.id}, {"Sys", false}}), "");
            for (const char *right : {"301", "302", "303"})
                ASSERT_EQ(db.insertRow("tblUserRight", {{"UserID", u.id}, {"RightID", right}, {"Insert", u.insert},
                                                        {"Modify", u.modify}, {"Delete", true}, {"Query", true},
                                                        {"Print", true}}),
                          "");
            for (int n = 1; n <= 2; ++n)
                ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", QString("%1-%2").arg(u.id).arg(n)},
                                                        {"CustName", QString("客户%1").arg(n)}, {"SUser", u.id}}),
                          "");
            ASSERT_EQ(db.insertRow("tblCustomerAddInfo", {{"CustID", QString("%1-1").arg(u.id)}, {"Account", "旧"}}), "");
        }
        for (const char *code : {"E1", "E2"})
            ASSERT_EQ(db.insertRow("tblOperaters", {{"OperaterID", code}, {"Name", "原名"}}), "");
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
    }
    void TearDown() override
    {
        customers.reset();
        staff.reset();
        UserRights::current().clear();
        Session::current().reset();
    }
    void logIn(const User &u)
    {
        customers.reset();
        staff.reset();
        ASSERT_EQ(logInAs(t->db(), u.id, false), "");
    }
    QString stored(const QString &sql) { return Stored::text(t->db(), sql); }
    // A change typed into the row in hand, then the move to the next row
    // that stores it: what the move said ("" when it was stored).
    QString changeAndMove(Dataset *set, const QString &field, const QString &value)
    {
        EXPECT_TRUE(set->first());
        set->setValue(field, value); // typing starts editing; the store decides
        const bool moved = set->next();
        const QString said = moved ? QString() : set->lastError();
        if (set->isEditing())
            set->cancel();
        return said;
    }
    // A new row with its fields, stored as "保存" or a move would.
    QString insert(Dataset *set, const QList<std::pair<QString, QString>> &values)
    {
        if (!set->append())
            return set->lastError();
        for (const auto &[f, v] : values)
            set->setValue(f, v);
        const bool ok = set->post();
        const QString said = ok ? QString() : set->lastError();
        if (set->isEditing())
            set->cancel();
        return said;
    }

    AppHome home;
    FakePrompts prompts;
    TdmMain dm;
    std::unique_ptr<TempDatabase> t;
    std::unique_ptr<TfrmCustomers> customers;
    std::unique_ptr<TfrmOperaters> staff;
};

TEST_P(FlagsTest, TheCustomerWindowStoresOnlyWhatTheFlagsAllow)
{
    for (const User &u : kUsers) {
        SCOPED_TRACE(u.id);
        logIn(u);
        customers = std::make_unique<TfrmCustomers>();
        customers->show();
        customers->open();
        Dataset *set = customers->dataset();
        ASSERT_EQ(set->rowCount(), 2);

        // The commands and the detail page: a form the user may not change
        // takes no typing at all.
        EXPECT_EQ(customers->command("ListNew")->isEnabled(), u.insert);
        EXPECT_EQ(customers->command("ListModify")->isEnabled(), u.modify);
        customers->showDetail();
        EXPECT_EQ(customers->form()->widget("CustName")->isEnabled(), u.modify);

        // Typing and moving on (the grid, the keyboard and the detail page
        // all end in this store).
        const QString moved = changeAndMove(set, "CustName", "改名");
        EXPECT_EQ(moved, u.modify ? QString() : kNoModifyFlag);
        EXPECT_EQ(stored(QString("SELECT CustName FROM tblCustomers WHERE CustId = '%1-1'").arg(u.id)),
                  u.modify ? "改名" : "客户1");

        // A sub-page's own set ("其他资料").
        Dataset *info = dm.dataset("tblCustomerAddInfo");
        ASSERT_TRUE(set->first());
        ASSERT_TRUE(info->isActive() || info->open());
        ASSERT_EQ(info->rowCount(), 1);
        info->setValue("Account", "新");
        EXPECT_EQ(info->post(), u.modify);
        if (info->isEditing())
            info->cancel();
        EXPECT_EQ(stored(QString("SELECT Account FROM tblCustomerAddInfo WHERE CustID = '%1-1'").arg(u.id)),
                  u.modify ? "新" : "旧");

        // A new customer, however started.
        const QString made = insert(set, {{"CustId", QString("%1-9").arg(u.id)}, {"CustName", "新客户"}});
        EXPECT_EQ(made, u.insert ? QString() : kNoInsertFlag);
        EXPECT_EQ(stored(QString("SELECT count(*) FROM tblCustomers WHERE CustId = '%1-9'").arg(u.id)),
                  u.insert ? "1" : "0");

        // The record dialog over the same set.
        ASSERT_TRUE(set->first());
        TfrmCustomerNew1 dlg;
        dlg.show();
        EXPECT_EQ(dlg.form()->widget("CustName")->isEnabled(), u.modify);
        dlg.hide();
    }
}

TEST_P(FlagsTest, TheStaffWindowStoresOnlyWhatTheFlagsAllow)
{
    QString expected = QStringLiteral("原名");
    for (const User &u : kUsers) {
        SCOPED_TRACE(u.id);
        logIn(u);
        staff = std::make_unique<TfrmOperaters>();
        staff->show();
        staff->open();
        Dataset *set = staff->dataset();
        EXPECT_EQ(staff->command("ListNew")->isEnabled(), u.insert);
        staff->showDetail();
        EXPECT_EQ(staff->form()->widget("Name")->isEnabled(), u.modify);
        const QString name = QString("改%1").arg(u.id);
        EXPECT_EQ(changeAndMove(set, "Name", name), u.modify ? QString() : kNoModifyFlag);
        if (u.modify)
            expected = name;
        EXPECT_EQ(stored("SELECT Name FROM tblOperaters WHERE OperaterID = 'E1'"), expected);
        EXPECT_EQ(insert(set, {{"OperaterID", QString("N-%1").arg(u.id)}, {"Name", "新人"}}),
                  u.insert ? QString() : kNoInsertFlag);
        EXPECT_EQ(stored(QString("SELECT count(*) FROM tblOperaters WHERE OperaterID = 'N-%1'").arg(u.id)),
                  u.insert ? "1" : "0");
    }
}

TEST_P(FlagsTest, ContactsNeedTheFlagsOfTheContactOrTheCustomerRight)
{
    // Contacts are kept from both windows: either right's flags will do.
    const TableRules r = ContactRules::linkmans();
    EXPECT_EQ(r.rights, (QStringList{"302", "301"}));
    Database &db = t->db();
    ASSERT_TRUE(QSqlQuery(db.sql()).exec("UPDATE tblUserRight SET " + db.dialect().ident("Insert") + " = "
                                         + db.dialect().boolLiteral(false)
                                         + " WHERE UserID = 'inserter' AND RightID = '301'"));
    for (const User &u : kUsers) {
        SCOPED_TRACE(u.id);
        logIn(u);
        // The contacts of the user's customer, as the customer window's page has them.
        Dataset *customers = dm.dataset("tblCustomers");
        ASSERT_TRUE(customers->isActive() || customers->open()) << customers->lastError().toStdString();
        ASSERT_TRUE(customers->locate("CustId", QString("%1-1").arg(u.id)));
        Dataset *contacts = dm.dataset("tblLinkmans");
        ASSERT_TRUE(contacts->isActive() || contacts->open()) << contacts->lastError().toStdString();
        EXPECT_EQ(insert(contacts, {{"LinkmanID", QString("K-%1").arg(u.id)}, {"Name", "联系人"}}),
                  u.insert ? QString() : kNoInsertFlag);
    }
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Engines, FlagsTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });
