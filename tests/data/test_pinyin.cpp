// Names found by pinyin: a table of names and typed texts, held against the
// rule in memory and against each engine's search over the stored keys; the
// keys follow every store path, and an older database gets them when it is
// migrated.
#include "data/bulkinsert.h"
#include "data/condition.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/pinyin.h"
#include "data/schema.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <algorithm>

namespace {

// Customer code -> name; polyphonic surnames and place names among them.
const QList<QPair<QString, QString>> kNames = {
    {"C01", "张晓燕"},   {"C02", "周晓宇"},       {"C03", "朱秀英"},     {"C04", "单立新"},
    {"C05", "曾小贤"},   {"C06", "解晓东"},       {"C07", "仇英"},       {"C08", "重庆家政"},
    {"C09", "长沙分部"}, {"C10", "厦门鼓浪屿"},   {"C11", "ABC家政公司"}, {"C12", "O'Neill 家"},
    {"C13", "李 小龙"},  {"C14", "100% 满意"},    {"C15", "吕丽"},       {"C16", "ｗａｎｇ 王"},
};

struct Case {
    QString typed;
    QStringList found;
};

const QVector<Case> kCases = {
    // Initials, whole pinyin, and a mix at syllable boundaries.
    {"zxy", {"C01", "C02", "C03"}},
    {"ZXY", {"C01", "C02", "C03"}},
    {"zhangxiaoyan", {"C01"}},
    {"zhangxy", {"C01"}},
    {"zxiaoy", {"C01", "C02"}},
    {"xiaoyan", {"C01"}}, // from the second syllable on
    {"zxya", {"C01"}},    // the last syllable typed partway
    {"zhxy", {"C01", "C02", "C03"}},
    {"x y", {"C01", "C02", "C03"}},
    {"zhangxiaoyanx", {}},
    {"iaoyan", {}}, // not at the start of a syllable
    {"zhngxy", {}},
    // Characters read more than one way, by each reading.
    {"slx", {"C04"}},
    {"dlx", {"C04"}},
    {"shanlixin", {"C04"}},
    {"zengxx", {"C05"}},
    {"cengxiaoxian", {"C05"}},
    {"xiexd", {"C06"}},
    {"jiexiaodong", {"C06"}},
    {"qiuying", {"C07"}},
    {"chouy", {"C07"}},
    {"cqjz", {"C08"}},
    {"zhongqing", {"C08"}},
    {"csfb", {"C09"}},
    {"zhangsha", {"C09"}},
    {"xiamen", {"C10"}},
    {"shamen", {"C10"}},
    {"smgly", {"C10"}},
    {"lvli", {"C15"}},
    {"ll", {"C12", "C15"}}, // "Neill" as text, 吕丽 as pinyin
    // Blanks in a name are read over; Latin letters and digits are text.
    {"lxl", {"C13"}},
    {"xiaolong", {"C13"}},
    {"jz", {"C08", "C11"}},
    {"jzgs", {"C11"}},
    {"abc", {"C11"}},
    {"abcjz", {}},
    {"neill", {"C12"}},
    {"on", {}}, // not O'Neill by the initials of Latin words
    {"wang", {"C16"}}, // 王, not the full-width letters before it
    {"my", {"C14"}},
    // Chinese as Chinese, and what cannot be pinyin.
    {"晓", {"C01", "C02", "C06"}},
    {"家政", {"C08", "C11"}},
    {"100%", {"C14"}},
    {"%", {"C14"}},
    {"_", {}},
    {"z1", {}},
};

QStringList inMemory(const QString &typed)
{
    QStringList found;
    for (const auto &[code, name] : kNames)
        if (Pinyin::matches(name, typed))
            found << code;
    return found;
}

} // namespace

TEST(Pinyin, KeysListEveryReadingOfEachSyllable)
{
    EXPECT_EQ(Pinyin::searchKey("张晓燕"), "|zhang|xiao|yan|");
    const QString shan = Pinyin::searchKey("单");
    for (const char *r : {"shan", "dan"})
        EXPECT_TRUE(shan.split(QRegularExpression("[|,]")).contains(r)) << shan.toStdString();
    EXPECT_EQ(Pinyin::searchKey("李 小·龙"), "|li|xiao|long|");
    EXPECT_EQ(Pinyin::searchKey("ABC政"), "||zheng|");
    EXPECT_EQ(Pinyin::searchKey("绿"), "|lv,lu|");
    EXPECT_EQ(Pinyin::searchKey("O'Neill"), "||");
    EXPECT_EQ(Pinyin::searchKey(""), "");
    // A modern reading, not a classical one that nobody types for a name.
    EXPECT_EQ(Pinyin::readings(U'朱'), QStringList{"zhu"});
    EXPECT_TRUE(Pinyin::readings(U'A').isEmpty());
    // A long name of many polyphones stays bounded.
    const QString many = QString("和行重长").repeated(100);
    EXPECT_LE(Pinyin::searchKey(many).size(), Pinyin::kMaxKeyLength);
    EXPECT_TRUE(Pinyin::searchKey(many).endsWith("||")); // the rest is searched as text
}

TEST(Pinyin, TheTableOfNamesInMemory)
{
    for (const Case &c : kCases)
        EXPECT_EQ(inMemory(c.typed), c.found) << c.typed.toStdString();
}

class PinyinSearchTest : public ::testing::TestWithParam<Engine>
{
protected:
    QStringList search(Database &db, const QString &typed, const QString &column = "CustName")
    {
        QVariantList values;
        const QString where = Condition::nameContains(column, typed).toSql(db.dialect(), values);
        QStringList found = Stored::column(db, "SELECT CustId FROM tblCustomers WHERE " + where, values);
        std::sort(found.begin(), found.end());
        return found;
    }
};

