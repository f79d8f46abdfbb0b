// The analyses' statements, list lines and chart points on both engines,
// over one small agency holding the awkward cases: a customer whose level
// matches no level, customers entered on the period's last day at midnight
// and late in the evening, a contract without a direction, one without a
// customer, one without an amount, a staff member with only expense
// contracts, a dictionary entry nothing refers to.
#include "analyses/data/analysisformat.h"
#include "analyses/data/classanalyses.h"
#include "analyses/data/rankings.h"
#include "analyses/data/timeanalyses.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <memory>
#include <tuple>

namespace {

using CA = ClassAnalyses::Member;

QDateTime at(int y, int m, int d, int h = 0, int min = 0) { return QDateTime(QDate(y, m, d), QTime(h, min)); }

// "label=value" per point, "label=" for an empty sum, "#colour" when the
// entry has one.
QStringList points(const AnalysisResult &r)
{
    QStringList out;
    for (const ChartPoint &p : r.points)
        out << p.label + QLatin1Char('=') + (p.empty ? QString() : AnalysisFormat::number(p.value))
                + (p.colorId.isNull() ? QString() : QStringLiteral("#%1").arg(p.colorId.toLongLong()));
    return out;
}

class AnalysisDataTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Database &db = t->db();
        auto row = [&db](const char *table, const FieldValues &v) { ASSERT_EQ(db.insertRow(table, v), ""); };
        row("tblCustLevel", {{"LevelID", "L1"}, {"LevelName", "重要"}, {"LevelColor", 255}, {"Memo", "-"}});
        row("tblCustLevel", {{"LevelID", "L2"}, {"LevelName", "一般"}, {"Memo", "-"}});
        row("tblCustLevel", {{"LevelID", "L3"}, {"LevelName", "潜在"}, {"LevelColor", 0x00FF00}, {"Memo", "-"}});
        row("tblCustState", {{"StateID", "S1"}, {"StateName", "活跃"}, {"Memo", "-"}});
        row("tblCustState", {{"StateID", "S2"}, {"StateName", "休眠"}, {"StateColor", 0x800000}, {"Memo", "-"}});
        row("tblOperateOrigin", {{"OriginID", "O1"}, {"OriginName", "介绍"}, {"Memo", "-"}});
        row("tblOperateOrigin", {{"OriginID", "O2"}, {"OriginName", "网络"}, {"Memo", "-"}});
        row("tblOperateType", {{"TypeID", "T1"}, {"TypeName", "保姆"}, {"Memo", "-"}});
        row("tblOperateType", {{"TypeID", "T2"}, {"TypeName", "钟点工"}, {"Memo", "-"}});
        row("tblOperateType", {{"TypeID", "T3"}, {"TypeName", "月嫂"}, {"Memo", "-"}});
        row("tblOperaters", {{"OperaterID", "E1"}, {"Name", "王芳"}});
        row("tblOperaters", {{"OperaterID", "E2"}, {"Name", "赵强"}}); // expense contracts only
        row("tblOperaters", {{"OperaterID", "E3"}, {"Name", "刘洋"}}); // no contracts
        // Customers: C2 on the period's last day at midnight, C5 late that
        // day, C3 the day after, C4 with a level that is not there.
        for (const auto &[id, name, level, state, created] :
             {std::tuple{"C1", "张家", "L1", "S1", at(2026, 11, 1, 9, 30)},
              std::tuple{"C2", "李家", "L1", "S2", at(2026, 11, 30)},
              std::tuple{"C3", "王家", "L2", "S1", at(2026, 12, 1, 8)},
              std::tuple{"C4", "赵家", "L9", "S1", at(2025, 6, 15)},
              std::tuple{"C5", "孙家", "", "", at(2026, 11, 30, 23, 59)}})
            row("tblCustomers", {{"CustId", id}, {"CustName", name}, {"LevelID", level}, {"StateId", state},
                                 {"CreateDate", created}});
        // Contracts: R3 and R4 in dollars (their contract amounts are not
        // their renminbi), R5 without a direction, R6 without its
        // customer, R7 without an amount.
        struct Op {
            const char *id, *title, *cust, *dir, *rmb, *amount;
            QDateTime created;
            const char *type, *origin, *staff;
        };
        for (const Op &o : {Op{"R1", "张家保姆", "C1", "收款", "1000", "1000", at(2026, 11, 5), "T1", "O1", "E1"},
                            Op{"R2", "张家退款", "C1", "付款", "500", "500", at(2026, 11, 20), "T1", "O1", "E2"},
                            Op{"R3", "王家钟点", "C3", "收款", "2000", "250", at(2026, 2, 10), "T2", "O2", "E1"},
                            Op{"R4", "赵家月嫂", "C4", "收款", "3000", "375", at(2026, 8, 1), "T2", "O1", "E1"},
                            Op{"R5", "张家咨询", "C1", "", "700", "700", at(2026, 11, 6), "T1", "O2", "E1"},
                            Op{"R6", "无主合同", "C99", "收款", "400", "400", at(2026, 11, 7), "T2", "O1", "E1"},
                            Op{"R7", "李家空额", "C2", "收款", "", "", at(2026, 11, 30, 12), "T1", "O1", "E1"},
                            Op{"R8", "李家支出", "C2", "付款", "250.5", "250.5", at(2025, 3, 1), "T2", "", "E2"}})
            row("tblOperates", {{"OperateID", o.id}, {"OperateTitle", o.title}, {"CustID", o.cust},
                                {"InOrOut", o.dir}, {"RMB", o.rmb}, {"CompactAmount", o.amount},
                                {"CreateDate", o.created}, {"TypeID", o.type}, {"OriginId", o.origin},
                                {"OperaterID", o.staff}});
        for (const auto &[id, no, rmb] : {std::tuple{"R1", 1, "300"}, std::tuple{"R1", 2, "200"},
                                         std::tuple{"R3", 1, "2000"}, std::tuple{"R6", 1, "100"},
                                         std::tuple{"R2", 1, "100"}})
            row("tblOperateDetail", {{"OperateID", id}, {"DetailNo", no}, {"RMB", rmb}});
    }

    Database &db() { return t->db(); }
    std::unique_ptr<TempDatabase> t;
    const QDate from{2026, 11, 1}, to{2026, 11, 30};
};

