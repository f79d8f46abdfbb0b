// Bringing rows in: a made-up list of 10,000 workers with duplicates and
// bad rows, checked line by line against what the database then holds;
// the one transaction (a failure or a cancel midway leaves nothing); the
// customers with values for every row, their owner and the rights.
#include "data/database.h"
#include "data/pinyin.h"
#include "data/session.h"
#include "data/userrights.h"
#include "import/importtarget.h"
#include "import/sheet.h"
#include "import/sheetfiles.h"
#include "import/sheetimport.h"
#include "testlib/login.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"
#include "workers/data/entrychecks.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QHash>
#include <QSqlQuery>
#include <QSqlRecord>

#include <memory>

namespace {

using SheetImport::Status;

// A valid identity-card number for n: 17 digits and their check character.
QString identity(int n)
{
    const QString body = QStringLiteral("11010119") + QStringLiteral("%1").arg(n, 9, 10, QLatin1Char('0'));
    static const int weights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
    int sum = 0;
    for (int i = 0; i < 17; ++i)
        sum += (body.at(i).unicode() - '0') * weights[i];
    return body + QLatin1Char("10X98765432"[sum % 11]);
}

const char *const kSurnames[] = {"张", "王", "李", "赵", "刘", "陈", "杨", "黄", "周", "吴"};
const char *const kGiven[] = {"晓燕", "秀英", "立新", "桂兰", "建华", "玉梅", "红", "静", "海燕", "丽"};

QString personName(int n)
{
    return QString::fromUtf8(kSurnames[n % 10]) + QString::fromUtf8(kGiven[(n / 10) % 10]) + QString::number(n / 100);
}

// The workers on file before the import.
struct OnFile {
    QString code, name, mobile, id;
};
OnFile existing(int e)
{
    return {QStringLiteral("Y9%1").arg(e, 4, 10, QLatin1Char('0')), QStringLiteral("老") + personName(e),
            QStringLiteral("139%1").arg(e, 8, 10, QLatin1Char('0')), identity(900000 + e)};
}

// What line i of the list is meant to become.
enum class Meant { New, SkippedDuplicate, MergedDuplicate, Refused, Blank };

struct Line {
    QStringList cells;
    Meant meant = Meant::New;
    QString reason;   // of a refused line
    QString warning;  // expected among its warnings
    int existing = -1; // the record on file it names
};

const QStringList kHeaders = {"员工编号", "姓名", "性别", "出生日期", "身份证号", "手机", "家庭电话",
                              "部门", "工种", "籍贯", "家庭住址", "入职时间", "在职状态", "备注"};

// Line i of the made-up list (file line i + 2). Every hundred lines hold
// one of each kind of trouble, the rest are plain new workers.
Line workerLine(int i)
{
    Line l;
    const QString code = QStringLiteral("YG%1").arg(i, 5, 10, QLatin1Char('0'));
    QString name = personName(i);
    QString mobile = QStringLiteral("138%1").arg(i, 8, 10, QLatin1Char('0'));
    QString id = identity(i);
    const QString births[] = {"#date:1980-01-15", "1980/1/15", "1980年1月15日", "19800115", "1980-01-15"};
    QString birth = births[i % 5];
    QString department = i % 3 == 0 ? QStringLiteral("D1") : QStringLiteral("护理部");
    QString address = QStringLiteral("北京市朝阳区%1号").arg(i);
    QString c = code;
    switch (i % 100) {
    case 1: // the same person as one on file: name and mobile
        l.existing = i / 100;
        name = existing(l.existing).name;
        mobile = existing(l.existing).mobile;
        l.meant = Meant::SkippedDuplicate;
        break;
    case 2: // the same identity card as one on file
        l.existing = 100 + i / 100;
        id = existing(l.existing).id;
        l.meant = Meant::MergedDuplicate;
        break;
    case 3:
        c.clear();
        l.meant = Meant::Refused;
        l.reason = QStringLiteral("请输入员工代码！");
        break;
    case 4:
        name.clear();
        l.meant = Meant::Refused;
        l.reason = QStringLiteral("请输入员工姓名！");
        break;
    case 5: // the code of line i - 5
        c = QStringLiteral("YG%1").arg(i - 5, 5, 10, QLatin1Char('0'));
        l.meant = Meant::Refused;
        l.reason = QStringLiteral("与第 %1 行的员工编号相同").arg(i - 5 + 2);
        break;
    case 6: // the code of a worker on file, who is someone else
        c = existing(200 + i / 100).code;
        l.meant = Meant::Refused;
        l.reason = QStringLiteral("对不起，该员工编号已存在！");
        break;
    case 7:
        address = QString(101, QChar(0x8857)); // 街
        l.meant = Meant::Refused;
        l.reason = QStringLiteral("“家庭住址”超过 100 个字");
        break;
    case 8:
        id = id.left(17) + (id.endsWith(QLatin1Char('1')) ? QStringLiteral("2") : QStringLiteral("1"));
        l.warning = EntryChecks::kBadIdentityNumber;
        break;
    case 9:
        mobile = QStringLiteral("1234");
        l.warning = EntryChecks::kBadMobile;
        break;
    case 10:
        department = QStringLiteral("外星部");
        l.warning = QStringLiteral("“部门”中的“外星部”在资料中没有，未导入该项");
        break;
    case 11:
        birth = QStringLiteral("不详");
        l.warning = QStringLiteral("“出生年月”中的“不详”不是日期，未导入该项");
        break;
    case 12: // the same person as line i - 12, under another code
        name = personName(i - 12);
        mobile = QStringLiteral("138%1").arg(i - 12, 8, 10, QLatin1Char('0'));
        l.meant = Meant::Refused;
        l.reason = QStringLiteral("与第 %1 行是同一员工").arg(i - 12 + 2);
        break;
    case 13:
        l.meant = Meant::Blank;
        l.cells = QStringList(kHeaders.size());
        return l;
    default:
        break;
    }
    l.cells = {c,
               name,
               i % 2 ? QStringLiteral("男") : QStringLiteral("女"),
               birth,
               id,
               i % 4 == 0 ? QStringLiteral("#num:") + mobile : mobile,
               QStringLiteral("010-6%1").arg(i, 7, 10, QLatin1Char('0')),
               department,
               QStringLiteral("保姆"),
               QStringLiteral("安徽"),
               address,
               QStringLiteral("2024-%1-1").arg(i % 12 + 1),
               i % 7 ? QStringLiteral("在职") : QStringLiteral("离职"),
               QStringLiteral("第%1行").arg(i + 2)};
    return l;
}

class ImportBase : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Database &db = t->db();
        for (const auto &[table, values] : std::initializer_list<std::pair<const char *, FieldValues>>{
                 {"tblDepartment", {{"DepartmentID", "D1"}, {"DepartmentName", "家政部"}, {"Memo", "-"}}},
                 {"tblDepartment", {{"DepartmentID", "D2"}, {"DepartmentName", "护理部"}, {"Memo", "-"}}},
                 {"tblGongzhong", {{"GongzhongID", "G1"}, {"GongzhongName", "保姆"}, {"Memo", "-"}}},
                 {"tblVocation", {{"VocationId", "V1"}, {"VocationName", "家庭"}, {"Memo", "-"}}},
                 {"tblVocation", {{"VocationId", "V2"}, {"VocationName", "企业"}, {"Memo", "-"}}},
                 {"tblCustOrigin", {{"OriginID", "O1"}, {"OriginName", "介绍"}, {"Memo", "-"}}},
                 {"tblCustLevel", {{"LevelID", "L1"}, {"LevelName", "普通"}, {"Memo", "-"}}},
                 {"tblCustState", {{"StateID", "S1"}, {"StateName", "有效"}, {"Memo", "-"}}},
             })
            ASSERT_EQ(db.insertRow(table, values), "") << table;
        Session::current().logIn("Admin", true);
    }
    void TearDown() override
    {
        UserRights::current().clear();
        Session::current().reset();
    }
    int count(const QString &sql, const QVariantList &v = {}) { return Stored::count(t->db(), sql, v); }

    // The records of a table by code: every column as text.
    QHash<QString, QHash<QString, QString>> records(const QString &table, const QString &key)
    {
        QHash<QString, QHash<QString, QString>> all;
        QSqlQuery q(t->db().sql());
        EXPECT_TRUE(q.exec("SELECT * FROM " + table));
        while (q.next()) {
            QHash<QString, QString> r;
            for (int c = 0; c < q.record().count(); ++c)
                r.insert(q.record().fieldName(c).toLower(), q.value(c).toString());
            all.insert(r.value(key.toLower()), r);
        }
        return all;
    }

    std::unique_ptr<TempDatabase> t;
};

