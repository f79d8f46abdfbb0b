// The pieces windows are read off: forms, the enabling rules of record
// dialogs and sub-pages, the one search dialog, and table rules holding on
// every path a row takes.
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/schema.h"
#include "data/session.h"
#include "data/tablerules.h"
#include "rules/businessrules.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"
#include "ui/datagrid.h"
#include "ui/gridmodel.h"
#include "ui/fieldbinder.h"
#include "ui/form.h"
#include "ui/moduleframe.h"
#include "ui/photobox.h"
#include "ui/querydialog.h"
#include "ui/recordcommands.h"
#include "ui/recorddialog.h"
#include "ui/recordnavigator.h"
#include "ui/recordview.h"
#include "ui/subpage.h"
#include "ui/windowcommand.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHeaderView>
#include <QToolBar>
#include <QTreeView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>

#include <algorithm>
#include <memory>

namespace {

using S = Dataset::State;

TEST(RecordDialogButtons, FollowStateAndFlags)
{
    const UserRights::Ops all{true, true, true, true, true};
    const UserRights::Ops lookOnly{false, false, false, true, true};
    const UserRights::Ops insertOnly{true, false, false, false, false};
    struct Case {
        const char *name;
        S state;
        UserRights::Ops ops;
        RecordButtonStates expected; // new, save, delete
    };
    const Case cases[] = {
        {"browsing, all", S::Browse, all, {true, false, true}},
        {"new row, all", S::Insert, all, {false, true, true}},
        {"editing, all", S::Edit, all, {true, true, true}},
        {"browsing, may only look", S::Browse, lookOnly, {false, false, false}},
        {"new row, insert only", S::Insert, insertOnly, {false, true, false}},
        // A stored row is stored only by a holder of the Modify flag.
        {"editing, insert only", S::Edit, insertOnly, {true, false, false}},
        {"closed set", S::Inactive, all, {false, false, false}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(recordButtonStates(c.state, c.ops), c.expected) << c.name;
    // Dialogs for lines keyed one after another keep "新增" on with a new
    // row in hand, for whoever may add.
    EXPECT_TRUE(recordButtonStates(S::Insert, all, true).newRecord);
    EXPECT_TRUE(recordButtonStates(S::Insert, insertOnly, true).newRecord);
    EXPECT_FALSE(recordButtonStates(S::Insert, lookOnly, true).newRecord);
    EXPECT_FALSE(recordButtonStates(S::Inactive, all, true).newRecord);
}

TEST(SubPageCommands, NeedAStoredRecordTheFlagsAndADialog)
{
    const UserRights::Ops all{true, true, true, true, true};
    const UserRights::Ops none{false, false, false, false, false};
    struct Case {
        const char *name;
        bool stored;
        S detail;
        bool formPage, dialog;
        UserRights::Ops ops;
        SubCommandStates expected; // new, modify, save, delete, refresh, print
    };
    const Case cases[] = {
        {"grid, stored record, dialog", true, S::Browse, false, true, all, {true, true, false, true, true, true}},
        {"grid, no dialog yet", true, S::Browse, false, false, all, {false, false, false, true, true, true}},
        {"grid, record being typed", false, S::Browse, false, true, all, {false, false, false, true, true, true}},
        {"grid, no flags", true, S::Browse, false, true, none, {false, false, false, false, true, false}},
        {"form, browsing", true, S::Browse, true, false, all, {false, true, false, true, true, true}},
        {"form, editing", true, S::Edit, true, false, all, {false, true, true, true, true, true}},
        {"form, record being typed", false, S::Insert, true, false, all, {false, false, true, true, true, true}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(subCommandStates(c.stored, c.detail, c.formPage, c.dialog, c.ops), c.expected) << c.name;
}

class WindowCentreTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Database &db = t->db();
        ASSERT_EQ(db.insertRow("tblDepartment", {{"DepartmentID", "D1"}, {"DepartmentName", "家政部"}, {"Memo", "-"}}), "");
        ASSERT_EQ(db.insertRow("tblOperaters", {{"OperaterID", "A01"}, {"Name", "张三"}, {"DepartmentID", "D1"}}), "");
        ASSERT_EQ(db.insertRow("tblOperaters", {{"OperaterID", "A02"}, {"Name", "李四"}, {"DepartmentID", "GONE"}}), "");
        ASSERT_EQ(db.insertRow("tblOperaters", {{"OperaterID", "A03"}, {"Name", "王五"}}), "");
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
        Session::current().logIn("Admin", true);
        installBusinessRules(dm);
        set = dm.dataset("tblOperaters");
        set->setOrderBy({"OperaterID"});
        ASSERT_TRUE(set->open());
    }
    void TearDown() override
    {
        UserRights::current().clear();
        Session::current().reset();
    }
    int count(const QString &sql) { return Stored::count(t->db(), sql); }

    AppHome home;
    FakePrompts prompts;
    TdmMain dm;
    std::unique_ptr<TempDatabase> t;
    Dataset *set = nullptr;
};

TEST_P(WindowCentreTest, AFormIsLaidOutBoundAndCheckedInScreenOrder)
{
    QWidget area;
    FieldBinder binder(set);
    using namespace Field;
    const FormSpec rows = {
        {"OperaterID", "代码：", line(), opts().withButton("BtnCheck", "查重").withNote("（唯一）")},
        {"Name", "姓名：", line()},
        {"DepartmentID", "部门：", dictionary("tblDepartment", "DepartmentID", "DepartmentName")},
        {"Birth", "生日：", date()},
        {"Photo", "照片：", photo(), opts().outOfEnterOrder()},
        {"Address", "住址：", mask("99-99;_")},
        {"Memo", "备注：", memo(), opts().wide(2).onNewLine()},
    };
    Form form(rows, &binder, &area);

    // Enter goes down the screen; the photo is left out as asked.
    QStringList order;
    for (QWidget *w : form.enterOrder())
        order << w->objectName();
    EXPECT_EQ(order, (QStringList{"Edit_OperaterID", "Edit_Name", "Edit_DepartmentID", "Edit_Birth", "Edit_Address",
                                  "Edit_Memo"}));
    // Each label names its field for assistive tools and is its buddy.
    for (const FormRow &row : rows) {
        QWidget *w = form.widget(row.field);
        ASSERT_TRUE(w) << row.field.toStdString();
        EXPECT_EQ(w->accessibleName(), row.label);
        bool buddied = false;
        for (QLabel *l : area.findChildren<QLabel *>())
            buddied = buddied || l->buddy() == w;
        EXPECT_TRUE(buddied) << row.field.toStdString();
    }
    ASSERT_TRUE(form.button("BtnCheck"));
    EXPECT_EQ(form.button("BtnCheck")->accessibleName(), "查重");
    // The memo begins a line of its own and spans both pairs.
    int row, column, rowSpan, columnSpan;
    form.grid()->getItemPosition(form.grid()->indexOf(form.widget("Memo")), &row, &column, &rowSpan, &columnSpan);
    EXPECT_EQ(column, 1);
    EXPECT_EQ(columnSpan, 3);

    // The required fields are checked in screen order, not in the order
    // the rules list them; a code whose dictionary row is gone is empty.
    const QVector<RequiredField> required = {{"DepartmentID", "请选择部门！"}, {"Name", "请输入姓名！"}};
    QWidget *focused = nullptr;
    auto focus = [&](QWidget *w) { focused = w; };
    ASSERT_TRUE(set->locate("OperaterID", "A02"));
    EXPECT_FALSE(form.checkRequired(required, focus));
    EXPECT_EQ(prompts.last(), "请选择部门！");
    EXPECT_EQ(focused, form.widget("DepartmentID"));
    ASSERT_TRUE(set->locate("OperaterID", "A01"));
    EXPECT_TRUE(form.checkRequired(required, focus));
    set->setValue("Name", QVariant());
    EXPECT_FALSE(form.checkRequired(required, focus));
    EXPECT_EQ(prompts.last(), "请输入姓名！");
    EXPECT_EQ(focused, form.widget("Name"));
    set->cancel();

    // A mask left wholly blank is no value; a digit typed keeps the text.
    auto *masked = qobject_cast<QLineEdit *>(form.widget("Address"));
    masked->setText("12");
    EXPECT_EQ(set->value("Address").toString(), "12-");
    masked->setText("");
    EXPECT_TRUE(set->value("Address").isNull());
    set->cancel();

    // The photo binds like any field: a click chooses, the row takes it.
    const QString pic = home.path("p.png");
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::blue);
    ASSERT_TRUE(img.save(pic));
    auto *photo = qobject_cast<PhotoBox *>(form.widget("Photo"));
    prompts.fileNames = {pic};
    emit photo->clicked();
    EXPECT_EQ(set->state(), S::Edit);
    EXPECT_EQ(set->value("Photo").toString(), pic);
    EXPECT_TRUE(photo->hasPicture());
    set->cancel();
    EXPECT_FALSE(photo->hasPicture());
}

TEST_P(WindowCentreTest, TheSearchDialogStaysOpenWhenItsSetCannotBeRead)
{
    QString failure;
    Condition applied;
    QueryDialogDesc desc;
    desc.className = "TfrmTest";
    desc.caption = "查询";
    desc.criteria = {{"全部"}, {"姓名", "Name", "请输入匹配的姓名!"}};
    QueryDialog q(desc,
                  [&](const Condition &c) {
                      applied = c;
                      return failure;
                  });
    q.show();
    EXPECT_FALSE(q.text()->isEnabled());
    q.criterion()->setCurrentIndex(1);
    EXPECT_TRUE(q.text()->isEnabled());
    q.BtnOkClick();
    EXPECT_EQ(prompts.last(), "请输入匹配的姓名!");
    EXPECT_TRUE(q.isVisible());
    q.text()->setText(" 张' ");
    failure = "数据库错误：连接已断开";
    q.BtnOkClick();
    EXPECT_EQ(prompts.last(), failure);
    EXPECT_TRUE(q.isVisible()); // a failed search is no result
    EXPECT_EQ(applied, Condition::contains("Name", "张'"));
    failure.clear();
    q.BtnOkClick();
    EXPECT_EQ(q.result(), QDialog::Accepted);
}

TEST_P(WindowCentreTest, TableRulesHoldOnEveryPathAndNameTheirField)
{
    ASSERT_EQ(t->db().insertRow("tblCustomers", {{"CustId", "C1"}, {"CustName", "张家"}, {"OperaterID", "A01"}}), "");
    ASSERT_EQ(t->db().insertRow("tblOperates", {{"OperateID", "H1"}, {"OperaterID", "A03"}}), "");
    // Installing again adds no second hook.
    installBusinessRules(dm);
    const TableRules *rules = dm.rules("TBLOPERATERS");
    ASSERT_TRUE(rules);

    struct Case {
        const char *code;
        const char *deleteRefusal; // empty: may go
        bool codeInUse;
    };
    // A customer naming a member does not hold a delete, a contract does;
    // either holds a change of the code.
    for (const Case &c : {Case{"A01", "", true}, Case{"A03", "对不起，该业务员存在业务资料信息，不能删除！", true},
                          Case{"A02", "", false}}) {
        EXPECT_EQ(rules->deleteRefusal(t->db(), c.code), QString::fromUtf8(c.deleteRefusal)) << c.code;
        QString error;
        EXPECT_EQ(rules->codeInUse(t->db(), c.code, &error), c.codeInUse) << c.code;
    }

    // Renaming a named member is refused however the row is stored: here
    // by moving to another row, with the field named for the cursor.
    ASSERT_TRUE(set->locate("OperaterID", "A01"));
    set->setValue("OperaterID", "A01X");
    EXPECT_FALSE(set->next());
    EXPECT_EQ(set->lastError(), kCodeInUse);
    EXPECT_EQ(set->lastErrorField().toLower(), "operaterid");
    EXPECT_EQ(set->state(), S::Edit);
    set->cancel();
    // A member nothing names may take a new code.
    ASSERT_TRUE(set->locate("OperaterID", "A02"));
    set->setValue("OperaterID", "A02X");
    EXPECT_TRUE(set->post()) << set->lastError().toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblOperaters WHERE OperaterID = 'A02X'"), 1);
}

TEST_P(WindowCentreTest, TheNavigatorMovesOneWayEverywhere)
{
    struct Case {
        const char *from;
        RecordMove move;
        const char *to;
    };
    // Past either end it stays, quietly.
    const Case cases[] = {
        {"A02", RecordMove::First, "A01"}, {"A01", RecordMove::First, "A01"}, {"A02", RecordMove::Prior, "A01"},
        {"A01", RecordMove::Prior, "A01"}, {"A02", RecordMove::Next, "A03"},  {"A03", RecordMove::Next, "A03"},
        {"A01", RecordMove::Last, "A03"},  {"A03", RecordMove::Last, "A03"},
    };
    const FormSpec form = {{"OperaterID", "代码：", Field::line()}, {"Name", "名称：", Field::line()}};
    for (const Case &c : cases) {
        ASSERT_TRUE(set->locate("OperaterID", c.from));
        EXPECT_EQ(moveRecord(set, c.move, form), QByteArray(c.from) != QByteArray(c.to)) << c.from << " " << int(c.move);
        EXPECT_EQ(set->value("OperaterID").toString(), c.to) << c.from << " " << int(c.move);
    }
    EXPECT_TRUE(prompts.shown.isEmpty());

    // A change is stored on the way, without the checks of "保存".
    ASSERT_TRUE(set->locate("OperaterID", "A02"));
    set->setValue("Name", "李四甲");
    EXPECT_TRUE(moveRecord(set, RecordMove::Next, form));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblOperaters WHERE Name = '李四甲'"), 1);
    // Also when there is nowhere to go.
    set->setValue("Name", "王五甲");
    EXPECT_FALSE(moveRecord(set, RecordMove::Next, form));
    EXPECT_EQ(set->state(), S::Browse);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblOperaters WHERE Name = '王五甲'"), 1);

    // A new row with nothing typed goes away instead of being stored empty;
    // one with something typed is stored.
    ASSERT_TRUE(set->append());
    EXPECT_TRUE(moveRecord(set, RecordMove::First, form));
    EXPECT_EQ(set->state(), S::Browse);
    EXPECT_EQ(set->rowCount(), 3);
    ASSERT_TRUE(set->append());
    set->setValue("OperaterID", "A09");
    set->setValue("Name", "新人");
    moveRecord(set, RecordMove::First, form);
    EXPECT_EQ(set->value("OperaterID").toString(), "A01");
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblOperaters WHERE OperaterID = 'A09'"), 1);

    // A refused store keeps the row in hand, says why and does not move.
    ASSERT_EQ(t->db().insertRow("tblCustomers", {{"CustId", "C1"}, {"CustName", "张家"}, {"OperaterID", "A01"}}), "");
    set->setValue("OperaterID", "A01X");
    EXPECT_FALSE(moveRecord(set, RecordMove::Last, form));
    EXPECT_EQ(prompts.last(), kCodeInUse);
    EXPECT_EQ(set->state(), S::Edit);
    EXPECT_EQ(set->currentRow(), 0);
    set->cancel();

    EXPECT_TRUE(navigatorEnabled(set));
    Dataset none(&t->db(), "Test.None", set->table());
    EXPECT_FALSE(navigatorEnabled(&none)); // closed
    none.setFilter(Condition::equals("OperaterID", "nobody"));
    ASSERT_TRUE(none.open());
    EXPECT_FALSE(navigatorEnabled(&none)); // nothing to move among
    EXPECT_FALSE(moveRecord(&none, RecordMove::Next, form));
}

TEST_P(WindowCentreTest, ARecordInHandIsSettledBeforeAWindowCloses)
{
    struct Case {
        const char *name;
        bool inHand, answer, checksPass;
        bool closes, asked;
        const char *storedName; // the name in the database afterwards
    };
    const Case cases[] = {
        {"nothing in hand", false, true, true, true, false, "张三"},
        {"No gives it up", true, false, true, true, true, "张三"},
        {"Yes but a check fails", true, true, false, false, true, "张三"},
        {"Yes stores it", true, true, true, true, true, "张三改"},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(set->locate("OperaterID", "A01"));
        if (c.inHand)
            set->setValue("Name", "张三改");
        prompts.clear();
        prompts.answers = {c.answer};
        const bool closes = settleRecordInHand(set, "改动尚未保存，保存吗？", [&] { return c.checksPass; });
        EXPECT_EQ(closes, c.closes) << c.name;
        EXPECT_EQ(prompts.shown.size(), c.asked ? 1 : 0) << c.name;
        if (c.asked) {
            EXPECT_EQ(prompts.shown.first().text, "改动尚未保存，保存吗？") << c.name;
        }
        EXPECT_EQ(set->isEditing(), !c.closes) << c.name;
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblOperaters WHERE OperaterID = 'A01' AND Name = '%1'")
                            .arg(QString::fromUtf8(c.storedName))),
                  1)
            << c.name;
        set->cancel();
    }
}

