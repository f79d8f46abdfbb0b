#pragma once

// A small agency for the customer searches, the pickers and the contact
// history, on each engine: six customers of three owners, a system user
// (the built-in Admin) and two ordinary users.
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/userrights.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/login.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QSqlQuery>

#include <algorithm>
#include <initializer_list>
#include <tuple>
#include <memory>

class CustomerSearchBase : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Database &db = t->db();
        using Entry = std::tuple<const char *, const char *, const char *>;
        for (const auto &[table, code, name] :
             std::initializer_list<Entry>{{"tblVocation", "V1", "家庭"}, {"tblCustOrigin", "O1", "介绍"},
                                          {"tblCustLevel", "L1", "重要"}, {"tblCustState", "S1", "正常"},
                                          {"tblCustDist", "HD", "海淀区"}}) {
            const QString tbl = QString::fromLatin1(table);
            const QString codeCol = tbl == "tblVocation" ? "VocationId" : tbl == "tblCustOrigin" ? "OriginID"
                : tbl == "tblCustLevel" ? "LevelID" : tbl == "tblCustState" ? "StateID" : "DistID";
            const QString nameCol = tbl == "tblVocation" ? "VocationName" : tbl == "tblCustOrigin" ? "OriginName"
                : tbl == "tblCustLevel" ? "LevelName" : tbl == "tblCustState" ? "StateName" : "DistName";
            ASSERT_EQ(db.insertRow(tbl, {{codeCol, code}, {nameCol, QString::fromUtf8(name)}, {"Memo", "-"}}), "");
        }
        // zhang may do everything under the customer right, li only look.
        for (const auto &[user, all] : {std::pair{"zhang", true}, std::pair{"li", false}}) {
            ASSERT_EQ(db.insertRow("tblUser", {{"UserID", user}, {"UserName", user}, {"Sys", false}}), "");
            ASSERT_EQ(db.insertRow("tblUserRight", {{"UserID", user}, {"RightID", "301"}, {"Insert", all},
                                                    {"Modify", all}, {"Delete", all}, {"Query", true},
                                                    {"Print", true}}),
                      "");
        }
        const QDateTime lateOnMay31(QDate(2024, 5, 31), QTime(23, 59, 59));
        addCustomer({{"CustId", "K01"}, {"CustName", "O'Neill 家"}, {"MainLinkman", "王五"},
                     {"Address", "北京市海淀区"}, {"CountryID", "CN"}, {"DistID", "HD"}, {"Telephone", "6270-1234"},
                     {"Fax", "6270-9999"}, {"OperaterID", "01"}, {"VocationID", "V1"}, {"LevelID", "L1"},
                     {"StateId", "S1"}, {"OriginID", "O1"}, {"Email", "a@x.com"}, {"HomePage", "夫妻二人"},
                     {"CreateDate", QDate(2024, 5, 1)}, {"SUser", "zhang"}});
        addCustomer({{"CustId", "K02"}, {"CustName", "100% 满意"}, {"OperaterID", "001"}, {"VocationID", "V11"},
                     {"CreateDate", lateOnMay31}, {"SUser", "zhang"}});
        addCustomer({{"CustId", "K03"}, {"CustName", "王家"}, {"HomePage", "a@x.com"},
                     {"CreateDate", QDate(2024, 6, 1)}, {"SUser", "Admin"}});
        addCustomer({{"CustId", "K04"}, {"CustName", "a_b"}, {"CreateDate", QDate(2024, 6, 15)}, {"SUser", "li"}});
        addCustomer({{"CustId", "K05"}, {"CustName", "赵家"}, {"CreateDate", QDate(2024, 4, 30)}, {"SUser", "zhang"}});
        addCustomer({{"CustId", "K06"}, {"CustName", "孙家"}, {"CreateDate", QDate(2024, 5, 15)}});
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
    }
    void TearDown() override
    {
        UserRights::current().clear();
        Session::current().reset();
    }

    void addCustomer(const FieldValues &values) { ASSERT_EQ(t->db().insertRow("tblCustomers", values), ""); }
    void logIn(const QString &user, bool sys)
    {
        ASSERT_EQ(logInAs(t->db(), user, sys), "");
    }
    Dataset *set(const QString &name) { return dm.dataset(name); }
    // Every row of a set, by one field, sorted.
    static QStringList codes(Dataset *d, const QString &field = QStringLiteral("CustId"))
    {
        d->fetchAll();
        QStringList list;
        for (int r = 0; r < d->rowCount(); ++r)
            list << d->value(r, field).toString();
        std::sort(list.begin(), list.end());
        return list;
    }
    int count(const QString &sql, const QVariantList &v = {}) { return Stored::count(t->db(), sql, v); }
    QString one(const QString &sql, const QVariantList &v = {}) { return Stored::text(t->db(), sql, v); }

    AppHome home;
    FakePrompts prompts;
    TdmMain dm;
    std::unique_ptr<TempDatabase> t;
};
