// The import dialog as the worker and customer windows open it: the
// command beside "新增" with its right, the guessed fields changed by the
// clerk, a value for every row, the duplicates merged or skipped, the
// report, the log and the list read again.
#include "customers/tfrmcustomers.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/userrights.h"
#include "import/sheetfiles.h"
#include "importui/tfrmimport.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/login.h"
#include "testlib/modal.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"
#include "workers/data/entrychecks.h"
#include "workers/tfrmyuangong.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include <memory>

namespace {

class ImportDialogTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Database &db = t->db();
        for (const auto &[table, values] : std::initializer_list<std::pair<const char *, FieldValues>>{
                 {"tblDepartment", {{"DepartmentID", "D1"}, {"DepartmentName", "家政部"}, {"Memo", "-"}}},
                 {"tblYuangong", {{"YuangongID", "Y001"}, {"Name", "王芳"}, {"Mobile", "13800000001"}}},
                 {"tblYuangong", {{"YuangongID", "Y002"}, {"Name", "李红"}, {"ID", "110101199003071234"}}},
                 {"tblVocation", {{"VocationId", "V1"}, {"VocationName", "家庭"}, {"Memo", "-"}}},
                 {"tblCustOrigin", {{"OriginID", "O1"}, {"OriginName", "介绍"}, {"Memo", "-"}}},
                 {"tblCustLevel", {{"LevelID", "L1"}, {"LevelName", "普通"}, {"Memo", "-"}}},
                 {"tblCustState", {{"StateID", "S1"}, {"StateName", "有效"}, {"Memo", "-"}}},
                 {"tblUser", {{"UserID", "clerk"}, {"UserName", "clerk"}, {"Sys", false}}},
             })
            ASSERT_EQ(db.insertRow(table, values), "") << table;
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
        setRights(true);
    }
    void TearDown() override
    {
        UserRights::current().clear();
        Session::current().reset();
    }
    void setRights(bool insert)
    {
        Database &db = t->db();
        ASSERT_EQ(db.exec("DELETE FROM tblUserRight WHERE UserID = 'clerk'"), "");
        for (const char *right : {"301", "601"})
            ASSERT_EQ(db.insertRow("tblUserRight", {{"UserID", "clerk"}, {"RightID", right}, {"Insert", insert},
                                                    {"Modify", true}, {"Delete", true}, {"Query", true}, {"Print", true}}),
                      "");
        ASSERT_EQ(logInAs(db, "clerk", false), "");
    }
    QString file(const SheetFiles::Grid &grid, const char *name = "list.xlsx")
    {
        const QString path = t->dir() + "/" + name;
        EXPECT_EQ(SheetFiles::writeXlsx(path, grid), "");
        return path;
    }

    AppHome home;
    FakePrompts prompts;
    TdmMain dm;
    std::unique_ptr<TempDatabase> t;
};

TEST_P(ImportDialogTest, WorkersThroughTheWindowsCommand)
{
    TfrmYuangong w;
    w.resize(792, 580);
    w.show();
    w.open();
    QAction *import = w.command("ListImport");
    ASSERT_NE(import, nullptr);
    EXPECT_EQ(import->text(), "导入员工资料...");
    EXPECT_TRUE(import->isEnabled());

    prompts.fileNames = {file({
        {"编号", "名字", "联系手机", "身份证", "部门"},
        {"Y101", "张晓燕", "13900000009", "", "家政部"},
        {"Y102", "王芳", "13800000001", "", "D1"},        // Y001 by name and mobile
        {"Y103", "赵丽", "", "110101199003071234", ""},   // Y002 by identity card
        {"", "无名", "", "", ""},
    })};
    bool seen = false;
    Modal::whenUp([&](QWidget *up) {
        auto *d = qobject_cast<TfrmImport *>(up);
        ASSERT_NE(d, nullptr);
        seen = true;
        EXPECT_EQ(d->windowTitle(), "导入员工资料");
        // Guessed from the headers; the clerk puts "联系手机" to the mobile.
        EXPECT_EQ(d->mappingBox(0)->currentData().toString(), "YuangongID");
        EXPECT_EQ(d->mappingBox(1)->currentData().toString(), "Name");
        EXPECT_EQ(d->mappingBox(3)->currentData().toString(), "ID");
        d->mappingBox(2)->setCurrentIndex(d->mappingBox(2)->findData("Mobile"));
        d->toNext();
        ASSERT_EQ(d->page(), 1);
        EXPECT_EQ(d->findChild<QLabel *>("LblSummary")->text(),
                  "共 4 行：可新增 1 行，与已有员工重复 2 行，有误 1 行（不导入），带提示 1 行。");
        // The identity card's check character is wrong: a warning, not a refusal.
        auto *warnings = d->findChild<QTableWidget *>("GridWarnings");
        ASSERT_EQ(warnings->rowCount(), 1);
        EXPECT_EQ(warnings->item(0, 1)->text(), EntryChecks::kBadIdentityNumber);
        ASSERT_EQ(d->duplicates()->rowCount(), 2);
        d->mergeAll(true);
        d->duplicates()->item(0, 0)->setCheckState(Qt::Unchecked); // Y001 stays as it is
        d->startImport();
        ASSERT_EQ(d->page(), 2);
        EXPECT_EQ(d->findChild<QLabel *>("LblResult")->text(), "导入完成：新增员工 1 条，合并 1 条，跳过 2 条。");
        auto *skipped = d->findChild<QTableWidget *>("GridSkipped");
        ASSERT_EQ(skipped->rowCount(), 2);
        EXPECT_EQ(skipped->item(1, 1)->text(), "请输入员工代码！");
        d->findChild<QPushButton *>("BtnClose")->click();
    });
    import->trigger();
    ASSERT_TRUE(seen);
    EXPECT_EQ(Stored::text(t->db(), "SELECT Mobile FROM tblYuangong WHERE YuangongID = 'Y101'"), "13900000009");
    EXPECT_EQ(Stored::text(t->db(), "SELECT DepartmentID FROM tblYuangong WHERE YuangongID = 'Y101'"), "D1");
    EXPECT_EQ(Stored::text(t->db(), "SELECT Name FROM tblYuangong WHERE YuangongID = 'Y002'"), "赵丽");
    EXPECT_EQ(Stored::text(t->db(), "SELECT Name FROM tblYuangong WHERE YuangongID = 'Y001'"), "王芳");
    const QStringList log = Stored::logLines(t->db());
    ASSERT_GE(log.size(), 2);
    EXPECT_EQ(log[log.size() - 2], "内部管理-员工资料-导入");
    EXPECT_EQ(log.last(), "内部管理-员工资料-导入 list.xlsx：新增员工 1 条，合并 1 条，跳过 2 条。");
    // The list shows the new worker at once.
    Dataset *set = w.dataset();
    set->fetchAll();
    QStringList codes;
    for (int r = 0; r < set->rowCount(); ++r)
        codes << set->value(r, "YuangongID").toString();
    EXPECT_TRUE(codes.contains("Y101"));

    // Without the Insert flag of the window's right the command is off.
    setRights(false);
    w.updateCommands();
    EXPECT_FALSE(import->isEnabled());
}

