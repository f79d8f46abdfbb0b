// The staff window on both engines: saving with its checks, the code
// that others still name, deleting, the status page, the query window,
// folders and printing.
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/userrights.h"
#include "staff/tfrmoperaterquery.h"
#include "staff/tfrmoperaters.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"
#include "testlib/typing.h"
#include "ui/datagrid.h"
#include "ui/fieldbinder.h"
#include "ui/photobox.h"
#include "printing/printreport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>

#include <memory>

namespace {

class StaffTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
        Session::current().logIn("Admin", true);
        ASSERT_EQ(UserRights::current().load(t->db(), "Admin"), "");
        ASSERT_EQ(t->db().insertRow("tblOperaters", {{"OperaterID", "A01"}, {"Name", "张三"}, {"NickName", "小张"}}), "");
        ASSERT_EQ(t->db().insertRow("tblOperaters", {{"OperaterID", "B02"}, {"Name", "李明"}, {"Duty", "经理"}}), "");
        ModuleFrame::setPrinter([this](Dataset *d, const QString &name, QWidget *) {
            printed << name;
            return d != nullptr;
        });
        w = std::make_unique<TfrmOperaters>();
        connect(w.get(), &ModuleFrame::folderChosen, [this](const QString &p) { folder = p; });
        w->show();
        w->open();
        set = w->dataset();
    }
    void TearDown() override
    {
        w.reset();
        ModuleFrame::setPrinter({});
        UserRights::current().clear();
        Session::current().reset();
    }
    static void connect(TfrmOperaters *o, void (ModuleFrame::*sig)(const QString &), std::function<void(const QString &)> f)
    {
        QObject::connect(o, sig, f);
    }
    QLineEdit *edit(const QString &field) { return qobject_cast<QLineEdit *>(w->binder()->widgetFor(field)); }
    int count(const QString &sql, const QVariantList &v = {}) { return Stored::count(t->db(), sql, v); }
    void typeInto(const QString &field, const QString &text) { Typing::type(edit(field), text); }

    AppHome home;
    FakePrompts prompts;
    TdmMain dm;
    std::unique_ptr<TempDatabase> t;
    std::unique_ptr<TfrmOperaters> w;
    Dataset *set = nullptr;
    QString folder;
    QStringList printed;
};

TEST_P(StaffTest, SaveChecksCodeThenNameWithFocusAndLogsFirst)
{
    w->listNew();
    EXPECT_TRUE(w->showingDetail());
    EXPECT_EQ(w->focusWidget(), edit("OperaterID"));
    const int logs = count("SELECT COUNT(*) FROM tblLog");
    w->detailSave();
    EXPECT_EQ(prompts.last(), "请输入业务员代码！");
    EXPECT_EQ(w->focusWidget(), edit("OperaterID"));
    typeInto("OperaterID", "C03");
    w->detailSave();
    EXPECT_EQ(prompts.last(), "请输入业务员名称！");
    EXPECT_EQ(w->focusWidget(), edit("Name"));
    typeInto("Name", "王五");
    w->detailSave();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblOperaters WHERE OperaterID = 'C03'"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblLog"), logs + 3); // every save, also the refused ones
    EXPECT_EQ(folder, home.path("Files/Operaters/C03/"));
    EXPECT_TRUE(QDir(home.path("Files/Operaters/C03")).exists());
}

TEST_P(StaffTest, StatusSaveRunsTheSameChecksWithoutALogLine)
{
    w->listNew();
    const int logs = count("SELECT COUNT(*) FROM tblLog");
    w->BtnStateSaveClick();
    EXPECT_EQ(prompts.last(), "请输入业务员代码！");
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblOperaters"), 2);
    typeInto("OperaterID", "C03");
    typeInto("Name", "王五");
    w->BtnStateSaveClick();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblLog"), logs);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblOperaters WHERE FilePath = ?", {home.path("Files/Operaters/C03/")}), 1);
}

TEST_P(StaffTest, ACodeNamedByAContractOrCustomerCannotChange)
{
    ASSERT_EQ(t->db().insertRow("tblOperates", {{"OperateID", "HT1"}, {"OperaterID", "A01"}}), "");
    ASSERT_EQ(t->db().insertRow("tblCustomers", {{"CustId", "K1"}, {"CustName", "客户"}, {"OperaterID", "B02"}}), "");
    for (const char *code : {"A01", "B02"}) {
        ASSERT_TRUE(set->locate("OperaterID", code));
        w->listModify();
        typeInto("OperaterID", "X9");
        w->detailSave();
        EXPECT_EQ(prompts.last(), ModuleFrame::kCodeInUse) << code;
        EXPECT_EQ(w->focusWidget(), edit("OperaterID"));
        EXPECT_EQ(count("SELECT COUNT(*) FROM tblOperaters WHERE OperaterID = ?", {code}), 1);
        w->detailCancel();
    }
    // Without references the code stays editable.
    ASSERT_EQ(t->db().insertRow("tblOperaters", {{"OperaterID", "C03"}, {"Name", "王五"}}), "");
    ASSERT_TRUE(set->refresh());
    ASSERT_TRUE(set->locate("OperaterID", "C03"));
    w->listModify();
    typeInto("OperaterID", "C04");
    w->detailSave();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblOperaters WHERE OperaterID = 'C04'"), 1);
}