class WorkerImportTest : public ImportBase
{
protected:
    void SetUp() override
    {
        ImportBase::SetUp();
        for (int e = 0; e < 300; ++e) {
            const OnFile w = existing(e);
            ASSERT_EQ(t->db().insertRow("tblYuangong", {{"YuangongID", w.code}, {"Name", w.name}, {"Mobile", w.mobile},
                                                        {"ID", w.id}, {"Native", "河北"}, {"DepartmentID", "D1"}}),
                      "");
        }
    }
    Sheet sheetOf(int lines, std::vector<Line> *meant)
    {
        SheetFiles::Grid grid{kHeaders};
        for (int i = 0; i < lines; ++i) {
            meant->push_back(workerLine(i));
            grid << meant->back().cells;
        }
        const QString path = t->dir() + "/workers.xlsx";
        EXPECT_EQ(SheetFiles::writeXlsx(path, grid), "");
        Sheet sheet;
        EXPECT_EQ(SheetReader::read(path, &sheet), "");
        return sheet;
    }
};

TEST_P(WorkerImportTest, TenThousandWorkersWithDuplicatesAndBadRowsLineByLine)
{
    std::vector<Line> meant;
    const Sheet sheet = sheetOf(10000, &meant);
    const ImportTarget target = ImportTarget::workers();
    const SheetImport::Mapping mapping = SheetImport::guessMapping(target, sheet.headers);
    EXPECT_EQ(mapping, (SheetImport::Mapping{"YuangongID", "Name", "Sex", "Birth", "ID", "Mobile", "HTelephone",
                                             "DepartmentID", "GongzhongID", "Native", "Address", "InTime", "State",
                                             "Memo"}));
    SheetImport::CheckResult checked;
    QString error;
    ASSERT_TRUE(SheetImport::check(t->db(), target, sheet, mapping, {}, &checked, &error)) << error.toStdString();

    // Each line checked as it was meant; the blank lines are no rows at all.
    QHash<int, const SheetImport::CheckedRow *> byLine;
    for (const SheetImport::CheckedRow &r : checked.rows)
        byLine.insert(r.line, &r);
    QVector<bool> merge(checked.rows.size(), false);
    for (int i = 0; i < 10000; ++i) {
        const Line &l = meant[i];
        const SheetImport::CheckedRow *r = byLine.value(i + 2);
        SCOPED_TRACE(i + 2);
        if (l.meant == Meant::Blank) {
            EXPECT_EQ(r, nullptr);
            continue;
        }
        ASSERT_NE(r, nullptr);
        switch (l.meant) {
        case Meant::New:
            EXPECT_EQ(int(r->status), int(Status::New)) << r->reason.toStdString();
            break;
        case Meant::Refused:
            EXPECT_EQ(int(r->status), int(Status::Refused));
            EXPECT_EQ(r->reason, l.reason);
            break;
        case Meant::SkippedDuplicate:
        case Meant::MergedDuplicate:
            ASSERT_EQ(int(r->status), int(Status::Duplicate));
            EXPECT_EQ(r->existingKey, existing(l.existing).code);
            EXPECT_EQ(r->match, l.meant == Meant::MergedDuplicate ? "身份证号相同" : "姓名和电话相同");
            EXPECT_TRUE(r->mayMerge);
            merge[int(r - checked.rows.data())] = l.meant == Meant::MergedDuplicate;
            break;
        case Meant::Blank:
            break;
        }
        if (!l.warning.isEmpty()) {
            EXPECT_TRUE(r->warnings.contains(l.warning)) << r->warnings.join("; ").toStdString();
        } else if (l.meant == Meant::New) {
            EXPECT_EQ(r->warnings, QStringList());
        }
    }
    EXPECT_EQ(checked.count(Status::New), 9100);
    EXPECT_EQ(checked.count(Status::Duplicate), 200);
    EXPECT_EQ(checked.count(Status::Refused), 600);

    SheetImport::Outcome outcome;
    ASSERT_EQ(SheetImport::store(t->db(), target, checked, merge, "内部管理-员工资料-导入 workers.xlsx：", &outcome), "");
    EXPECT_EQ(outcome.stored, 9100);
    EXPECT_EQ(outcome.merged, 100);
    EXPECT_EQ(outcome.skipped, 700);
    EXPECT_EQ(outcome.skippedLines.size(), 700);
    EXPECT_EQ(Stored::lastLog(t->db()), "内部管理-员工资料-导入 workers.xlsx：新增员工 9100 条，合并 100 条，跳过 700 条。");

    // What the database holds, worker by worker.
    const auto stored = records("tblYuangong", "YuangongID");
    EXPECT_EQ(stored.size(), 300 + 9100);
    auto birthOf = [](const QString &cell) {
        return cell == "不详" ? QString() : QStringLiteral("1980-01-15");
    };
    for (int i = 0; i < 10000; ++i) {
        const Line &l = meant[i];
        SCOPED_TRACE(i + 2);
        const QString code = QStringLiteral("YG%1").arg(i, 5, 10, QLatin1Char('0'));
        const QStringList cells = SheetFiles::asRead({l.cells}).first();
        if (l.meant == Meant::New) {
            ASSERT_TRUE(stored.contains(code));
            const QHash<QString, QString> &w = stored[code];
            EXPECT_EQ(w["name"], cells[1]);
            EXPECT_EQ(w["sex"], cells[2]);
            EXPECT_EQ(w["birth"].left(10), birthOf(cells[3]));
            EXPECT_EQ(w["id"], cells[4]);
            EXPECT_EQ(w["mobile"], cells[5]);
            EXPECT_EQ(w["htelephone"], cells[6]);
            EXPECT_EQ(w["departmentid"], cells[7] == "外星部" ? QString() : "D" + QString(cells[7] == "D1" ? "1" : "2"));
            EXPECT_EQ(w["gongzhongid"], "G1");
            EXPECT_EQ(w["native"], "安徽");
            EXPECT_EQ(w["address"], cells[10]);
            EXPECT_EQ(w["intime"].left(10), QDate(2024, i % 12 + 1, 1).toString("yyyy-MM-dd"));
            EXPECT_EQ(w["state"], cells[12]);
            EXPECT_EQ(w["memo"], cells[13]);
            EXPECT_EQ(w["suser"], ""); // workers carry no creator
        } else if (l.meant == Meant::MergedDuplicate) {
            EXPECT_FALSE(stored.contains(code));
            const QHash<QString, QString> &w = stored[existing(l.existing).code];
            EXPECT_EQ(w["name"], cells[1]); // the file's values over the stored ones
            EXPECT_EQ(w["namepy"], Pinyin::searchKey(cells[1])); // and the name's search key with it
            EXPECT_EQ(w["mobile"], cells[5]);
            EXPECT_EQ(w["native"], "安徽");
            EXPECT_EQ(w["id"], existing(l.existing).id);
            EXPECT_EQ(w["yuangongid"], existing(l.existing).code);
        } else if (l.meant == Meant::SkippedDuplicate) {
            EXPECT_FALSE(stored.contains(code));
            const QHash<QString, QString> &w = stored[existing(l.existing).code];
            EXPECT_EQ(w["native"], "河北"); // untouched
            EXPECT_EQ(w["address"], "");
        } else if (l.meant == Meant::Refused && i % 100 == 5) {
            EXPECT_EQ(stored[code.left(2) + QStringLiteral("%1").arg(i - 5, 5, 10, QLatin1Char('0'))]["name"],
                      personName(i - 5)); // the first line with the code keeps it
        } else if (l.meant == Meant::Refused && i % 100 == 6) {
            EXPECT_EQ(stored[cells[0]]["name"], existing(200 + i / 100).name);
        } else {
            EXPECT_FALSE(stored.contains(code));
        }
    }
    // Every skipped line is in the report with its reason.
    QHash<int, QString> skipped;
    for (const auto &[line, why] : outcome.skippedLines)
        skipped.insert(line, why);
    EXPECT_EQ(skipped.value(3 + 100), "已有员工“Y90001 老" + personName(1) + "”（姓名和电话相同），未合并");
    EXPECT_EQ(skipped.value(5 + 200), "请输入员工代码！");
}

