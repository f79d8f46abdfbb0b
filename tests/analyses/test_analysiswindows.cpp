// The analysis windows over the data module: what each opening resets,
// the selections, the dialogs of the time analysis and their refusals, the
// pop-up menu, and the chart as painted, saved and printed.
#include "analyses/chartview.h"
#include "analyses/tfrmclassanalyse.h"
#include "analyses/tfrmfinanceanalyse.h"
#include "analyses/tfrmseasonquery.h"
#include "analyses/tfrmsortanalyse.h"
#include "analyses/tfrmtimeanalyse.h"
#include "analyses/tfrmtimesectquery.h"
#include "analyses/tfrmyearquery.h"
#include "app/mainactions.h"
#include "data/dmmain.h"
#include "testlib/fakeprompts.h"
#include "testlib/tempdatabase.h"
#include "ui/colorchooser.h"
#include "ui/dateedit.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QPdfWriter>
#include <QPrinter>
#include <QSignalSpy>

#include <memory>

namespace {

QStringList listLines(AnalysisPanel &w)
{
    QStringList out;
    for (int i = 0; i < w.list()->count(); ++i)
        out << w.list()->item(i)->text();
    return out;
}

bool hasColour(const QImage &img, const QColor &c)
{
    for (int y = 0; y < img.height(); y += 2)
        for (int x = 0; x < img.width(); x += 2)
            if (img.pixelColor(x, y) == c)
                return true;
    return false;
}

class AnalysisWindowsTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Database &db = t->db();
        auto row = [&db](const char *table, const FieldValues &v) { ASSERT_EQ(db.insertRow(table, v), ""); };
        row("tblCustLevel", {{"LevelID", "L1"}, {"LevelName", "重要"}, {"LevelColor", 0x0000FF}, {"Memo", "-"}});
        row("tblCustLevel", {{"LevelID", "L2"}, {"LevelName", "一般"}, {"LevelColor", 0xFF0000}, {"Memo", "-"}});
        row("tblCustomers", {{"CustId", "C1"}, {"CustName", "张家"}, {"LevelID", "L1"},
                             {"CreateDate", QDateTime(QDate(2026, 12, 1), QTime(9, 0))}});
        row("tblCustomers", {{"CustId", "C2"}, {"CustName", "李家"}, {"LevelID", "L2"},
                             {"CreateDate", QDateTime(QDate(2025, 1, 1), QTime(9, 0))}});
        row("tblCustomers", {{"CustId", "C3"}, {"CustName", "王家"}, {"LevelID", "L1"},
                             {"CreateDate", QDateTime(QDate(2026, 3, 1), QTime(9, 0))}});
        row("tblOperates", {{"OperateID", "R1"}, {"OperateTitle", "张家保姆"}, {"CustID", "C1"}, {"InOrOut", "收款"},
                            {"RMB", "1000"}, {"CreateDate", QDateTime(QDate(2026, 12, 2), QTime())}});
        row("tblOperates", {{"OperateID", "R2"}, {"OperateTitle", "王家钟点"}, {"CustID", "C3"}, {"InOrOut", "收款"},
                            {"RMB", "3000"}, {"CreateDate", QDateTime(QDate(2026, 12, 3), QTime())}});
        dm.connectTo(t->openAnother());
    }

    std::unique_ptr<TempDatabase> t;
    TdmMain dm;
    FakePrompts prompts;
    FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(15, 0))};
};

TEST_P(AnalysisWindowsTest, EachOpeningResetsThePeriodToTheLastThirtyDays)
{
    TfrmCustStateAnalyse state;
    TfrmCustomerSortAnalyse ranking;
    for (auto [from, to, w] : {std::tuple{state.dateFrom(), state.dateTo(), static_cast<ModulePanel *>(&state)},
                               std::tuple{ranking.dateFrom(), ranking.dateTo(), static_cast<ModulePanel *>(&ranking)}}) {
        from->setDate(QDate(2020, 1, 1));
        to->setDate(QDate(2020, 2, 1));
        w->open();
        EXPECT_EQ(from->date(), QDate(2026, 11, 10));
        EXPECT_EQ(to->date(), QDate(2026, 12, 10));
    }
    // The customer ranking's list and bars for those days.
    ranking.BtnRefreshClick();
    EXPECT_EQ(ranking.chart()->title(), "2026-11-10至2026-12-10期间客户收入排行榜");
    ASSERT_EQ(ranking.chart()->points().size(), 2);
    EXPECT_EQ(ranking.chart()->points()[0].label, "王家");
    EXPECT_EQ(listLines(ranking).first(), "客户数量总计： 3 个");
}