TEST_P(WindowCentreTest, AModuleWindowBuildsItsOwnCommandsColumnsAndNavigatorFromItsDescription)
{
    ASSERT_EQ(t->db().insertRow("tblUserRight", {{"UserID", "clerk"}, {"RightID", "303"}, {"Insert", true},
                                                 {"Modify", true}, {"Delete", true}, {"Query", true}, {"Print", true}}),
              "");
    ASSERT_EQ(t->db().insertRow("tblUserRight", {{"UserID", "clerk"}, {"RightID", "304"}, {"Insert", true},
                                                 {"Modify", true}, {"Delete", true}, {"Query", true}, {"Print", false}}),
              "");
    Session::current().reset();
    Session::current().logIn("clerk", false);
    ASSERT_EQ(UserRights::current().load(t->db(), "clerk"), "");

    QWidget *ranOn = nullptr;
    ModuleDesc d;
    d.className = "TestFrame";
    d.caption = "工作人员资料";
    d.listPage = "列表";
    d.detailPage = "详细";
    d.dataset = "tblOperaters";
    d.keyField = "OperaterID";
    d.rightCode = "303";
    d.logPrefix = "测试";
    d.columns = {{"OperaterID", "代码"}, {"Name", "姓名"}, {"Sex", "性别"}};
    d.form = {{"OperaterID", "代码：", Field::line()}, {"Name", "姓名：", Field::line()}};
    d.hiddenColumns = {"name"};
    d.hiddenCommands = {"DetailCancel"};
    d.navigator = true;
    WindowCommand listed{"ListExtra", "导出", WindowCommand::Place::ListBar, "ListRefresh", "Ctrl+E", {},
                         [](const CommandContext &c) { return c.hasRows; }, [&](QWidget *w) { ranOn = w; }};
    WindowCommand detail{"DetailExtra", "另印", WindowCommand::Place::DetailBar, {}, {}, "304",
                         CommandRules::printing, {}};
    d.commands = {listed, detail};
    ModuleFrame frame(d);
    frame.open();

    auto names = [](QWidget *page) {
        QStringList out;
        for (QAction *a : page->findChild<QToolBar *>()->actions())
            if (!a->isSeparator() && a->isVisible())
                out << a->objectName();
        return out;
    };
    EXPECT_EQ(names(frame.listPage()), (QStringList{"ListNew", "ListModify", "ListDelete", "ListExtra", "ListRefresh",
                                                    "ListQuery", "ListPrint"}));
    EXPECT_EQ(names(frame.detailPage()), (QStringList{"DetailNew", "DetailSave", "DetailDelete", "DetailPrint",
                                                      "DetailExtra", "NavFirst", "NavPrior", "NavNext", "NavLast"}));
    EXPECT_EQ(frame.command("ListExtra")->shortcut(), QKeySequence("Ctrl+E"));
    // Each command's rule, with the command's own right where it names one.
    EXPECT_TRUE(frame.command("ListExtra")->isEnabled());
    EXPECT_FALSE(frame.command("DetailExtra")->isEnabled()); // 304 may not print
    EXPECT_TRUE(frame.command("DetailPrint")->isEnabled());  // 303 may
    frame.command("ListExtra")->trigger();
    EXPECT_EQ(ranOn, &frame);
    set->close();
    frame.updateCommands();
    EXPECT_FALSE(frame.command("ListExtra")->isEnabled());
    EXPECT_FALSE(frame.command("NavNext")->isEnabled());
    frame.open();
    EXPECT_TRUE(frame.command("NavNext")->isEnabled());
    // The navigator moves by the one rule.
    ASSERT_TRUE(set->first());
    frame.command("NavLast")->trigger();
    EXPECT_EQ(set->value("OperaterID").toString(), "A03");

    EXPECT_TRUE(frame.grid()->view()->header()->isSectionHidden(1));
    EXPECT_FALSE(frame.grid()->view()->header()->isSectionHidden(2));
    UserRights::current().clear();
}

