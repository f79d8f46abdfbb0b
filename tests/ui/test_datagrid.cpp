// The grid's hold on the dataset's current row: picking another row stores
// the row in hand, and when that store is refused the grid must stay on
// the row the dataset stayed on, or "删除" acts on a row the user does not
// see selected.
#include "data/database.h"
#include "data/dataset.h"
#include "data/schema.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/tempdatabase.h"
#include "ui/datagrid.h"
#include "ui/gridmodel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>
#include <QTreeView>

#include <functional>
#include <memory>
#include <vector>

namespace {

// Rows by code: L1 甲 (A, the row in hand), L2 乙, L3 丙 (C, the row picked).
// By name descending they show as 乙, 甲, 丙.
constexpr int kRowC = 2;

class DataGridMoveTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        here = t->openAnother();
    }
    void TearDown() override
    {
        grid.reset();
        set.reset();
    }

    // A fresh table and a fresh set and grid over it, as a window opens it.
    void openGrid(bool sorted)
    {
        grid.reset();
        set.reset();
        ASSERT_EQ(t->db().exec("DELETE FROM tblCustLevel"), "");
        const char *rows[][2] = {{"L1", "甲"}, {"L2", "乙"}, {"L3", "丙"}};
        for (auto &r : rows)
            ASSERT_EQ(t->db().insertRow("tblCustLevel", {{"LevelID", r[0]}, {"LevelName", r[1]}, {"Memo", "m"}}), "");
        set = std::make_unique<Dataset>(here.get(), "tblCustLevel", Schema::table("tblCustLevel"));
        set->setOrderBy({"LevelID"});
        ASSERT_TRUE(set->open()) << set->lastError().toStdString();
        grid = std::make_unique<DataGrid>(set.get(), QVector<DatasetModel::Column>{{"LevelID", "代码"}, {"LevelName", "名称"}},
                                          "Test.Levels");
        if (sorted)
            grid->sortBy("LevelName", Qt::DescendingOrder);
        grid->resize(400, 300);
        grid->show();
        prompts.clear();
    }
    QTreeView *view() { return grid->view(); }
    int viewRow() { return grid->model()->sourceRow(view()->currentIndex()); }
    QList<int> selectedRows()
    {
        QList<int> rows;
        for (const QModelIndex &i : view()->selectionModel()->selectedRows())
            rows << grid->model()->sourceRow(i);
        return rows;
    }
    // Picks a row as the user does, then lets the event loop run once.
    void pick(int row, bool byMouse)
    {
        const QModelIndex i = grid->model()->indexOfSourceRow(row);
        ASSERT_TRUE(i.isValid());
        if (byMouse)
            QTest::mouseClick(view()->viewport(), Qt::LeftButton, Qt::NoModifier, view()->visualRect(i).center());
        else // as the arrow keys do
            view()->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QCoreApplication::processEvents();
    }
    QStringList storedCodes()
    {
        QSqlQuery q(t->db().sql());
        q.exec("SELECT LevelID FROM tblCustLevel ORDER BY LevelID");
        QStringList l;
        while (q.next())
            l << q.value(0).toString();
        return l;
    }

    AppHome home; // the grid keeps its layout there
    FakePrompts prompts;
    std::unique_ptr<TempDatabase> t;
    std::unique_ptr<Database> here; // this workstation; t->db() is another one
    std::unique_ptr<Dataset> set;
    std::unique_ptr<DataGrid> grid;
};

struct Refusal {
    const char *what;
    // Puts a change in hand that the next store refuses; returns its row.
    std::function<int(Dataset &, Database &elsewhere)> change;
    QString message;
    Dataset::State state;
    QStringList leftAfterDelete; // "删除" acts on the row in hand, never on C
};

const QString kHookText = "对不起，该代码已被其他资料引用，不能修改！";

// Made when asked: the conflict text is a static of another file.
std::vector<Refusal> refusals()
{
    return {
        {"another workstation changed the row",
         [](Dataset &d, Database &elsewhere) {
             d.setCurrentRow(0);
             d.setValue("LevelName", "本机改");
             EXPECT_EQ(elsewhere.exec("UPDATE tblCustLevel SET LevelName = ? WHERE LevelID = ?", {"他机改", "L1"}),
                       "");
             return 0;
         },
         Dataset::kConflictText, Dataset::State::Edit, {"L1", "L2", "L3"}},
        {"a store hook refuses",
         [](Dataset &d, Database &) {
             d.addBeforePost([](Dataset &) { return HookResult::refuse(kHookText); });
             d.setCurrentRow(0);
             d.setValue("LevelName", "本机改");
             return 0;
         },
         kHookText, Dataset::State::Edit, {"L2", "L3"}},
        {"the database refuses a duplicate code",
         [](Dataset &d, Database &) {
             d.append();
             d.setValue("LevelID", "L1");
             d.setValue("LevelName", "重复");
             d.setValue("Memo", "m");
             return 3;
         },
         "对不起，该代码已存在！", Dataset::State::Insert, {"L1", "L2", "L3"}},
    };
}