TEST_P(AnalysisDataTest, CustomerLevelsInEachMode)
{
    AnalysisResult r = ClassAnalyses::byMode(db(), CA::CustLevel, ClassAnalyses::Mode::Customers, Direction::Income);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    // C4's level is not there and C5 has none: in the total, in no line.
    EXPECT_EQ(r.lines, QStringList({"客户数量总计： 5 个", "", "其中：", "  重要：2 个", "  一般：1 个", "  潜在：0 个"}));
    EXPECT_EQ(r.title, "按客户数量分析");
    EXPECT_EQ(points(r), QStringList({"重要=2#255", "一般=1", "潜在=0#65280"}));

    r = ClassAnalyses::byMode(db(), CA::CustLevel, ClassAnalyses::Mode::Contracts, Direction::Income);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.lines, QStringList({"业务数量总计：8 个", "", "其中：", "  重要：5 个", "  一般：1 个"}));
    EXPECT_EQ(r.title, "按业务数量分析");
    EXPECT_EQ(points(r), QStringList({"重要=5#255", "一般=1"}));

    // R5 has no direction: in no total. R7 has no amount.
    r = ClassAnalyses::byMode(db(), CA::CustLevel, ClassAnalyses::Mode::Amounts, Direction::Income);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.lines, QStringList({"客户数量总计： 5 个", "", "收入合同金额总计：6400 元", "", "其中：",
                                    "  重要：1000 元", "    所占比率：15.6%", "", "  一般：2000 元",
                                    "    所占比率：31.2%", "", "支出合同金额总计：750.5 元", "", "其中：",
                                    "  重要：750.5 元", "    所占比率：100%", ""}));
    EXPECT_EQ(r.title, "按收入合同金额分析");
    EXPECT_EQ(points(r), QStringList({"重要=1,000#255", "一般=2,000"}));

    r = ClassAnalyses::byMode(db(), CA::CustLevel, ClassAnalyses::Mode::Amounts, Direction::Expense);
    EXPECT_EQ(r.title, "按支出合同金额分析");
    EXPECT_EQ(points(r), QStringList({"重要=750.5#255"}));
}