TEST_P(WindowCentreTest, ARecordDialogPutsItsOwnButtonsWhereItsDescriptionSays)
{
    int copies = 0;
    RecordDialogDesc d;
    d.className = "TestDialog";
    d.caption = "工作人员";
    d.dataset = "tblOperaters";
    d.rightCode = "303";
    d.closeQuestion = "工作人员资料尚未保存，保存吗？";
    d.form = {{"OperaterID", "代码：", Field::line()}, {"Name", "姓名：", Field::line()}};
    d.navigatorHeading = "工作人员：";
    d.title = "工作人员";
    d.listColumns = {{"OperaterID", "代码"}, {"Name", "姓名"}};
    d.commands = {{"BtnCopy", "复制", WindowCommand::Place::Buttons, "BtnNew", {}, {}, {}, [&](QWidget *) { ++copies; }},
                  {"BtnPrint", "打印", WindowCommand::Place::Buttons, "BtnClose", {}, {}, CommandRules::printing, {}}};
    RecordDialog dlg(d);
    QStringList column;
    for (QPushButton *b : {dlg.button("BtnCopy"), dlg.button("BtnNew"), dlg.button("BtnSave"), dlg.button("BtnDelete"),
                           dlg.button("BtnPrint"), dlg.button("BtnClose")}) {
        ASSERT_TRUE(b);
        column << b->objectName();
    }
    // The column, top down: the order of the widgets in their layout.
    dlg.show();
    QList<QPushButton *> shown = dlg.findChildren<QPushButton *>();
    std::sort(shown.begin(), shown.end(),
              [](QPushButton *a, QPushButton *b) { return a->geometry().top() < b->geometry().top(); });
    QStringList order;
    for (QPushButton *b : shown)
        if (column.contains(b->objectName()))
            order << b->objectName();
    EXPECT_EQ(order, (QStringList{"BtnCopy", "BtnNew", "BtnSave", "BtnDelete", "BtnPrint", "BtnClose"}));
    dlg.button("BtnCopy")->click();
    EXPECT_EQ(copies, 1);
    EXPECT_FALSE(dlg.button("BtnPrint")->isEnabled()); // no print flag is held
    ASSERT_TRUE(dlg.grid());
    EXPECT_EQ(dlg.grid()->model()->rowCount(), 3);
    ASSERT_TRUE(dlg.navigator());
    ASSERT_TRUE(set->first());
    dlg.navigate(RecordDialog::Move::Next);
    EXPECT_EQ(set->value("OperaterID").toString(), "A02");
    dlg.BtnCloseClick();
    EXPECT_FALSE(dlg.isVisible());
}