TEST_P(StaffTest, DeleteIsRefusedWhileAContractNamesTheMember)
{
    ASSERT_EQ(t->db().insertRow("tblOperates", {{"OperateID", "HT1"}, {"OperaterID", "A01"}}), "");
    ASSERT_TRUE(set->locate("OperaterID", "A01"));
    w->deleteRecord();
    EXPECT_EQ(prompts.last(), "对不起，该业务员存在业务资料信息，不能删除！");
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblOperaters"), 2);
    QSqlQuery q(t->db().sql());
    ASSERT_TRUE(q.exec("UPDATE tblOperates SET OperaterID = 'B02'"));
    prompts.answers = {false, true};
    w->deleteRecord(); // cancelled
    EXPECT_EQ(prompts.last(), "您真的要删除该业务员资料吗？");
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblOperaters"), 2);
    w->deleteRecord();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblOperaters WHERE OperaterID = 'A01'"), 0);
}

TEST_P(StaffTest, ModifyOnAnEmptyListStartsANewRowAndModifyShowsOnlyTheMembersContracts)
{
    ASSERT_EQ(t->db().insertRow("tblOperates", {{"OperateID", "HT1"}, {"OperaterID", "A01"}}), "");
    ASSERT_EQ(t->db().insertRow("tblOperates", {{"OperateID", "HT3"}, {"OperaterID", "B02"}, {"CustID", "K1"}}), "");
    ASSERT_EQ(t->db().insertRow("tblOperates", {{"OperateID", "HT2"}, {"OperaterID", "B02"}, {"CustID", "K1"}}), "");
    ASSERT_EQ(t->db().insertRow("tblCustomers", {{"CustId", "K1"}, {"CustName", "王家"}}), "");
    ASSERT_TRUE(set->locate("OperaterID", "B02"));
    w->listModify();
    // The contract module's own list, in code order, with its names.
    Dataset *contracts = dm.dataset("tblOperates2");
    EXPECT_EQ(w->subPage("tblOperates2")->dataset(), contracts);
    contracts->fetchAll();
    ASSERT_EQ(contracts->rowCount(), 2);
    EXPECT_EQ(contracts->value(0, "OperateID").toString(), "HT2");
    EXPECT_EQ(contracts->value(1, "OperateID").toString(), "HT3");
    EXPECT_EQ(contracts->value(0, "CustName").toString(), "王家");
    EXPECT_EQ(contracts->value(0, "OperaterName").toString(), set->value("Name").toString());
    w->detailCancel();
    // It stays restricted to that member after the staff window is left.
    EXPECT_EQ(contracts->rowCount(), 2);

    set->setFilter(Condition::equals("OperaterID", "nobody"));
    ASSERT_TRUE(set->isEmpty());
    w->listModify();
    EXPECT_EQ(set->state(), Dataset::State::Insert);
}

TEST_P(StaffTest, QueryNeedsTextAndBindsIt)
{
    TfrmOperaterQuery q(set);
    q.criterion()->setCurrentIndex(3); // 称呼
    q.BtnOkClick();
    EXPECT_EQ(prompts.last(), "请输入匹配的称呼!");
    EXPECT_NE(q.result(), QDialog::Accepted);
    q.criterion()->setCurrentIndex(2); // 工作人员姓名
    q.text()->setText(" 明 ");
    q.BtnOkClick();
    ASSERT_EQ(set->rowCount(), 1);
    EXPECT_EQ(set->text("OperaterID"), "B02");
    q.text()->setText("' OR '1'='1");
    q.BtnOkClick();
    EXPECT_EQ(set->rowCount(), 0);
    q.criterion()->setCurrentIndex(0);
    EXPECT_FALSE(q.text()->isEnabled());
    q.BtnOkClick();
    EXPECT_EQ(set->rowCount(), 2);
}

TEST_P(StaffTest, PhotoFolderAndPrinting)
{
    const QString pic = home.path("p.png");
    QImage img(20, 30, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(pic));
    ASSERT_TRUE(set->locate("OperaterID", "A01"));
    prompts.fileNames = {pic};
    w->PhotoClick();
    EXPECT_EQ(set->state(), Dataset::State::Edit);
    EXPECT_TRUE(w->photo()->hasPicture());
    w->detailSave();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblOperaters WHERE Photo = ?", {pic}), 1);
    QFile::remove(pic);
    w->showPhoto();
    EXPECT_FALSE(w->photo()->hasPicture()); // gone: empty, no message

    ASSERT_TRUE(set->locate("OperaterID", "B02"));
    emit w->grid()->rowClicked(set->currentRow());
    EXPECT_EQ(folder, home.path("Files/Operaters/B02/"));
    w->listPrint();
    w->detailPrint();
    EXPECT_EQ(printed, (QStringList{"frOperaters", "frOperaterDetail"}));
}

TEST_P(StaffTest, TheTemplatesRenderTheStaffTable)
{
    qputenv("BREVIA_HOME", QByteArray(BREVIA_SOURCE_DIR));
    for (const char *name : {"frOperaters", "frOperaterDetail"}) {
        PreparedReport report;
        QString error;
        EXPECT_TRUE(prepareReport(set, name, &report, &error)) << name << error.toStdString();
        EXPECT_GE(report.pages.size(), 1) << name;
        EXPECT_TRUE(report.warnings.filter("Operater").isEmpty()) << report.warnings.join(",").toStdString();
    }
    qputenv("BREVIA_HOME", home.dir.path().toLocal8Bit());
}

INSTANTIATE_TEST_SUITE_P(Engines, StaffTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