TEST_P(PinyinSearchTest, TheTableOfNamesOnTheEngine)
{
    TempDatabase t(GetParam());
    for (const auto &[code, name] : kNames)
        ASSERT_EQ(t.db().insertRow("tblCustomers", {{"CustId", code}, {"CustName", name}}), "");
    for (const Case &c : kCases)
        EXPECT_EQ(search(t.db(), c.typed), c.found) << c.typed.toStdString();
}

// Every store path writes the key with the name: a set's new row and its
// change, the bulk insert, and a name emptied.
TEST_P(PinyinSearchTest, KeysFollowEveryStore)
{
    TempDatabase t(GetParam());
    Database &db = t.db();
    Dataset set(&db, "tblCustomers", Schema::table("tblCustomers"));
    ASSERT_TRUE(set.open());
    set.append();
    set.setValue("CustId", "K1");
    set.setValue("CustName", "单立新");
    ASSERT_TRUE(set.post()) << set.lastError().toStdString();
    EXPECT_EQ(search(db, "slx"), QStringList{"K1"});
    set.edit();
    set.setValue("CustName", "曾小贤");
    ASSERT_TRUE(set.post()) << set.lastError().toStdString();
    EXPECT_EQ(search(db, "slx"), QStringList{});
    EXPECT_EQ(search(db, "cxx"), QStringList{"K1"});
    // A change of another field leaves the key as it is.
    set.edit();
    set.setValue("Address", "厦门");
    ASSERT_TRUE(set.post());
    EXPECT_EQ(search(db, "zxx"), QStringList{"K1"});
    set.edit();
    set.setValue("CustName", QVariant());
    ASSERT_TRUE(set.post());
    EXPECT_EQ(search(db, "cxx"), QStringList{});

    {
        Transaction tx(db);
        BulkInsert bulk(db, "tblCustomers", {"CustId", "MainLinkman", "CustName"});
        ASSERT_EQ(bulk.add({"K2", "王五", "周晓宇"}), "");
        ASSERT_EQ(bulk.flush(), "");
        ASSERT_EQ(tx.commit(), "");
    }
    EXPECT_EQ(search(db, "zxy"), QStringList{"K2"});
    EXPECT_EQ(search(db, "ww", "MainLinkman"), QStringList{"K2"});
    EXPECT_EQ(Stored::text(db, "SELECT CustNamePy FROM tblCustomers WHERE CustId = 'K2'"), "|zhou|xiao|yu|");
}

// An agency's database of the version before: the keys are not there, the
// migration adds them and works them out for every row it holds.
TEST_P(PinyinSearchTest, MigrationGivesAnOlderDatabaseItsKeys)
{
    ASSERT_EQ(Schema::kVersion, 3);
    TempDatabase t(GetParam());
    Database &db = t.db();
    ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", "K1"}, {"CustName", "单立新"}, {"MainLinkman", "曾小贤"}}), "");
    ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", "L1"}, {"CustID", "K1"}, {"Name", "解晓东"}}), "");
    ASSERT_EQ(db.insertRow("tblOperates", {{"OperateID", "H1"}, {"OperateTitle", "厦门保洁"}}), "");
    ASSERT_EQ(db.insertRow("tblOperaters", {{"OperaterID", "01"}, {"Name", "仇英"}}), "");
    ASSERT_EQ(db.insertRow("tblYuangong", {{"YuangongID", "Y1"}, {"Name", "长孙无忌"}}), "");
    ASSERT_EQ(db.insertRow("tblShusong", {{"ShusongID", "S1"}, {"ShusongName", "重庆劳务"}, {"Manager", "朱秀英"}}),
              "");
    // Back to version 2: no key column anywhere.
    for (const TableDef &table : Schema::tables()) {
        for (const ColumnDef &c : table.columns()) {
            if (!c.searchKeyOf.isEmpty()) {
                ASSERT_EQ(db.exec(QString("ALTER TABLE %1 DROP COLUMN %2").arg(table.name(), c.name)), "");
            }
        }
    }
    ASSERT_EQ(db.exec("UPDATE tblSchemaVersion SET Version = 2"), "");

    ASSERT_EQ(Schema::migrate(db), "");
    EXPECT_EQ(Schema::storedVersion(db), 3);
    EXPECT_EQ(search(db, "slx"), QStringList{"K1"});
    EXPECT_EQ(search(db, "zxx", "MainLinkman"), QStringList{"K1"});
    const struct {
        const char *table, *column, *typed;
        int rows;
    } found[] = {{"tblLinkmans", "Name", "jiexd", 1}, {"tblOperates", "OperateTitle", "shamen", 1},
                 {"tblOperaters", "Name", "chouy", 1}, {"tblYuangong", "Name", "zhangsun", 1},
                 {"tblShusong", "ShusongName", "zqlw", 1}, {"tblShusong", "Manager", "zxy", 1},
                 {"tblShusong", "Manager", "slx", 0}};
    for (const auto &f : found) {
        QVariantList values;
        const QString where = Condition::nameContains(f.column, f.typed).toSql(db.dialect(), values);
        EXPECT_EQ(Stored::count(db, QString("SELECT COUNT(*) FROM %1 WHERE %2").arg(f.table, where), values), f.rows)
            << f.table << "." << f.column << " " << f.typed;
    }
    // A row stored afterwards by a path of the program carries its key too.
    ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", "K2"}, {"CustName", "张晓燕"}}), "");
    EXPECT_EQ(search(db, "zhangxy"), QStringList{"K2"});
}

INSTANTIATE_TEST_SUITE_P(Engines, PinyinSearchTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });
