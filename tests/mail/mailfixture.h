#pragma once

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/userrights.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/modal.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QSqlQuery>
#include <QTimer>

#include <functional>
#include <memory>

// Customers and contacts on a fresh database, the data module connected
// and the administrator logged in: what the mail and envelope windows
// work on. Contacts K01..K50 have addresses, K51 and K52 none.
class MailFixture : public ::testing::TestWithParam<Engine>
{
protected:
    static constexpr int kWithAddress = 50;

    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Database &db = t->db();
        for (int c = 1; c <= 5; ++c)
            ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", QStringLiteral("C%1").arg(c)},
                                                    {"CustName", QStringLiteral("客户%1家").arg(c)},
                                                    {"PostCode", QStringLiteral("10008%1").arg(c)},
                                                    {"Address", QStringLiteral("北京市海淀区中关村大街%1号").arg(c)},
                                                    {"SUser", "Admin"}}),
                      "");
        for (int k = 1; k <= kWithAddress + 2; ++k) {
            const QString code = QStringLiteral("K%1").arg(k, 2, 10, QLatin1Char('0'));
            ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", code},
                                                   {"CustID", QStringLiteral("C%1").arg((k - 1) % 5 + 1)},
                                                   {"Name", QStringLiteral("联系人%1").arg(k)},
                                                   {"Duty", QStringLiteral("经理")},
                                                   {"SUser", "Admin"},
                                                   {"Email", k <= kWithAddress ? QVariant(QStringLiteral("c%1@example.cn").arg(k))
                                                                               : QVariant()}}),
                      "");
        }
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
        Session::current().logIn("Admin", true);
        ASSERT_EQ(UserRights::current().load(t->db(), "Admin"), "");
    }
    void TearDown() override
    {
        UserRights::current().clear();
        Session::current().reset();
    }

    // Answers the next modal window once it is up.
    static void whenModal(std::function<void(QWidget *)> act) { Modal::whenUp(std::move(act)); }
    QStringList logLines() { return Stored::logLines(t->db()); }

    AppHome home;
    std::unique_ptr<TempDatabase> t;
    TdmMain dm;
    FakePrompts prompts;
};
