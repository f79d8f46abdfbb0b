// The worker window, the worker dialog of the customer window, the unit
// window with its commission settlements and the searches, on both
// engines.
#include "customers/tfrmcustomers.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/userrights.h"
#include "printing/printreport.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/modal.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"
#include "testlib/typing.h"
#include "ui/datagrid.h"
#include "ui/fieldbinder.h"
#include "ui/photobox.h"
#include "ui/recorddialogs.h"
#include "ui/subpage.h"
#include "workers/data/entrychecks.h"
#include "workers/tfrmshusong.h"
#include "workers/tfrmshusongquery.h"
#include "workers/tfrmshusongyj.h"
#include "workers/tfrmyuangong.h"
#include "workers/tfrmyuangongnew1.h"
#include "workers/tfrmyuangongquery.h"
#include "workers/workerplacement.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QValidator>

#include <functional>
#include <memory>

namespace {

class WorkerBase : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Database &db = t->db();
        const std::pair<const char *, FieldValues> rows[] = {
            {"tblDepartment", {{"DepartmentID", "D1"}, {"DepartmentName", "家政部"}, {"Memo", "-"}}},
            {"tblGongzhong", {{"GongzhongID", "G1"}, {"GongzhongName", "保姆"}, {"Memo", "-"}}},
            {"tblJineng", {{"LevelID", "L1"}, {"LevelName", "高级"}, {"Memo", "-"}}},
            {"tblTijian", {{"TJID", "T1"}, {"TJMS", "合格"}, {"Memo", "-"}}},
            {"tblCustomers", {{"CustId", "C001"}, {"CustName", "张家"}, {"SUser", "Admin"}}},
            {"tblCustomers", {{"CustId", "C002"}, {"CustName", "李家"}, {"SUser", "Admin"}}},
            {"tblShusong", {{"ShusongID", "S1"}, {"ShusongName", "阳光劳务"}, {"Manager", "王经理"}, {"Email", "s1@example.cn"}}},
            {"tblShusong", {{"ShusongID", "S2"}, {"ShusongName", "长城劳务"}, {"Manager", "李经理"}}},
            {"tblShusongYJ", {{"sNo", 1}, {"ShusongID", "S1"}, {"Jingban", "赵"}, {"Jieshao", 300.0}}},
            {"tblYuangong", {{"YuangongID", "Y001"}, {"Name", "王芳"}, {"NickName", "王姐"}, {"Duty", "保姆"},
                             {"CustID", "C001"}, {"ShusongID", "S1"}, {"GongzhongID", "G1"}}},
            // Typed before numbers were checked: it must still save.
            {"tblYuangong", {{"YuangongID", "Y002"}, {"Name", "李红"}, {"Duty", "钟点工"}, {"ID", "12345"}}},
            {"tblYuangong", {{"YuangongID", "Y003"}, {"Name", "张王氏"}, {"NickName", "O'Hara"}, {"CustID", "C002"}}},
        };
        for (const auto &[table, values] : rows)
            ASSERT_EQ(db.insertRow(table, values), "") << table;
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
        Session::current().logIn("Admin", true);
        ASSERT_EQ(UserRights::current().load(t->db(), "Admin"), "");
        ModuleFrame::setPrinter([this](Dataset *d, const QString &name, QWidget *) {
            printed << name + ":" + d->name();
            return true;
        });
    }
    void TearDown() override
    {
        ModuleFrame::setPrinter({});
        UserRights::current().clear();
        Session::current().reset();
    }
    int count(const QString &sql, const QVariantList &v = {}) { return Stored::count(t->db(), sql, v); }
    QString stored(const QString &sql, const QVariantList &v = {}) { return Stored::text(t->db(), sql, v); }
    QString lastLog() { return Stored::lastLog(t->db()); }
    static void type(QLineEdit *e, const QString &text) { Typing::type(e, text); }
    static QStringList codes(Dataset *set, const char *field)
    {
        QStringList l;
        set->fetchAll();
        for (int r = 0; r < set->rowCount(); ++r)
            l << set->value(r, QString::fromLatin1(field)).toString();
        return l;
    }

    AppHome home;
    FakePrompts prompts;
    TdmMain dm;
    std::unique_ptr<TempDatabase> t;
    QStringList printed;
};

