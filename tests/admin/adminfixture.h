#pragma once

#include "data/database.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QStringList>

#include <memory>

// A fresh database behind the program's data module, with Admin logged in.
class AdminFixture : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        dm = std::make_unique<TdmMain>();
        ASSERT_EQ(dm->connectTo(t->openAnother()), "");
        Session::current().logIn("Admin", true);
    }
    void TearDown() override
    {
        dm.reset();
        Session::current().reset();
    }

    Database &db() { return *dm->database(); }
    // The first column of every row of a statement, as text.
    QStringList column(const QString &sql, const QVariantList &values = {}) { return Stored::column(db(), sql, values); }
    QString one(const QString &sql, const QVariantList &values = {})
    {
        const QStringList l = column(sql, values);
        return l.isEmpty() ? QString() : l.first();
    }
    QStringList logLines() { return Stored::logLines(db()); }

    AppHome home; // grids keep their layout there, not beside the test program
    FakePrompts prompts;
    std::unique_ptr<TempDatabase> t;
    std::unique_ptr<TdmMain> dm;
};