TEST_P(AnalysisDataTest, CustomerOriginsSayWhereOnceAndSharesNothingOfNoTotal)
{
    // No customer has an origin; every expense contract is removed, so the
    // expense total is empty and no share is drawn from it.
    ASSERT_EQ(db().exec("UPDATE tblCustomers SET OriginID = 'G1' WHERE CustId = 'C1'"), "");
    ASSERT_EQ(db().insertRow("tblCustOrigin", {{"OriginID", "G1"}, {"OriginName", "朋友"}, {"Memo", "-"}}), "");
    ASSERT_EQ(db().exec("DELETE FROM tblOperates WHERE InOrOut = ?", {QStringLiteral("付款")}), "");
    const AnalysisResult r =
        ClassAnalyses::byMode(db(), CA::CustOrigin, ClassAnalyses::Mode::Amounts, Direction::Expense);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.lines, QStringList({"客户数量总计： 5 个", "", "其中：", "收入合同金额总计：6400 元", "",
                                    "  朋友：1000 元", "    所占比率：15.6%", "", "支出合同金额总计： 元", ""}));
    EXPECT_TRUE(r.points.isEmpty());
}

TEST_P(AnalysisDataTest, CustomerStatesOfAPeriodIncludeTheWholeLastDay)
{
    const AnalysisResult r = ClassAnalyses::byPeriod(db(), CA::CustState, from, to);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.lines, QStringList({"客户数量总计： 5 个", "", "其中：", "  活跃：3 个", "  休眠：1 个", "",
                                    "2026-11-1 至", "2026-11-30 期间：", "客户数量总计：3 个", "", "其中：",
                                    "  活跃：1 个", "  休眠：1 个"}));
    EXPECT_EQ(r.title, "2026-11-1至2026-11-30期间客户状态分析");
    EXPECT_EQ(points(r), QStringList({"活跃=1", "休眠=1#8388608"}));

    // A reversed period matches nothing.
    const AnalysisResult reversed = ClassAnalyses::byPeriod(db(), CA::CustState, to, from);
    EXPECT_EQ(reversed.lines.mid(8), QStringList({"客户数量总计：0 个", "", "其中："}));
    EXPECT_TRUE(reversed.points.isEmpty());
}

TEST_P(AnalysisDataTest, ContractOriginsAndTypes)
{
    const QStringList overall{"业务数量总计： 8 个", "", "收入合同金额总计：6400 元", "", "支出合同金额总计：750.5 元",
                              "", "其中："};
    const QStringList period{"", "2026-11-1 至", "2026-11-30 期间：", "业务数量总计：5 个", "",
                             "收入合同金额总计：1400 元", "", "支出合同金额总计：500 元", "", "其中："};
    AnalysisResult r = ClassAnalyses::byPeriod(db(), CA::OperateOrigin, from, to);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.lines, overall + QStringList({"  介绍：5 个", "  网络：2 个"}) + period
                           + QStringList({"  介绍：4 个", "  网络：1 个"}));
    EXPECT_EQ(r.title, "2026-11-1至2026-11-30期间业务来源分析");
    EXPECT_EQ(points(r), QStringList({"介绍=4", "网络=1"}));

    // The type's list counts contracts, its pie sums income and expense.
    r = ClassAnalyses::byPeriod(db(), CA::OperateType, from, to);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.lines, overall + QStringList({"  保姆：4 个", "  钟点工：4 个", "  月嫂：0 个"}) + period
                           + QStringList({"  保姆：4 个", "  钟点工：1 个"}));
    EXPECT_EQ(r.title, "2026-11-1至2026-11-30期间业务类型分析");
    EXPECT_EQ(points(r), QStringList({"保姆=2,200", "钟点工=400"}));
}