class WorkerTest : public WorkerBase
{
protected:
    void SetUp() override
    {
        WorkerBase::SetUp();
        w = std::make_unique<TfrmYuangong>();
        QObject::connect(w.get(), &ModuleFrame::folderChosen, [this](const QString &p) { folders << p; });
        w->resize(792, 580);
        w->show();
        w->open();
        set = w->dataset();
    }
    void TearDown() override
    {
        w.reset();
        WorkerBase::TearDown();
    }
    QLineEdit *edit(const char *field) { return w->edit(QString::fromLatin1(field)); }
    void type(const char *field, const QString &text) { WorkerBase::type(edit(field), text); }

    std::unique_ptr<TfrmYuangong> w;
    Dataset *set = nullptr;
    QStringList folders;
};

TEST_P(WorkerTest, SaveChecksCodeThenNameAndLogsUnderTheWindowsOwnName)
{
    EXPECT_EQ(folders.last(), home.path("Files/Yuangong/"));
    w->listNew();
    EXPECT_EQ(lastLog(), "内部管理-员工资料-新增");
    EXPECT_TRUE(w->showingDetail());
    EXPECT_EQ(w->focusWidget(), edit("YuangongID"));
    EXPECT_FALSE(w->photo()->hasPicture());
    w->detailSave();
    EXPECT_EQ(prompts.last(), "请输入员工代码！");
    EXPECT_EQ(lastLog(), "内部管理-员工档案-保存");
    type("YuangongID", "Y010");
    w->detailSave();
    EXPECT_EQ(prompts.last(), "请输入员工姓名！");
    EXPECT_EQ(w->focusWidget(), edit("Name"));
    type("Name", "刘梅");
    // The columns no old screen could type.
    type("JTelephone", "010-1234");
    type("Jieshao", "老刘");
    w->detailSave();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblYuangong WHERE YuangongID = 'Y010' AND JTelephone = '010-1234' "
                    "AND Jieshao = '老刘'"),
              1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblLog WHERE Operate = '内部管理-员工档案-保存'"), 3);
    EXPECT_EQ(folders.last(), home.path("Files/Yuangong/"));
}

TEST_P(WorkerTest, StatusSaveChecksFirstWritesNoLogAndFilesTheWorkerInItsOwnFolder)
{
    w->listNew();
    const int logs = count("SELECT COUNT(*) FROM tblLog");
    w->BtnStateSaveClick();
    EXPECT_EQ(prompts.last(), "请输入员工代码！");
    type("YuangongID", "../Y011");
    w->BtnStateSaveClick();
    EXPECT_EQ(prompts.last(), "请输入员工姓名！");
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblYuangong"), 3);
    type("Name", "周敏");
    w->BtnStateSaveClick();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblLog"), logs);
    // A code with a path in it stays one folder inside the workers' folder.
    const QString folder = stored("SELECT FilePath FROM tblYuangong WHERE YuangongID = '../Y011'");
    EXPECT_TRUE(folder.startsWith(home.path("Files/Yuangong/"))) << folder.toStdString();
    EXPECT_EQ(QDir(folder).dirName().contains('/'), false);
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_EQ(QFileInfo(QDir::cleanPath(folder)).dir().path(), QDir::cleanPath(home.path("Files/Yuangong")));
    // Its "修改" puts the worker into editing with the focus on the entry date.
    w->BtnStateEditClick();
    EXPECT_EQ(set->state(), Dataset::State::Edit);
    QWidget *in = w->stateForm()->widget("InTime");
    EXPECT_TRUE(w->focusWidget() == in || in->isAncestorOf(w->focusWidget()));
}