TEST_P(ImportDialogTest, CustomersGetAValueForEveryRowTheFileLacks)
{
    const QString path = file({{"客户代码", "客户名称", "电话", "客户类型"},
                               {"K01", "王家", "010-1", "家庭"},
                               {"K02", "赵家", "010-2", "家庭"}},
                              "customers.xlsx");
    Sheet sheet;
    ASSERT_EQ(SheetReader::read(path, &sheet), "");
    TfrmImport d(t->db(), ImportTarget::customers(), path, sheet, "客户业务管理-客户资料-导入 customers.xlsx：");
    // The required fields no column holds, in the table's order; the type
    // has its column.
    EXPECT_EQ(d.fixedBox("VocationID"), nullptr);
    for (const char *field : {"OriginID", "LevelID", "StateId", "CreateDate"})
        ASSERT_NE(d.fixedBox(field), nullptr) << field;
    d.fixedBox("OriginID")->setCurrentText("介绍");
    d.fixedBox("LevelID")->setCurrentText("普通");
    d.fixedBox("StateId")->setCurrentText("有效");
    d.fixedBox("CreateDate")->setCurrentText("2026-12-01");
    // Taking the type's column away asks for a type for every row too.
    d.mappingBox(3)->setCurrentIndex(0);
    ASSERT_NE(d.fixedBox("VocationID"), nullptr);
    d.fixedBox("VocationID")->setCurrentText("家庭");
    // A field chosen for a second column leaves the first one.
    d.mappingBox(2)->setCurrentIndex(d.mappingBox(2)->findData("CustName"));
    EXPECT_EQ(d.mappingBox(1)->currentIndex(), 0);
    d.mappingBox(1)->setCurrentIndex(d.mappingBox(1)->findData("CustName"));
    EXPECT_EQ(d.mappingBox(2)->currentIndex(), 0);
    d.mappingBox(2)->setCurrentIndex(d.mappingBox(2)->findData("Telephone"));

    d.toNext();
    ASSERT_EQ(d.page(), 1);
    EXPECT_EQ(d.checked().count(SheetImport::Status::New), 2);
    d.startImport();
    EXPECT_TRUE(d.stored());
    EXPECT_EQ(Stored::count(t->db(), "SELECT COUNT(*) FROM tblCustomers WHERE SUser = 'clerk' AND VocationID = 'V1' "
                                     "AND OriginID = 'O1' AND LevelID = 'L1' AND StateId = 'S1'"),
              2);
    EXPECT_EQ(Stored::lastLog(t->db()), "客户业务管理-客户资料-导入 customers.xlsx：新增客户 2 条，合并 0 条，跳过 0 条。");
}

TEST_P(ImportDialogTest, TheCustomerWindowHasItsCommandToo)
{
    TfrmCustomers w;
    w.show();
    w.open();
    QAction *import = w.command("ListImport");
    ASSERT_NE(import, nullptr);
    EXPECT_EQ(import->text(), "导入客户资料...");
    EXPECT_TRUE(import->isEnabled());
    // A file that is none of the three is refused with a reason; the log
    // has the command's line, and nothing else happens.
    const QString path = t->dir() + "/notes.csv";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\0\1\2", 3));
    f.close();
    prompts.fileNames = {path};
    import->trigger();
    EXPECT_EQ(prompts.last(), "对不起，无法识别该文件的格式，请选择 .xlsx、.xls 或 .csv 文件！");
    EXPECT_EQ(Stored::lastLog(t->db()), "客户业务管理-客户资料-导入");
}

INSTANTIATE_TEST_SUITE_P(Engines, ImportDialogTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