TEST_P(AnalysisWindowsTest, TheDirectionOnlyCountsForAmounts)
{
    TfrmCustLevelAnalyse w;
    EXPECT_EQ(w.modeBox()->currentText(), "按客户数量分析");
    EXPECT_FALSE(w.directionBox()->isEnabled());
    w.modeBox()->setCurrentIndex(2);
    EXPECT_TRUE(w.directionBox()->isEnabled());
    w.BtnRefreshClick();
    EXPECT_EQ(w.chart()->title(), "按收入合同金额分析");
    EXPECT_EQ(listLines(w).mid(0, 6), QStringList({"客户数量总计： 3 个", "", "收入合同金额总计：4000 元", "", "其中：",
                                                   "  重要：4000 元"}));
    w.modeBox()->setCurrentIndex(0);
    EXPECT_FALSE(w.directionBox()->isEnabled());
    w.BtnRefreshClick();
    EXPECT_EQ(w.chart()->title(), "按客户数量分析");
    EXPECT_EQ(listLines(w), QStringList({"客户数量总计： 3 个", "", "其中：", "  重要：2 个", "  一般：1 个"}));
}

TEST_P(AnalysisWindowsTest, TheMenuShowsAndHidesTheListAndTheNavigation)
{
    TfrmCustLevelAnalyse w;
    w.resize(640, 480);
    w.show();
    QAction *showList = w.menuAction("ShowList"), *hideList = w.menuAction("HideList");
    QAction *showNav = w.menuAction("ShowNavigation"), *hideNav = w.menuAction("HideNavigation");
    ASSERT_TRUE(showList && hideList && showNav && hideNav);
    EXPECT_FALSE(showList->isEnabled());
    EXPECT_TRUE(hideList->isEnabled());
    hideList->trigger();
    EXPECT_FALSE(w.list()->isVisible());
    EXPECT_TRUE(showList->isEnabled());
    EXPECT_FALSE(hideList->isEnabled());
    showList->trigger();
    EXPECT_TRUE(w.list()->isVisible());

    QSignalSpy asked(&w, &ModulePanel::navigationRequested);
    w.navigationShown(true);
    EXPECT_FALSE(showNav->isEnabled());
    EXPECT_TRUE(hideNav->isEnabled());
    hideNav->trigger();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_FALSE(asked[0][0].toBool());
    w.navigationShown(false);
    EXPECT_TRUE(showNav->isEnabled());
    EXPECT_FALSE(hideNav->isEnabled());

    // The receivables chart has neither list nor navigation entries.
    TfrmFinanceAnalyse finance;
    EXPECT_EQ(finance.list(), nullptr);
    EXPECT_EQ(finance.menuAction("ShowList"), nullptr);
    EXPECT_EQ(finance.menuAction("ShowNavigation"), nullptr);
    EXPECT_NE(finance.menuAction("SaveChart"), nullptr);
}

TEST_P(AnalysisWindowsTest, ABadYearIsSaidBeforeAnythingIsCleared)
{
    TfrmTimeAnalyse w;
    TfrmYearQuery year(&w);
    // The current year as a number, whatever the locale writes.
    EXPECT_EQ(year.yearBox()->currentText(), "2026");
    year.BtnOkClick();
    EXPECT_EQ(year.result(), QDialog::Accepted);
    const QStringList lines = listLines(w);
    EXPECT_EQ(lines.first(), "2026年度新增客户数量： 2 个");
    EXPECT_EQ(w.chart()->title(), "2026年度收入业务分析");

    for (const char *bad : {"20x6", "", "99999"}) {
        TfrmYearQuery again(&w);
        again.yearBox()->setEditText(QString::fromLatin1(bad));
        prompts.clear();
        again.BtnOkClick();
        EXPECT_EQ(prompts.texts(), QStringList({"请输入正确的年份！"})) << bad;
        EXPECT_NE(again.result(), QDialog::Accepted);
        EXPECT_EQ(listLines(w), lines);
        EXPECT_EQ(w.chart()->title(), "2026年度收入业务分析");
    }

    TfrmSeasonQuery season(&w);
    EXPECT_EQ(season.quarterBox()->currentIndex(), -1);
    prompts.clear();
    season.BtnOkClick();
    EXPECT_EQ(prompts.texts(), QStringList({"请选择季度！"}));
    EXPECT_EQ(listLines(w), lines);
    season.quarterBox()->setCurrentIndex(3);
    season.yearBox()->setEditText("abc");
    prompts.clear();
    season.BtnOkClick();
    EXPECT_EQ(prompts.texts(), QStringList({"请输入正确的年份！"}));
    EXPECT_EQ(listLines(w), lines);
    season.yearBox()->setEditText("2026");
    w.directionBox()->setCurrentIndex(1);
    season.BtnOkClick();
    EXPECT_EQ(w.chart()->title(), "2026年度第4季度支出业务分析");

    TfrmTimeSectQuery period(&w);
    EXPECT_EQ(period.startDate()->date(), QDate(2026, 11, 10));
    EXPECT_EQ(period.endDate()->date(), QDate(2026, 12, 10));
    w.directionBox()->setCurrentIndex(0);
    period.BtnOkClick();
    EXPECT_EQ(w.chart()->title(), "2026-11-10至2026-12-10收入业务分析");
    EXPECT_EQ(listLines(w).mid(0, 2), QStringList({"2026-11-10 至 2026-12-10 间：", "新增客户数量： 1 个"}));
}