TEST_P(WorkerTest, DeletingAsksTheWindowsQuestionAndLeavesTheFolder)
{
    ASSERT_TRUE(set->locate("YuangongID", "Y002"));
    emit w->grid()->rowClicked(set->currentRow());
    EXPECT_EQ(folders.last(), home.path("Files/Yuangong/Y002/"));
    prompts.answers = {false};
    w->deleteRecord();
    EXPECT_EQ(prompts.last(), "您真的要删除该员工档案吗？");
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblYuangong"), 3);
    prompts.answers = {true};
    w->deleteRecord();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblYuangong WHERE YuangongID = 'Y002'"), 0);
    EXPECT_TRUE(QDir(home.path("Files/Yuangong/Y002")).exists());

    // An empty list: nothing asked, nothing deleted.
    set->setFilter(Condition::equals("YuangongID", "nobody"));
    ASSERT_TRUE(set->refresh());
    prompts.clear();
    w->deleteRecord();
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_P(WorkerTest, TheSearchBindsTrimmedTextAndHoldsUntilAllWorkers)
{
    struct Case {
        const char *criterion, *text, *message;
        QStringList found;
    };
    const Case cases[] = {
        {"员工编号", "", "请输入匹配的员工编号!", {}},
        {"员工姓名", "", "请输入匹配的员工姓名!", {}},
        {"称呼", "", "请输入匹配的称呼!", {}},
        {"职务", "", "请输入匹配的职务!", {}},
        {"员工姓名", " 王 ", "", {"Y001", "Y003"}},
        {"员工编号", "00", "", {"Y001", "Y002", "Y003"}},
        {"称呼", "O'H", "", {"Y003"}},
        {"职务", "' OR '1'='1", "", {}},
        {"职务", "%", "", {}}, // the character, not a wildcard
        {"职务", "_", "", {}},
        {"所有员工", "", "", {"Y001", "Y002", "Y003"}},
    };
    for (const Case &c : cases) {
        prompts.clear();
        TfrmYuangongQuery q(set);
        q.criterion()->setCurrentIndex(q.criterion()->findText(QString::fromUtf8(c.criterion)));
        q.text()->setText(QString::fromUtf8(c.text));
        q.BtnOkClick();
        if (*c.message) {
            EXPECT_EQ(prompts.last(), QString::fromUtf8(c.message)) << c.criterion;
            EXPECT_NE(q.result(), QDialog::Accepted);
            continue;
        }
        EXPECT_EQ(codes(set, "YuangongID"), c.found) << c.criterion << " " << c.text;
    }
    // A search stays in force across "刷新" and reopening the module.
    TfrmYuangongQuery q(set);
    q.criterion()->setCurrentIndex(q.criterion()->findText("职务"));
    q.text()->setText("钟点");
    q.BtnOkClick();
    w->listRefresh();
    EXPECT_EQ(codes(set, "YuangongID"), QStringList{"Y002"});
    w->open();
    EXPECT_EQ(codes(set, "YuangongID"), QStringList{"Y002"});
}

TEST_P(WorkerTest, MovingAPlacedWorkerToAnotherCustomerAsksFirst)
{
    const QString question = WorkerPlacement::question("张家");
    EXPECT_EQ(question, "该员工已在客户 张家 处受聘，确定要重新安排吗？");
    struct Case {
        const char *worker, *to;
        bool asked, answer;
        const char *kept;
    };
    const Case cases[] = {
        {"Y001", "C002", true, false, "C001"}, // No: stays with 张家
        {"Y001", "C002", true, true, "C002"},
        {"Y002", "C001", false, true, "C001"}, // placed with nobody: no question
        {"Y003", "C002", false, true, "C002"}, // the same customer
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(set->locate("YuangongID", c.worker));
        w->listModify();
        set->setValue("CustID", QString::fromLatin1(c.to));
        prompts.clear();
        prompts.answers = {c.answer};
        w->detailSave();
        EXPECT_EQ(prompts.texts().contains(question), c.asked) << c.worker;
        if (set->isEditing()) {
            EXPECT_EQ(set->value("CustID").toString(), c.kept);
            w->detailCancel();
        }
        EXPECT_EQ(stored("SELECT CustID FROM tblYuangong WHERE YuangongID = ?", {c.worker}), c.kept) << c.worker;
    }
    // Chosen in the drop-down: asked at once, and not again by "保存".
    ASSERT_TRUE(set->locate("YuangongID", "Y001"));
    w->listModify();
    auto *customers = qobject_cast<QComboBox *>(w->form()->widget("CustID"));
    ASSERT_TRUE(customers);
    const int i = customers->findText("C001");
    ASSERT_GE(i, 0);
    prompts.clear();
    prompts.answers = {true, true};
    customers->setCurrentIndex(i);
    emit customers->activated(i);
    EXPECT_EQ(prompts.texts(), QStringList{WorkerPlacement::question("李家")});
    w->detailSave();
    EXPECT_EQ(prompts.texts(), QStringList{WorkerPlacement::question("李家")});
    EXPECT_EQ(stored("SELECT CustID FROM tblYuangong WHERE YuangongID = 'Y001'"), "C001");
}

TEST_P(WorkerTest, ImplausibleNumbersAreWarnedAboutOnceAndStillStored)
{
    struct Case {
        const char *text;
        bool identity, mobile;
    };
    const Case cases[] = {
        {"11010519491231002X", true, false}, {"11010519491231002x", true, false},
        {"110105194912310021", false, false}, {"110105491231002", true, false},
        {"11010519491231002", false, false}, {"1101051949123100２X", false, false},
        {"13812345678", false, true},        {"23812345678", false, false},
        {"1381234567", false, false},        {"138-1234-567", false, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(EntryChecks::isIdentityNumber(QString::fromUtf8(c.text)), c.identity) << c.text;
        EXPECT_EQ(EntryChecks::isMobile(QString::fromUtf8(c.text)), c.mobile) << c.text;
    }

    // An old record with a short number saves without a word.
    ASSERT_TRUE(set->locate("YuangongID", "Y002"));
    w->listModify();
    type("Duty", "保洁");
    prompts.clear();
    w->detailSave();
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(stored("SELECT Duty FROM tblYuangong WHERE YuangongID = 'Y002'"), "保洁");

    // Typed wrong: warned on leaving the field, not again by "保存", stored.
    w->listModify();
    type("ID", "110105194912310021");
    emit edit("ID")->editingFinished();
    type("Mobile", "1381234567");
    prompts.clear();
    w->detailSave();
    EXPECT_EQ(prompts.texts(), QStringList{EntryChecks::kBadMobile});
    EXPECT_EQ(stored("SELECT ID FROM tblYuangong WHERE YuangongID = 'Y002'"), "110105194912310021");
    EXPECT_EQ(stored("SELECT Mobile FROM tblYuangong WHERE YuangongID = 'Y002'"), "1381234567");
}

TEST_P(WorkerTest, ThePhotoIsHeldByPathAndADiscardedChoiceLeavesIt)
{
    const QString pic = home.path("y.png");
    QImage img(20, 30, QImage::Format_RGB32);
    img.fill(Qt::blue);
    ASSERT_TRUE(img.save(pic));
    ASSERT_TRUE(set->locate("YuangongID", "Y001"));
    prompts.fileNames = {pic};
    w->PhotoClick();
    EXPECT_EQ(set->state(), Dataset::State::Edit);
    EXPECT_TRUE(w->photo()->hasPicture());
    w->detailCancel();
    EXPECT_FALSE(w->photo()->hasPicture());
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblYuangong WHERE Photo IS NOT NULL"), 0);
    prompts.fileNames = {pic};
    w->PhotoClick();
    w->detailSave();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblYuangong WHERE Photo = ?", {pic}), 1);
    QFile::remove(pic);
    set->refresh();
    ASSERT_TRUE(set->locate("YuangongID", "Y001"));
    EXPECT_FALSE(w->photo()->hasPicture()); // gone: empty, no message
    for (const auto &shown : prompts.shown)
        EXPECT_NE(shown.kind, "warn") << shown.text.toStdString();
}

TEST_P(WorkerTest, TheSubPagesShowTheWorkersCustomerAndUnit)
{
    ASSERT_TRUE(set->locate("YuangongID", "Y001"));
    w->listModify();
    QTabWidget *tabs = w->subPages();
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i)
        titles << tabs->tabText(i);
    EXPECT_EQ(titles, (QStringList{"员工状态信息", "受聘客户信息", "输送单位信息"}));
    tabs->setCurrentIndex(1);
    EXPECT_EQ(qobject_cast<QLineEdit *>(w->customerView()->widget("CustName"))->text(), "张家");
    tabs->setCurrentIndex(2);
    EXPECT_EQ(qobject_cast<QLineEdit *>(w->unitView()->widget("ShusongName"))->text(), "阳光劳务");
    EXPECT_EQ(qobject_cast<QLineEdit *>(w->unitView()->widget("Manager"))->text(), "王经理");
    // The unit chosen in the drop-down is shown at once.
    set->setValue("ShusongID", "S2");
    EXPECT_EQ(qobject_cast<QLineEdit *>(w->unitView()->widget("ShusongName"))->text(), "长城劳务");
    w->detailCancel();
    // The list shows the looked-up names, whatever the customer window's
    // own search left on its set.
    EXPECT_EQ(set->value("GongzhongName").toString(), "保姆");
    Dataset *searched = dm.dataset("tblCustomers");
    searched->setFilter(Condition::equals("CustId", "C002"));
    ASSERT_TRUE(searched->open());
    EXPECT_EQ(set->value("CustName").toString(), "张家");
}

TEST_P(WorkerTest, BothTabsPrintTheWorkerList)
{
    w->listPrint();
    w->detailPrint();
    EXPECT_EQ(printed, (QStringList{"frYuangong:tblYuangong", "frYuangong:tblYuangong"}));
    EXPECT_EQ(lastLog(), "内部管理-员工资料-打印");
}

TEST_P(WorkerTest, TheTemplatesRenderTheirSets)
{
    qputenv("BREVIA_HOME", QByteArray(BREVIA_SOURCE_DIR));
    ASSERT_TRUE(dm.dataset("tblCustomers")->open());
    ASSERT_TRUE(dm.dataset("tblCustomers")->locate("CustId", "C001"));
    ASSERT_TRUE(dm.dataset("tblShusong")->open());
    const std::pair<const char *, const char *> reports[] = {{"frYuangong", "tblYuangong"},
                                                             {"frCustomerYuangong", "tblYuangong1"},
                                                             {"frShusong", "tblShusong"},
                                                             {"frShusongYJ", "tblShusongYJ"}};
    for (const auto &[name, source] : reports) {
        Dataset *data = dm.dataset(source);
        ASSERT_TRUE(data->isActive() || data->open()) << source;
        PreparedReport report;
        QString error;
        EXPECT_TRUE(prepareReport(data, name, &report, &error)) << name << error.toStdString();
        EXPECT_GE(report.pages.size(), 1) << name;
        EXPECT_TRUE(report.warnings.isEmpty()) << name << report.warnings.join(",").toStdString();
    }
    qputenv("BREVIA_HOME", home.dir.path().toLocal8Bit());
}

// The worker dialog of the customer window's "受聘员工" page.
class WorkerDialogTest : public WorkerBase
{
protected:
    void SetUp() override
    {
        WorkerBase::SetUp();
        TfrmYuangongNew1::install();
        customers = std::make_unique<TfrmCustomers>();
        customers->resize(792, 580);
        customers->show();
        customers->open();
        ASSERT_TRUE(customers->dataset()->locate("CustId", "C001"));
    }
    void TearDown() override
    {
        customers.reset();
        RecordDialogs::install("tblYuangong", {});
        WorkerBase::TearDown();
    }
    SubPage *page() { return customers->subPage("tblYuangong1"); }
    void withDialog(QAction *command, std::function<void(TfrmYuangongNew1 &)> act)
    {
        Modal::withDialog<TfrmYuangongNew1>(prompts, command, act);
    }

    std::unique_ptr<TfrmCustomers> customers;
};

TEST_P(WorkerDialogTest, AWorkerAddedInTheCustomerWindowIsPlacedThereAndListedInTheWorkerWindow)
{
    EXPECT_EQ(codes(page()->dataset(), "YuangongID"), QStringList{"Y001"});
    withDialog(page()->command("New"), [&](TfrmYuangongNew1 &dlg) {
        EXPECT_EQ(dlg.windowTitle(), "员工资料");
        EXPECT_EQ(dlg.focusWidget(), dlg.edit("YuangongID"));
        EXPECT_TRUE(dlg.edit("CustID")->isReadOnly());
        EXPECT_EQ(dlg.edit("CustID")->text(), "C001");
        prompts.clear();
        dlg.BtnSaveClick();
        EXPECT_EQ(prompts.texts(), QStringList{"请输入员工代码！"});
        type(dlg.edit("YuangongID"), "Y020");
        dlg.BtnSaveClick();
        EXPECT_EQ(prompts.last(), "请输入员工姓名！");
        EXPECT_EQ(dlg.focusWidget(), dlg.edit("Name"));
        type(dlg.edit("Name"), "孙丽");
        dlg.BtnSaveClick();
        dlg.BtnPrintClick();
        EXPECT_EQ(lastLog(), "客户业务管理-客户资料-员工资料-打印");
    });
    EXPECT_EQ(printed, QStringList{"frCustomerYuangong:tblYuangong1"});
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblYuangong WHERE YuangongID = 'Y020' AND CustID = 'C001'"), 1);
    EXPECT_EQ(codes(page()->dataset(), "YuangongID"), (QStringList{"Y001", "Y020"}));
    TfrmYuangong workers;
    workers.open();
    EXPECT_TRUE(codes(workers.dataset(), "YuangongID").contains("Y020"));
    ASSERT_TRUE(workers.dataset()->locate("YuangongID", "Y020"));
    EXPECT_EQ(workers.dataset()->value("CustID").toString(), "C001");
}

TEST_P(WorkerDialogTest, ClosingAsksAndDeletingUsesTheDialogsQuestion)
{
    Dataset *placed = page()->dataset();
    ASSERT_TRUE(placed->locate("YuangongID", "Y001"));
    withDialog(page()->command("Modify"), [&](TfrmYuangongNew1 &dlg) {
        type(dlg.edit("YuangongID"), "");
        prompts.clear();
        prompts.answers = {true};
        dlg.BtnCloseClick();
        EXPECT_EQ(prompts.texts(), (QStringList{TfrmYuangongNew1::kCloseQuestion, "请输入员工代码！"}));
        EXPECT_TRUE(dlg.isVisible());
        prompts.answers = {false};
        dlg.BtnCloseClick();
        EXPECT_FALSE(dlg.isVisible());
    });
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblYuangong WHERE YuangongID = 'Y001'"), 1);
    withDialog(page()->command("Modify"), [&](TfrmYuangongNew1 &dlg) {
        prompts.answers = {true};
        dlg.BtnDeleteClick();
        EXPECT_EQ(prompts.last(), "您真的要删除该员工资料吗？");
    });
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblYuangong WHERE YuangongID = 'Y001'"), 0);
}

class UnitTest : public WorkerBase
{
protected:
    void SetUp() override
    {
        WorkerBase::SetUp();
        TfrmShusongYJ::install();
        w = std::make_unique<TfrmShusong>();
        QObject::connect(w.get(), &ModuleFrame::folderChosen, [this](const QString &p) { folders << p; });
        w->resize(792, 580);
        w->show();
        w->open();
        set = w->dataset();
        settlements = dm.dataset("tblShusongYJ");
    }
    void TearDown() override
    {
        w.reset();
        RecordDialogs::install("tblShusongYJ", {});
        WorkerBase::TearDown();
    }
    SubPage *page() { return w->subPage("tblShusongYJ"); }
    void withDialog(QAction *command, std::function<void(TfrmShusongYJ &)> act)
    {
        Modal::withDialog<TfrmShusongYJ>(prompts, command, act);
    }
    static QLineEdit *field(TfrmShusongYJ &dlg, const char *name)
    {
        return qobject_cast<QLineEdit *>(dlg.form()->widget(QString::fromLatin1(name)));
    }

    std::unique_ptr<TfrmShusong> w;
    Dataset *set = nullptr;
    Dataset *settlements = nullptr;
    QStringList folders;
};

// The detail pages go through the records as the clerks know from the
// other record windows; the folder and the unit's settlements follow.
TEST_P(WorkerTest, TheDetailPageHasTheRecordNavigator)
{
    w->showDetail();
    ASSERT_TRUE(set->first());
    for (const char *name : {"NavFirst", "NavPrior", "NavNext", "NavLast"}) {
        QAction *a = w->command(QString::fromLatin1(name));
        ASSERT_TRUE(a) << name;
        EXPECT_TRUE(a->isEnabled()) << name;
        QWidget *b = w->detailPage()->findChild<QToolBar *>()->widgetForAction(a);
        ASSERT_TRUE(b) << name;
        EXPECT_TRUE(b->isVisible()) << name;
        EXPECT_TRUE(w->rect().contains(QRect(b->mapTo(w.get(), QPoint()), b->size()))) << name;
    }
    const QString first = set->value("YuangongID").toString();
    w->command("NavNext")->trigger();
    EXPECT_NE(set->value("YuangongID").toString(), first);
    EXPECT_TRUE(folders.last().endsWith(set->value("YuangongID").toString() + "/")) << folders.last().toStdString();
    w->command("NavLast")->trigger();
    EXPECT_EQ(set->currentRow(), set->rowCount() - 1);
}

TEST_P(UnitTest, TheDetailPageHasTheRecordNavigatorAndTheSettlementsFollow)
{
    w->showDetail();
    ASSERT_TRUE(set->locate("ShusongID", "S1"));
    EXPECT_EQ(settlements->rowCount(), 1);
    QAction *next = w->command("NavNext");
    ASSERT_TRUE(next);
    EXPECT_TRUE(w->detailPage()->findChild<QToolBar *>()->widgetForAction(next)->isVisible());
    next->trigger();
    EXPECT_EQ(set->value("ShusongID").toString(), "S2");
    EXPECT_EQ(settlements->rowCount(), 0);
    w->command("NavFirst")->trigger();
    EXPECT_EQ(set->value("ShusongID").toString(), "S1");
    EXPECT_EQ(settlements->rowCount(), 1);
}

// The unit's detail bar reads "查询" before "打印", and its "查询" (as the
// worker window's) is there for a user without the Query flag.
TEST_P(UnitTest, TheDetailBarOrderAndItsSearchForEveryone)
{
    w->showDetail();
    QStringList captions;
    for (QAction *a : w->detailPage()->findChild<QToolBar *>()->actions())
        if (a->isVisible() && !a->isSeparator() && !a->objectName().startsWith("Nav"))
            captions << a->text();
    EXPECT_EQ(captions, (QStringList{"新增", "保存", "删除", "查询", "打印", "放弃"}));
    Session::current().logIn("clerk", false);
    ASSERT_EQ(UserRights::current().load(t->db(), "clerk"), "");
    for (ModuleFrame *frame : {static_cast<ModuleFrame *>(w.get()), static_cast<ModuleFrame *>(new TfrmYuangong)}) {
        std::unique_ptr<ModuleFrame> owned(frame == w.get() ? nullptr : frame);
        frame->updateCommands();
        EXPECT_FALSE(frame->command("ListQuery")->isEnabled()) << frame->objectName().toStdString();
        EXPECT_TRUE(frame->command("DetailQuery")->isEnabled()) << frame->objectName().toStdString();
    }
}

TEST_P(UnitTest, SaveChecksCodeThenNameAndFilesEveryUnitInOneFolder)
{
    EXPECT_EQ(folders.last(), home.path("Files/Shusong/"));
    w->listNew();
    w->detailSave();
    EXPECT_EQ(prompts.last(), "请输入输送单位编号！");
    type(w->edit("ShusongID"), "S3");
    w->detailSave();
    EXPECT_EQ(prompts.last(), "请输入输送单位名称！");
    EXPECT_EQ(w->focusWidget(), w->edit("ShusongName"));
    type(w->edit("ShusongName"), "东方劳务");
    w->detailSave();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblShusong WHERE ShusongID = 'S3'"), 1);
    EXPECT_EQ(lastLog(), "内部管理-输送单位-保存");
    EXPECT_EQ(folders.last(), home.path("Files/Shusong/"));
    // The worker windows' drop-down offers it at once.
    EXPECT_TRUE(codes(dm.dataset("tblShusong1"), "ShusongID").contains("S3"));
}

TEST_P(UnitTest, ASettlementHoldsItsUnitWorkersDoNot)
{
    ASSERT_TRUE(set->locate("ShusongID", "S1"));
    w->deleteRecord();
    EXPECT_EQ(prompts.last(), "对不起，该输送单位包括佣金结算信息，不能删除！");
    // Nor may its code change under the settlements.
    w->listModify();
    type(w->edit("ShusongID"), "S9");
    w->detailSave();
    EXPECT_EQ(prompts.last(), ModuleFrame::kCodeInUse);
    w->detailCancel();
    // The sub-page's own question, then the unit goes; its worker keeps the code.
    ASSERT_EQ(codes(settlements, "sNo"), QStringList{"1"});
    prompts.answers = {true};
    page()->runDelete();
    EXPECT_EQ(prompts.last(), "您真的要删除该佣金结算资料吗？");
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblShusongYJ"), 0);
    prompts.answers = {true};
    w->deleteRecord();
    EXPECT_EQ(prompts.last(), "您真的要删除该输送单位档案吗？");
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblShusong WHERE ShusongID = 'S1'"), 0);
    EXPECT_EQ(stored("SELECT ShusongID FROM tblYuangong WHERE YuangongID = 'Y001'"), "S1");
    // No report of its own: the page offers no "打印".
    EXPECT_FALSE(page()->command("Print")->isVisible());
}

TEST_P(UnitTest, SettlementsFollowTheirUnitAndTheDialogChecksInOrder)
{
    ASSERT_TRUE(set->locate("ShusongID", "S2"));
    EXPECT_TRUE(codes(settlements, "sNo").isEmpty());
    withDialog(page()->command("New"), [&](TfrmShusongYJ &dlg) {
        EXPECT_EQ(dlg.windowTitle(), "佣金结算");
        EXPECT_EQ(dlg.focusWidget(), field(dlg, "sNo"));
        // Not a whole number: the field takes none of it.
        QLineEdit *number = field(dlg, "sNo");
        QString half = QStringLiteral("1.5");
        int at = 0;
        EXPECT_NE(number->validator()->validate(half, at), QValidator::Acceptable);
        prompts.clear();
        dlg.BtnSaveClick();
        EXPECT_EQ(prompts.last(), "请输入子项编号！");
        type(number, "7");
        dlg.BtnSaveClick();
        EXPECT_EQ(prompts.last(), "请选择输入结算日期！");
        settlements->setValue("JDate", QDate(2024, 3, 1));
        prompts.clear();
        prompts.answers = {true};
        dlg.BtnCloseClick();
        EXPECT_EQ(prompts.texts(), (QStringList{TfrmShusongYJ::kCloseQuestion, "请输入经办人！"}));
        EXPECT_TRUE(dlg.isVisible());
        type(field(dlg, "Jingban"), "钱");
        dlg.BtnSaveClick();
    });
    // No amounts: stored empty, under unit S2.
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblShusongYJ WHERE ShusongID = 'S2' AND sNo = 7 AND Jieshao IS NULL "
                    "AND Qita IS NULL"),
              1);
    EXPECT_EQ(codes(settlements, "sNo"), QStringList{"7"});
    ASSERT_TRUE(set->locate("ShusongID", "S1"));
    EXPECT_EQ(codes(settlements, "sNo"), QStringList{"1"});
    withDialog(page()->command("Modify"), [&](TfrmShusongYJ &dlg) {
        prompts.answers = {true};
        dlg.BtnDeleteClick();
        EXPECT_EQ(prompts.last(), "您真的要删除该佣金结算记录吗？");
    });
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblShusongYJ WHERE ShusongID = 'S1'"), 0);
    // The detail page prints the unit's settlements.
    w->detailPrint();
    EXPECT_EQ(printed, QStringList{"frShusongYJ:tblShusongYJ"});
}