TEST_P(AnalysisDataTest, FinanceBarsAreWhatIsStillOutstanding)
{
    // R4 has no money line, R6 no customer: no bar.
    AnalysisResult r = ClassAnalyses::finance(db(), Direction::Income);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.chart, AnalysisResult::Chart::Bars);
    EXPECT_EQ(r.title, "应收账款分析");
    EXPECT_EQ(points(r), QStringList({"张家保姆=500", "王家钟点=0"}));
    r = ClassAnalyses::finance(db(), Direction::Expense);
    EXPECT_EQ(r.title, "应付账款分析");
    EXPECT_EQ(points(r), QStringList({"张家退款=400"}));
    // A window asks for no more bars than it draws: the largest.
    EXPECT_EQ(points(ClassAnalyses::finance(db(), Direction::Income, 1)), QStringList({"张家保姆=500"}));
}

TEST_P(AnalysisDataTest, YearWithQuartersAndShares)
{
    AnalysisResult r = TimeAnalyses::year(db(), 2026, Direction::Income);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.lines,
              QStringList({"2026年度新增客户数量： 4 个", "其中：", "    第一季度：0 个", "    第二季度：0 个",
                           "    第三季度：0 个", "    第四季度：4 个", "", "2026年度新增业务数量： 7 个",
                           "收入合同金额总计：6400 元", "其中：",
                           "    第一季度：1 个", "        合同金额合计：2000 元", "        占总金额比率：31.25%",
                           "    第二季度：0 个", "        合同金额合计： 元",
                           "    第三季度：1 个", "        合同金额合计：3000 元", "        占总金额比率：46.87%",
                           "    第四季度：3 个", "        合同金额合计：1400 元", "        占总金额比率：21.87%",
                           "", "支出合同金额总计：500 元", "其中：",
                           "    第一季度：0 个", "        合同金额合计： 元", "    第二季度：0 个",
                           "        合同金额合计： 元", "    第三季度：0 个", "        合同金额合计： 元",
                           "    第四季度：1 个", "        合同金额合计：500 元", "        占总金额比率：100%", ""}));
    EXPECT_EQ(r.title, "2026年度收入业务分析");
    // R7 has no amount: its customer's slice is empty; R6 has no customer.
    EXPECT_EQ(points(r), QStringList({"张家=1,000", "李家=", "王家=2,000", "赵家=3,000"}));

    // A year without contracts: empty sums, no shares, no slices.
    r = TimeAnalyses::year(db(), 2010, Direction::Expense);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.lines.filter("比率").size(), 0);
    EXPECT_TRUE(r.lines.contains("收入合同金额总计： 元"));
    EXPECT_TRUE(r.points.isEmpty());
    EXPECT_EQ(r.title, "2010年度支出业务分析");
}

TEST_P(AnalysisDataTest, QuarterCountsTheYearThenTheQuarter)
{
    const AnalysisResult r = TimeAnalyses::quarter(db(), 2026, 4, Direction::Income);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.lines, QStringList({"2026年度4季度新增客户数量： 4 个", "", "2026年度新增业务数量： 7 个", "",
                                    "收入合同金额总计：6400 元", "", "支出合同金额总计：500 元", "",
                                    "2026年度4季度新增业务数量： 5 个", "其中：", "收入合同金额合计：1400 元",
                                    "占年总收入金额比率：21.87%", "", "支出合同金额合计：500 元",
                                    "占年总支出金额比率：100%", ""}));
    EXPECT_EQ(r.title, "2026年度第4季度收入业务分析");
    EXPECT_EQ(points(r), QStringList({"张家=1,000", "李家="}));
}