TEST_P(AnalysisWindowsTest, AFailedRefreshShowsTheLinesSoFarAndTheReason)
{
    TfrmCustLevelAnalyse w;
    w.BtnRefreshClick();
    const QString before = w.chart()->title();
    ASSERT_EQ(t->db().exec("DROP TABLE tblCustLevel"), "");
    w.BtnRefreshClick();
    EXPECT_EQ(listLines(w), QStringList({"客户数量总计： 3 个", "", "其中："}));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, "warn");
    EXPECT_EQ(w.chart()->title(), before);
}

TEST_P(AnalysisWindowsTest, TheChartIsSavedAsPngAndPrinted)
{
    TfrmCustLevelAnalyse w;
    w.resize(640, 420);
    w.show();
    w.BtnRefreshClick();
    const QString file = t->dir() + "/级别.png";
    prompts.fileNames << file;
    ASSERT_TRUE(w.saveChart());
    QImage img(file);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), w.chart()->size() * 2);
    EXPECT_EQ(img.pixelColor(3, 3), ChartView::background());
    // The levels' own colours, 0x00BBGGRR: red and blue.
    EXPECT_TRUE(hasColour(img, colorFromId(0x0000FF)));
    EXPECT_TRUE(hasColour(img, colorFromId(0xFF0000)));
    EXPECT_EQ(colorFromId(0x0000FF), QColor(255, 0, 0));

    // A name given without the extension gets it; giving up writes nothing.
    prompts.fileNames << t->dir() + "/无扩展名";
    ASSERT_TRUE(w.saveChart());
    EXPECT_TRUE(QFile::exists(t->dir() + "/无扩展名.png"));
    prompts.fileNames << QString();
    EXPECT_FALSE(w.saveChart());
    // A picture that cannot be written is said so, and nothing is made.
    ASSERT_TRUE(QDir().mkpath(t->dir() + "/文件夹.png"));
    prompts.fileNames << t->dir() + "/文件夹.png";
    EXPECT_FALSE(w.saveChart());
    EXPECT_EQ(prompts.last(), "对不起，无法写入文件：" + t->dir() + "/文件夹.png\n这是一个文件夹");
    EXPECT_TRUE(QFileInfo(t->dir() + "/文件夹.png").isDir());

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(t->dir() + "/chart.pdf");
    w.printChart(printer);
    EXPECT_GT(QFileInfo(t->dir() + "/chart.pdf").size(), 1000);
}

INSTANTIATE_TEST_SUITE_P(Engines, AnalysisWindowsTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

TEST(ChartView, PiesAndBarsPaintTheirPoints)
{
    ChartView v;
    v.resize(600, 400);
    // An empty pie shows its title and no slice.
    v.setChart(AnalysisResult::Chart::Pie, "按客户数量分析", {{"重要", 0, false, 0x0000FF}});
    EXPECT_FALSE(hasColour(v.toImage(), QColor(255, 0, 0)));
    v.setChart(AnalysisResult::Chart::Pie, "按客户数量分析",
               {{"重要", 3, false, 0x0000FF}, {"一般", 1, false, {}}, {"潜在", 0, false, {}}});
    QImage pie = v.toImage();
    EXPECT_TRUE(hasColour(pie, QColor(255, 0, 0)));
    EXPECT_TRUE(hasColour(pie, ChartView::autoColor(1)));
    EXPECT_TRUE(hasColour(pie, QColor(0, 0, 255))); // the title

    QVector<ChartPoint> bars;
    for (int i = 0; i < 3; ++i)
        bars.push_back({QStringLiteral("合同%1").arg(i), 1000.0 * (3 - i), false, {}});
    v.setChart(AnalysisResult::Chart::Bars, "应收账款分析", bars);
    const QImage img = v.toImage();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(hasColour(img, ChartView::autoColor(i))) << i;
    // Many bars make the chart wider than its window, so they stay apart.
    bars.resize(300);
    v.setChart(AnalysisResult::Chart::Bars, "应收账款分析", bars);
    EXPECT_GT(v.sizeHint().width(), 300 * 20);
}

TEST(AnalysisActions, EveryAnalysisOfTheMenuOpensItsWindow)
{
    for (const char *id : {"Act_CustLevelAnalyse", "Act_CustOriginAnalyse", "Act_CustStateAnalyse",
                           "Act_CustVocationAnalyse", "Act_TimeAnalyse", "Act_OperateOriginAnalyse",
                           "Act_OperateStyleAnalyse", "Act_OperateSortAnalyse", "Act_CustomerSortAnalyse",
                           "Act_OperaterSortAnalyse", "Act_FinanceAnalyse"}) {
        const MainAction *a = mainAction(QString::fromLatin1(id));
        ASSERT_TRUE(a) << id;
        EXPECT_TRUE(a->run.module) << id;
    }
}

} // namespace