// Links the views' buttons open, caught instead of reaching the desktop.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

// A view of the record another one names reads on its own set: it never
// moves the shared list, shows nothing for an empty code or one outside
// its scope, takes no typing, and its buttons open the mail program and the
// browser with the shown address.
TEST_P(WindowCentreTest, ARecordViewShowsTheNamedRecordWithoutMovingTheList)
{
    ASSERT_TRUE(QSqlQuery(t->db().sql()).exec(
        "UPDATE tblOperaters SET Email = 'zhang@example.cn', HomePage = 'www.example.cn' WHERE OperaterID = 'A01'"));
    ASSERT_TRUE(set->refresh());
    ASSERT_TRUE(set->locate("OperaterID", "A03"));
    using namespace Field;
    RecordView view(new Dataset(&t->db(), "View", Schema::table("tblOperaters")), "OperaterID",
                    {{"OperaterID", "代码：", line()},
                     {"Name", "姓名：", line()},
                     {"Email", "Email：", line(), opts().withButton("BtnMail", "发送邮件")},
                     {"HomePage", "主页：", line(), opts().withButton("BtnOpen", "打开...")}},
                    nullptr);
    auto text = [&](const char *field) { return qobject_cast<QLineEdit *>(view.form()->widget(field))->text(); };
    struct Case {
        const char *code;
        Condition scope;
        const char *name;
    };
    for (const Case &c : {Case{"A01", {}, "张三"}, Case{"A02", {}, "李四"}, Case{"", {}, ""},
                          Case{"A02", Condition::equals("DepartmentID", "D1"), ""},
                          Case{"A01", Condition::equals("DepartmentID", "D1"), "张三"}}) {
        view.forget();
        view.showRecord(c.code, &t->db(), c.scope);
        EXPECT_EQ(text("Name"), QString::fromUtf8(c.name)) << c.code;
        EXPECT_EQ(set->value("OperaterID").toString(), "A03") << "the list stays where it was";
    }
    EXPECT_TRUE(qobject_cast<QLineEdit *>(view.form()->widget("Name"))->isReadOnly());

    UrlCatcher catcher;
    for (const char *scheme : {"mailto", "http"})
        QDesktopServices::setUrlHandler(scheme, &catcher, "open");
    view.form()->button("BtnMail")->click();
    view.form()->button("BtnOpen")->click();
    for (const char *scheme : {"mailto", "http"})
        QDesktopServices::unsetUrlHandler(scheme);
    ASSERT_EQ(catcher.opened.size(), 2);
    EXPECT_EQ(catcher.opened[0].toString(), "mailto:zhang@example.cn");
    EXPECT_EQ(catcher.opened[1].host(), "www.example.cn");
    EXPECT_TRUE(prompts.shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, WindowCentreTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace

#include "test_windowcentre.moc"