TEST_P(DataGridMoveTest, ARefusedMoveSaysWhyAndStaysOnTheRowInHand)
{
    for (const Refusal &r : refusals()) {
        for (const bool sorted : {false, true}) {
            for (const bool byMouse : {true, false}) {
                SCOPED_TRACE(std::string(r.what) + (sorted ? ", sorted" : ", flat") + (byMouse ? ", mouse" : ", keys"));
                openGrid(sorted);
                const int rowA = r.change(*set, t->db());
                ASSERT_EQ(set->currentRow(), rowA);
                ASSERT_EQ(viewRow(), rowA);
                const QString typed = set->value("LevelName").toString();
                QSignalSpy clicked(grid.get(), &DataGrid::rowClicked);

                pick(kRowC, byMouse);

                EXPECT_EQ(prompts.texts(), QStringList{r.message});
                EXPECT_EQ(prompts.shown.value(0).kind, "warn");
                EXPECT_EQ(set->currentRow(), rowA);
                EXPECT_EQ(set->state(), r.state);
                EXPECT_EQ(set->value("LevelName").toString(), typed) << "the change stays in hand";
                EXPECT_EQ(viewRow(), rowA);
                EXPECT_EQ(selectedRows(), QList<int>{rowA});
                EXPECT_EQ(clicked.count(), 0) << "no click on a row the set did not move to";

                // "删除" takes the dataset's row: it must be the one the
                // grid shows selected, and C is never lost.
                const QList<int> shown = selectedRows();
                const QString shownCode = shown.size() == 1 ? set->value(shown[0], "LevelID").toString() : QString();
                const QStringList before = storedCodes();
                set->remove();
                const QStringList after = storedCodes();
                for (const QString &code : before) {
                    if (!after.contains(code)) {
                        EXPECT_EQ(code, shownCode) << "deleted a row not shown selected";
                    }
                }
                EXPECT_EQ(after, r.leftAfterDelete);
                EXPECT_TRUE(after.contains("L3"));
            }
        }
    }
}

// Leaving a new row that is given up, by a store hook that drops it or by
// the owner before the grid moves, is no refusal: the grid lands on the
// row picked, whose place the dropped row may have shifted.
TEST_P(DataGridMoveTest, ANewRowGivenUpOnLeavingLandsOnTheRowPicked)
{
    struct Case {
        const char *what;
        std::function<void(Dataset &, DataGrid &)> giveUp;
    } cases[] = {
        {"a store hook drops it",
         [](Dataset &d, DataGrid &) {
             d.addBeforePost([](Dataset &s) {
                 return s.state() == Dataset::State::Insert && s.isBlank("LevelID") ? HookResult::drop()
                                                                                     : HookResult::proceed();
             });
         }},
        {"the owner cancels it before leaving",
         [](Dataset &d, DataGrid &g) {
             g.setBeforeLeavingRow([&d] {
                 if (d.state() == Dataset::State::Insert && d.isBlank("LevelID"))
                     d.cancel();
             });
         }},
    };
    for (const Case &c : cases) {
        for (const bool sorted : {false, true}) {
            for (const bool byMouse : {true, false}) {
                SCOPED_TRACE(std::string(c.what) + (sorted ? ", sorted" : ", flat") + (byMouse ? ", mouse" : ", keys"));
                openGrid(sorted);
                c.giveUp(*set, *grid);
                ASSERT_TRUE(set->append());
                set->setValue("LevelName", "未填代码");
                ASSERT_EQ(set->rowCount(), 4);

                pick(kRowC, byMouse);

                EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
                EXPECT_EQ(set->state(), Dataset::State::Browse);
                EXPECT_EQ(set->rowCount(), 3);
                EXPECT_EQ(set->value("LevelID").toString(), "L3");
                EXPECT_EQ(viewRow(), set->currentRow());
                EXPECT_EQ(selectedRows(), QList<int>{set->currentRow()});
                EXPECT_EQ(storedCodes(), QStringList({"L1", "L2", "L3"}));
            }
        }
    }
}

TEST_P(DataGridMoveTest, StretchedColumnsStayStretchedAfterTheDefaultLayout)
{
    openGrid(false);
    grid->setStretchColumns(true);
    grid->restoreDefaultLayout();
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        EXPECT_EQ(view()->header()->sectionResizeMode(c), QHeaderView::Stretch) << c;
}

INSTANTIATE_TEST_SUITE_P(Engines, DataGridMoveTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
