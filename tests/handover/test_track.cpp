// Staff tracking on both engines: the queries, the responsible staff
// member's name, the remark as the only change, and no path that adds a
// contact.
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "staff/tfrmoperatertrack.h"
#include "staff/tfrmoptrackquery.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/tempdatabase.h"
#include "ui/dateedit.h"
#include "ui/form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTest>

#include <memory>

namespace {

const QDate kToday(2024, 5, 20);

class TrackTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Database &db = t->db();
        for (const auto &[id, name] : {std::pair{"A01", "张三"}, {"B02", "李明"}})
            ASSERT_EQ(db.insertRow("tblOperaters", {{"OperaterID", id}, {"Name", name}}), "");
        for (const auto &[id, staff] : {std::pair{"C01", "A01"}, {"C02", "B02"}, {"X10", "A01"}})
            ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", id}, {"CustName", QString("客户") + id}, {"OperaterID", staff}}),
                      "");
        struct Contact {
            const char *cust;
            QDate day;
            const char *linkman;
        };
        for (const Contact &c : {Contact{"C01", kToday, "王五"}, Contact{"C02", kToday.addDays(-1), "赵六"},
                                 Contact{"X10", kToday, "O'Brien"}})
            ASSERT_EQ(db.insertRow("tblCustomerState", {{"CustID", c.cust},
                                                        {"LinkDate", c.day},
                                                        {"LinkTime", "09:30:00"},
                                                        {"Linkman", c.linkman},
                                                        {"LinkType", "电话联系"},
                                                        {"LinkContent", "回访"}}),
                      "");
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
        Session::current().logIn("Admin", true);
        w = std::make_unique<TfrmOperaterTrack>();
        w->show();
    }
    void TearDown() override
    {
        w.reset();
        Session::current().reset();
    }
    int contacts()
    {
        QSqlQuery q(t->db().sql());
        return q.exec("SELECT count(*) FROM tblCustomerState") && q.next() ? q.value(0).toInt() : -1;
    }
    QStringList shown(const QString &field)
    {
        QStringList out;
        Dataset *set = w->dataset();
        set->fetchAll();
        for (int r = 0; r < set->rowCount(); ++r)
            out << set->value(r, field).toString();
        out.sort();
        return out;
    }
    bool enabled(const char *command) { return w->command(QString::fromLatin1(command))->isEnabled(); }
    void query(bool byDate, int criterion = 0, const QString &text = {})
    {
        TfrmOpTrackQuery q(w->dataset());
        (byDate ? q.byDate() : q.byOther())->setChecked(true);
        q.criterionBox()->setCurrentIndex(criterion);
        q.textBox()->setText(text);
        q.BtnOkClick();
        w->updateCommands();
    }

    AppHome home;
    FakePrompts prompts;
    FixedClock clock{QDateTime(kToday, QTime(15, 0))};
    std::unique_ptr<TempDatabase> t;
    TdmMain dm;
    std::unique_ptr<TfrmOperaterTrack> w;
};

// Before the first query the list is empty: "修改", typing into the remark
// and "保存" add no contact, and neither does closing.
TEST_P(TrackTest, EmptyListNeverBecomesANewContact)
{
    EXPECT_FALSE(w->dataset()->isActive());
    EXPECT_FALSE(enabled("BtnModify"));
    EXPECT_FALSE(enabled("BtnSave"));
    EXPECT_TRUE(w->remark()->isReadOnly());
    for (int pass = 0; pass < 2; ++pass) {
        w->BtnModifyClick();
        QTest::keyClicks(w->remark(), "note");
        w->BtnSaveClick();
        EXPECT_EQ(contacts(), 3);
        EXPECT_FALSE(w->dataset()->isEditing());
        // Then a query that finds nothing: still nothing to change.
        query(false, 0, "nobody");
        EXPECT_TRUE(w->dataset()->isActive());
        EXPECT_FALSE(enabled("BtnModify"));
    }
    // Even a value set straight on the empty set is never stored.
    w->dataset()->setValue("Memo", "x");
    w->dataset()->post();
    w->close();
    EXPECT_EQ(contacts(), 3);
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join("\n").toStdString();
}

TEST_P(TrackTest, QueriesNarrowTheList)
{
    {
        TfrmOpTrackQuery q(w->dataset());
        EXPECT_EQ(q.dateBox()->date(), kToday);
        EXPECT_TRUE(q.byDate()->isChecked());
        EXPECT_EQ(q.criterionBox()->currentText(), "按客户代码查询");
    }
    struct Case {
        const char *name;
        bool byDate;
        int criterion;
        QString text;
        QStringList customers;
    };
    const Case cases[] = {
        {"today", true, 0, {}, {"C01", "X10"}},
        {"customer code containing c0", false, 0, "c0", {"C01", "C02"}},
        {"contact person containing 赵", false, 1, "赵", {"C02"}},
        {"a quote is a character", false, 1, "O'B", {"X10"}},
        {"no text: everything", false, 0, "  ", {"C01", "C02", "X10"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        query(c.byDate, c.criterion, c.text);
        EXPECT_EQ(shown("CustID"), c.customers);
    }
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join("\n").toStdString();
}

TEST_P(TrackTest, ListShowsTheCustomersResponsibleStaffMember)
{
    query(false);
    EXPECT_EQ(shown("Operater"), (QStringList{"张三", "张三", "李明"}));
    EXPECT_EQ(shown("CustName"), (QStringList{"客户C01", "客户C02", "客户X10"}));
}

// "修改" then the remark then "保存": the remark is stored and nothing else
// can be typed into.
TEST_P(TrackTest, RemarkIsTheOnlyChange)
{
    query(false, 0, "C02");
    ASSERT_TRUE(enabled("BtnModify"));
    for (const char *field : {"LinkDate", "Linkman", "CustID", "Operater"})
        EXPECT_TRUE(qobject_cast<QLineEdit *>(w->form()->widget(field))->isReadOnly()) << field;
    w->BtnModifyClick();
    EXPECT_FALSE(w->remark()->isReadOnly());
    EXPECT_TRUE(enabled("BtnSave"));
    QTest::keyClicks(w->remark(), "checked");
    w->BtnSaveClick();
    EXPECT_FALSE(w->dataset()->isEditing());
    QSqlQuery q(t->db().sql());
    ASSERT_TRUE(q.exec("SELECT Memo, Linkman, CustID FROM tblCustomerState WHERE CustID = 'C02'") && q.next());
    EXPECT_EQ(q.value(0).toString(), "checked");
    EXPECT_EQ(q.value(1).toString(), "赵六");
    EXPECT_EQ(contacts(), 3);
}

TEST_P(TrackTest, ClosingWithARemarkInHandAsks)
{
    query(false, 0, "C01");
    w->BtnModifyClick();
    QTest::keyClicks(w->remark(), "draft");
    prompts.answers = {false};
    w->close();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, TfrmOperaterTrack::kCloseQuestion);
    EXPECT_FALSE(w->dataset()->isEditing());
    QSqlQuery q(t->db().sql());
    ASSERT_TRUE(q.exec("SELECT count(*) FROM tblCustomerState WHERE Memo IS NOT NULL") && q.next());
    EXPECT_EQ(q.value(0).toInt(), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, TrackTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