TEST_P(WorkerImportTest, AFailureOrACancelMidwayLeavesNothingStored)
{
    std::vector<Line> meant;
    const Sheet sheet = sheetOf(2000, &meant);
    const ImportTarget target = ImportTarget::workers();
    SheetImport::CheckResult checked;
    QString error;
    ASSERT_TRUE(SheetImport::check(t->db(), target, sheet, SheetImport::guessMapping(target, sheet.headers), {},
                                   &checked, &error));
    const QVector<bool> mergeAll(checked.rows.size(), true);
    const int workers = count("SELECT COUNT(*) FROM tblYuangong");
    const QStringList log = Stored::logLines(t->db());

    // The clerk gives up halfway through.
    SheetImport::Outcome outcome;
    int calls = 0;
    EXPECT_EQ(SheetImport::store(t->db(), target, checked, mergeAll, "导入：", &outcome,
                                 [&](int done, int) { ++calls; return done < 1000; }),
              "导入已取消，没有存入任何资料。");
    EXPECT_GT(calls, 5);
    EXPECT_EQ(outcome.stored, 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblYuangong"), workers);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblYuangong WHERE Native = '安徽'"), 0); // no merge kept either
    EXPECT_EQ(Stored::logLines(t->db()), log);

    // Another workstation stores the code of line 1502 after the check:
    // the store fails in its middle, and nothing of it stays.
    auto other = t->openAnother();
    ASSERT_EQ(other->insertRow("tblYuangong", {{"YuangongID", "YG01500"}, {"Name", "别人"}}), "");
    error = SheetImport::store(t->db(), target, checked, mergeAll, "导入：", &outcome);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(error, "对不起，该代码已存在！") << error.toStdString();
    EXPECT_EQ(outcome.stored, 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblYuangong"), workers + 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblYuangong WHERE Native = '安徽'"), 0);
    EXPECT_EQ(Stored::logLines(t->db()), log);

    // The database works on: the same rows, checked again, go in.
    ASSERT_TRUE(SheetImport::check(t->db(), target, sheet, SheetImport::guessMapping(target, sheet.headers), {},
                                   &checked, &error));
    EXPECT_EQ(SheetImport::store(t->db(), target, checked, QVector<bool>(checked.rows.size(), true), "导入：", &outcome), "");
    // YG01500 is taken now, so line 1502 is refused and line 1514, the same
    // person under another code, is the first of him and goes in instead.
    EXPECT_EQ(outcome.stored, 1820);
    EXPECT_EQ(Stored::text(t->db(), "SELECT Name FROM tblYuangong WHERE YuangongID = 'YG01512'"), personName(1500));
}