TEST_P(UnitTest, TheSearchTrimsAndANarrowedListLeavesNoSettlements)
{
    const char *const messages[] = {"请输入匹配的输送单位编号!", "请输入匹配的单位名称!", "请输入匹配的负责人!",
                                    "请输入匹配的身份证号码!",   "请输入匹配的电话号码!", "请输入匹配的传真号码!",
                                    "请输入匹配的手机号码!",     "请输入匹配的主页!",     "请输入匹配的Email地址!"};
    TfrmShusongQuery q(set);
    ASSERT_EQ(q.criterion()->count(), 10);
    EXPECT_EQ(q.criterion()->currentText(), "所有输送单位");
    EXPECT_FALSE(q.text()->isEnabled());
    for (int i = 1; i < 10; ++i) {
        q.criterion()->setCurrentIndex(i);
        q.BtnOkClick();
        EXPECT_EQ(prompts.last(), QString::fromUtf8(messages[i - 1])) << i;
    }
    q.criterion()->setCurrentIndex(q.criterion()->findText("负责人"));
    q.text()->setText("  李经理 ");
    q.BtnOkClick();
    EXPECT_EQ(codes(set, "ShusongID"), QStringList{"S2"});
    q.criterion()->setCurrentIndex(q.criterion()->findText("单位名称"));
    q.text()->setText("没有这家");
    q.BtnOkClick();
    EXPECT_TRUE(codes(set, "ShusongID").isEmpty());
    EXPECT_TRUE(codes(settlements, "sNo").isEmpty());
    q.criterion()->setCurrentIndex(0);
    q.BtnOkClick();
    EXPECT_EQ(codes(set, "ShusongID"), (QStringList{"S1", "S2"}));
}

INSTANTIATE_TEST_SUITE_P(Engines, WorkerTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });
INSTANTIATE_TEST_SUITE_P(Engines, WorkerDialogTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });
INSTANTIATE_TEST_SUITE_P(Engines, UnitTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