TEST_P(AnalysisDataTest, PeriodOfTheTimeAnalysis)
{
    const AnalysisResult r = TimeAnalyses::period(db(), from, to, Direction::Expense);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.lines, QStringList({"2026-11-1 至 2026-11-30 间：", "新增客户数量： 3 个", "", "新增业务数量： 5 个",
                                    "其中：", "收入合同金额合计：1400 元", "", "支出合同金额合计：500 元", ""}));
    EXPECT_EQ(r.title, "2026-11-1至2026-11-30支出业务分析");
    EXPECT_EQ(points(r), QStringList({"张家=500"}));
}

TEST_P(AnalysisDataTest, Rankings)
{
    const QStringList period{"其中：", "2026-11-1 至", "2026-11-30 期间：", "业务数量总计：5 个", "",
                             "收入合同金额总计：1400 元", "", "    最高合同金额：1000 元", "",
                             "支出合同金额总计：500 元", "", "    最高合同金额：500 元", ""};
    // The contract ranking's overall maxima are contract amounts: R4's
    // 375 dollars are not its 3000 yuan.
    AnalysisResult r = Rankings::run(db(), Rankings::Kind::Contracts, from, to, Direction::Income);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.lines, QStringList({"业务数量总计： 8 个", "", "收入合同金额总计：6400 元", "",
                                    "    最高合同金额：1000 元", "", "支出合同金额总计：750.5 元", "",
                                    "    最高合同金额：500 元", ""})
                           + period);
    EXPECT_EQ(r.title, "2026-11-1至2026-11-30期间收入业务排行榜");
    // R6 has no customer: no bar; R7 has no amount: last.
    EXPECT_EQ(points(r), QStringList({"张家保姆=1,000", "李家空额="}));
    const AnalysisResult first = Rankings::run(db(), Rankings::Kind::Contracts, from, to, Direction::Income, 1);
    EXPECT_EQ(first.lines, r.lines);
    EXPECT_EQ(points(first), QStringList({"张家保姆=1,000"}));

    const QStringList overall{"业务数量总计： 8 个", "", "收入合同金额总计：6400 元", "", "    最高合同金额：3000 元",
                              "", "支出合同金额总计：750.5 元", "", "    最高合同金额：500 元", ""};
    r = Rankings::run(db(), Rankings::Kind::Customers, from, to, Direction::Income);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.lines, QStringList({"客户数量总计： 5 个", ""}) + overall + period);
    EXPECT_EQ(r.title, "2026-11-1至2026-11-30期间客户收入排行榜");
    EXPECT_EQ(points(r), QStringList({"张家=1,000", "李家="}));
    r = Rankings::run(db(), Rankings::Kind::Customers, from, to, Direction::Expense);
    EXPECT_EQ(r.title, "2026-11-1至2026-11-30期间客户支出排行榜");
    EXPECT_EQ(points(r), QStringList({"张家=500"}));

    // 赵强 has only an expense contract: no bar. R6 counts here, its
    // customer does not matter.
    r = Rankings::run(db(), Rankings::Kind::Staff, from, to, Direction::Expense);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.lines, QStringList({"业务人员数量总计： 3 人次", "", "客户数量总计： 5 个", ""}) + overall + period);
    EXPECT_EQ(r.title, "2026-11-1至2026-11-30期间业务人员绩效排行榜");
    EXPECT_EQ(points(r), QStringList({"王芳=1,400"}));

    // A period without contracts: empty sums and maxima, no bars, the
    // overall lines still there.
    r = Rankings::run(db(), Rankings::Kind::Contracts, QDate(2020, 1, 1), QDate(2020, 1, 31), Direction::Income);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.lines.mid(0, 3), QStringList({"业务数量总计： 8 个", "", "收入合同金额总计：6400 元"}));
    EXPECT_EQ(r.lines.mid(13), QStringList({"业务数量总计：0 个", "", "收入合同金额总计： 元", "",
                                            "    最高合同金额： 元", "", "支出合同金额总计： 元", "",
                                            "    最高合同金额： 元", ""}));
    EXPECT_TRUE(r.points.isEmpty());
}