// An ordinary user places a worker only with a customer of his own, as
// the worker window's drop-down offers them: another user's customer in
// the file reads as unknown, whether named by code or by name.
TEST_P(WorkerImportTest, AnOrdinaryUserPlacesWorkersOnlyWithHisOwnCustomers)
{
    Database &db = t->db();
    for (const char *user : {"clerk", "other"}) {
        ASSERT_EQ(db.insertRow("tblUser", {{"UserID", user}, {"UserName", user}, {"Sys", false}}), "");
        ASSERT_EQ(db.insertRow("tblUserRight", {{"UserID", user}, {"RightID", "601"}, {"Insert", true},
                                                {"Modify", true}, {"Delete", true}, {"Query", true}, {"Print", true}}),
                  "");
    }
    ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", "C001"}, {"CustName", "张家"}, {"SUser", "clerk"}}), "");
    ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", "C002"}, {"CustName", "李家"}, {"SUser", "other"}}), "");
    const SheetFiles::Grid grid = {{"员工编号", "姓名", "受聘客户"},
                                   {"W1", "甲", "C001"},
                                   {"W2", "乙", "张家"},
                                   {"W3", "丙", "C002"},
                                   {"W4", "丁", "李家"}};
    const QString path = t->dir() + "/placed.csv";
    ASSERT_EQ(SheetFiles::writeCsv(path, grid, "UTF-8"), "");
    Sheet sheet;
    ASSERT_EQ(SheetReader::read(path, &sheet), "");
    const ImportTarget target = ImportTarget::workers();
    struct Case {
        const char *user;
        bool sys;
        QStringList placed; // W1..W4
    };
    for (const Case &c : {Case{"clerk", false, {"C001", "C001", "", ""}}, Case{"Admin", true, {"C001", "C001", "C002", "C002"}}}) {
        ASSERT_EQ(logInAs(db, c.user, c.sys), "");
        SheetImport::CheckResult checked;
        QString error;
        ASSERT_TRUE(SheetImport::check(db, target, sheet, SheetImport::guessMapping(target, sheet.headers), {}, &checked,
                                       &error))
            << error.toStdString();
        ASSERT_EQ(checked.rows.size(), 4);
        const int custId = int(checked.fields.indexOf("CustID"));
        ASSERT_GE(custId, 0);
        for (int r = 0; r < 4; ++r) {
            EXPECT_EQ(checked.rows[r].values.value(custId).toString(), c.placed[r]) << c.user << " line " << r + 2;
            EXPECT_EQ(checked.rows[r].warnings.isEmpty(), !c.placed[r].isEmpty()) << c.user << " line " << r + 2;
        }
    }
}

class CustomerImportTest : public ImportBase
{
};

TEST_P(CustomerImportTest, ValuesForEveryRowTheOwnerAndTheRights)
{
    Database &db = t->db();
    for (const char *user : {"clerk", "other", "reader"}) {
        ASSERT_EQ(db.insertRow("tblUser", {{"UserID", user}, {"UserName", user}, {"Sys", false}}), "");
        const bool mayWrite = QByteArray(user) != "reader";
        ASSERT_EQ(db.insertRow("tblUserRight", {{"UserID", user}, {"RightID", "301"}, {"Insert", mayWrite},
                                                {"Modify", mayWrite}, {"Delete", true}, {"Query", true}, {"Print", true}}),
                  "");
    }
    ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", "C001"}, {"CustName", "张家"}, {"Telephone", "010-1234 5678"},
                                            {"SUser", "clerk"}}),
              "");
    ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", "C002"}, {"CustName", "李家"}, {"MainTelephone", "13900000002"},
                                            {"SUser", "other"}}),
              "");
    const SheetFiles::Grid grid = {
        {"客户代码", "客户名称", "电话", "手机", "客户类型", "地址"},
        {"K01", "王家", "010-1", "13800000001", "家庭", "朝阳区"},
        {"K02", "张家", "01012345678", "", "企业", "海淀区"},   // C001 by name and telephone: the clerk's own
        {"K03", "李家", "", "13900000002", "V1", "东城区"},     // C002: another clerk's customer
        {"K04", "赵家", "", "138", "家庭", ""},                 // a mobile that only warns
        {"K05", "孙家", "", "", "政府", ""},                    // no such type: the required type is missing
        {"K06", "周家", "", "", "", ""},                        // the type is a required field
    };
    const QString path = t->dir() + "/customers.csv";
    ASSERT_EQ(SheetFiles::writeCsv(path, grid, "GB18030"), "");
    Sheet sheet;
    ASSERT_EQ(SheetReader::read(path, &sheet), "");
    EXPECT_EQ(sheet.encoding, "GB18030");
    const ImportTarget target = ImportTarget::customers();
    const SheetImport::Mapping mapping = SheetImport::guessMapping(target, sheet.headers);
    // What no column holds, one value for every row: names or codes.
    const SheetImport::FixedValues fixed{{"OriginID", "介绍"}, {"LevelID", "L1"}, {"StateId", "有效"},
                                         {"CreateDate", "2026-12-01"}};

    ASSERT_EQ(logInAs(db, "clerk", false), "");
    SheetImport::CheckResult checked;
    QString error;
    ASSERT_TRUE(SheetImport::check(db, target, sheet, mapping, fixed, &checked, &error)) << error.toStdString();
    ASSERT_EQ(checked.rows.size(), 6);
    const auto &rows = checked.rows;
    EXPECT_EQ(int(rows[0].status), int(Status::New));
    EXPECT_EQ(int(rows[1].status), int(Status::Duplicate));
    EXPECT_EQ(rows[1].existingKey, "C001");
    EXPECT_TRUE(rows[1].mayMerge);
    EXPECT_EQ(int(rows[2].status), int(Status::Duplicate));
    EXPECT_FALSE(rows[2].mayMerge); // not his to change
    EXPECT_EQ(int(rows[3].status), int(Status::New));
    EXPECT_EQ(rows[3].warnings, QStringList{EntryChecks::kBadMobile});
    EXPECT_EQ(rows[4].reason, "请选择输入行业类别！");
    EXPECT_EQ(rows[5].reason, "请选择输入行业类别！");

    // Someone who may only read is told so, and nothing is stored.
    ASSERT_EQ(logInAs(db, "reader", false), "");
    SheetImport::Outcome outcome;
    EXPECT_EQ(SheetImport::store(db, target, checked, {false, true, true}, "", &outcome), kNoInsertFlag);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblCustomers"), 2);

    ASSERT_EQ(logInAs(db, "clerk", false), "");
    ASSERT_EQ(SheetImport::store(db, target, checked, {false, true, true}, "客户业务管理-客户资料-导入：", &outcome), "");
    EXPECT_EQ(outcome.text("客户"), "新增客户 2 条，合并 1 条，跳过 3 条。");
    const auto stored = records("tblCustomers", "CustId");
    EXPECT_EQ(stored.size(), 4);
    EXPECT_EQ(stored["K01"]["vocationid"], "V1");
    EXPECT_EQ(stored["K01"]["originid"], "O1");
    EXPECT_EQ(stored["K01"]["stateid"], "S1");
    EXPECT_EQ(stored["K01"]["levelid"], "L1");
    EXPECT_EQ(stored["K01"]["createdate"].left(10), "2026-12-01");
    EXPECT_EQ(stored["K01"]["suser"], "clerk"); // the creator, as "保存" stamps him
    EXPECT_EQ(stored["K04"]["maintelephone"], "138");
    // The merge: the file's values, the code and the owner as they were.
    EXPECT_EQ(stored["C001"]["vocationid"], "V2");
    EXPECT_EQ(stored["C001"]["address"], "海淀区");
    EXPECT_EQ(stored["C001"]["telephone"], "01012345678");
    EXPECT_EQ(stored["C001"]["suser"], "clerk");
    // The values chosen for every row were for the new customers: the
    // merged one keeps its own (here none).
    EXPECT_EQ(stored["C001"]["originid"], "");
    EXPECT_EQ(stored["C001"]["createdate"], "");
    EXPECT_EQ(stored["C002"]["address"], "");
    EXPECT_EQ(outcome.skippedLines[0],
              (QPair<int, QString>{4, "已有客户“C002 李家”（姓名和电话相同），无权修改该记录"}));
    EXPECT_EQ(Stored::lastLog(db), "客户业务管理-客户资料-导入：新增客户 2 条，合并 1 条，跳过 3 条。");
}

INSTANTIATE_TEST_SUITE_P(Engines, WorkerImportTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });
INSTANTIATE_TEST_SUITE_P(Engines, CustomerImportTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