TEST_P(AnalysisDataTest, AFailedQueryKeepsTheLinesBeforeIt)
{
    ASSERT_EQ(db().exec("DROP TABLE tblCustLevel"), "");
    const AnalysisResult r =
        ClassAnalyses::byMode(db(), CA::CustLevel, ClassAnalyses::Mode::Customers, Direction::Income);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.lines, QStringList({"客户数量总计： 5 个", "", "其中："}));
    EXPECT_TRUE(r.points.isEmpty());
}

TEST_P(AnalysisDataTest, NoCustomersGiveZeroForEveryLevel)
{
    ASSERT_EQ(db().exec("DELETE FROM tblCustomers"), "");
    const AnalysisResult r =
        ClassAnalyses::byMode(db(), CA::CustLevel, ClassAnalyses::Mode::Customers, Direction::Income);
    EXPECT_EQ(r.lines, QStringList({"客户数量总计： 0 个", "", "其中：", "  重要：0 个", "  一般：0 个", "  潜在：0 个"}));
    EXPECT_EQ(points(r), QStringList({"重要=0#255", "一般=0", "潜在=0#65280"}));
}

INSTANTIATE_TEST_SUITE_P(Engines, AnalysisDataTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

TEST(AnalysisFormat, Shares)
{
    const auto m = [](const char *s) { return Money::parse(QString::fromLatin1(s)); };
    struct Case {
        const char *part, *total;
        int width;
        const char *expected; // nullptr: no share line
    };
    for (const Case &c : {Case{"2", "3", 4, "66.6"}, Case{"2", "3", 5, "66.66"}, Case{"1", "1", 4, "100"},
                          Case{"11", "200", 4, "5.5"}, Case{"0.0001", "10000", 4, "0.00"},
                          Case{"0.0001", "100000000", 5, "0.000"}, Case{"1", "0", 4, nullptr},
                          Case{"-1", "4", 5, "-25"}, Case{"1", "3", 5, "33.33"}}) {
        const auto s = AnalysisFormat::share(m(c.part), m(c.total), c.width);
        if (!c.expected)
            EXPECT_FALSE(s) << c.part << "/" << c.total;
        else
            EXPECT_EQ(s.value_or("<none>"), QString::fromLatin1(c.expected)) << c.part << "/" << c.total;
    }
    EXPECT_FALSE(AnalysisFormat::share(std::nullopt, m("3"), 4));
    EXPECT_FALSE(AnalysisFormat::share(m("3"), std::nullopt, 4));
}

TEST(AnalysisFormat, NumbersPercentsAndYears)
{
    for (const auto &[v, s] : {std::pair{1234567.5, "1,234,567.5"}, std::pair{0.0004, "0"}, std::pair{1000.0, "1,000"},
                               std::pair{-1234.25, "-1,234.25"}, std::pair{0.1236, "0.124"}})
        EXPECT_EQ(AnalysisFormat::number(v), QString::fromLatin1(s)) << v;
    EXPECT_EQ(AnalysisFormat::percent(1.0 / 3), "33.33%");
    EXPECT_EQ(AnalysisFormat::percent(1.0), "100.00%");
    EXPECT_EQ(AnalysisFormat::year("2026"), 2026);
    EXPECT_EQ(AnalysisFormat::year(" 2008 "), 2008);
    for (const char *bad : {"", "20a6", "0", "12345", "-2000", "2,026", "二〇二六"})
        EXPECT_FALSE(AnalysisFormat::year(QString::fromUtf8(bad))) << bad;
}

} // namespace
