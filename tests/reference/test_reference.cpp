// The reference-data windows: one dictionary window over the shared sets
// of the data module, its fifteen members and the colour table.
#include "app/tfrmmain.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/userrights.h"
#include "reference/referencewindows.h"
#include "reference/tfrmcolor.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/login.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"
#include "ui/commandshortcuts.h"
#include "ui/colorchooser.h"
#include "ui/datagrid.h"
#include "ui/gridmodel.h"
#include "ui/dictionarydialog.h"
#include "ui/fieldbinder.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTreeView>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

namespace {

class FakeColorChooser : public ColorChooser
{
public:
    FakeColorChooser() { ColorChooser::install(this); }
    ~FakeColorChooser() override { ColorChooser::install(nullptr); }
    std::optional<QColor> answer;
    int asked = 0;
    std::optional<QColor> choose(QWidget *) override
    {
        ++asked;
        return answer;
    }
};

// Typing as a user does, Chinese included: textEdited follows.
void type(QWidget *w, const QString &text)
{
    if (auto *e = qobject_cast<QLineEdit *>(w)) {
        e->selectAll();
        QInputMethodEvent ev;
        ev.setCommitString(text);
        QCoreApplication::sendEvent(e, &ev);
    } else if (auto *c = qobject_cast<QComboBox *>(w)) {
        const int i = text.isEmpty() ? 0 : c->findText(text);
        c->setCurrentIndex(i);
        emit c->activated(i);
    }
}

class ReferenceTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
        logIn("Admin", true);
    }
    void TearDown() override
    {
        UserRights::current().clear();
        Session::current().reset();
    }

    // As the program does at a login: the user, then the user's rights read
    // into memory, which the windows go by.
    void logIn(const QString &user, bool sys)
    {
        ASSERT_EQ(logInAs(t->db(), user, sys), "");
    }

    QVariant scalar(const QString &sql, const QVariantList &values = {}) { return Stored::value(t->db(), sql, values); }
    int count(const QString &table) { return scalar("SELECT COUNT(*) FROM " + table).toInt(); }
    QStringList logLines() { return Stored::logLines(t->db()); }
    std::unique_ptr<DictionaryDialog> open(const QString &className)
    {
        auto *w = qobject_cast<DictionaryDialog *>(createReferenceWindow(className));
        EXPECT_NE(w, nullptr) << className.toStdString();
        if (w)
            w->show();
        return std::unique_ptr<DictionaryDialog>(w);
    }
    void grantOnly(const QString &user, const QString &right, bool insert, bool remove)
    {
        ASSERT_EQ(t->db().insertRow("tblUserRight", {{"UserID", user}, {"RightID", right}, {"Insert", insert},
                                                     {"Modify", true}, {"Delete", remove}}),
                  "");
        logIn(user, false);
    }

    AppHome home; // grids keep their layout there, not beside the test program
    std::unique_ptr<TempDatabase> t;
    TdmMain dm;
    FakePrompts prompts;
    FakeColorChooser chooser;
};

// Each member as the user meets it. The fields are listed in the order
// "保存" checks them, with the message of each when empty; the last one
// is the description, whose message comes only from the database's refusal.
struct Member {
    const char *className, *caption, *listTitle, *table, *logPath, *right;
    QVector<QPair<const char *, const char *>> fields;
};

const Member kMembers[] = {
    {"TfrmRegion", "所在区设置", "所在区设置列表：", "tblCustDist", "基础资料-地区设置", "202",
     {{"DistID", "请输入地区代码！"}, {"DistName", "请输入地区名称！"}, {"DistColor", "请选择您要设置的颜色！"},
      {"Memo", "请输入地区描述！"}}},
    {"TfrmCountry", "国家信息", "国家信息列表：", "tblCountry", "基础资料-国家信息", "203",
     {{"CountryID", "请输入国家代码！"}, {"CountryName", "请输入国家名称！"}, {"Continent", "请选择所在的洲名称！"},
      {"CountryColor", "请选择您要设置的颜色！"}, {"Memo", "请输入描述内容！"}}},
    {"TfrmFinanceOrgan", "金融机构设置", "金融机构列表：", "tblFinanceOrgan", "基础资料-金融机构设置", "205",
     {{"OrganID", "请输入金融机构代码！"}, {"OrganName", "请输入金融机构名称！"}, {"Memo", "请输入金融机构描述！"}}},
    {"TfrmVocation", "客户类型设置", "客户类型列表：", "tblVocation", "基础资料-行业类别设置", "206",
     {{"VocationId", "请输入行业代码！"}, {"VocationName", "请输入行业名称！"}, {"VocationColor", "请选择输入颜色信息！"},
      {"Memo", "请输入行业描述！"}}},
    {"TfrmOperateStyle", "业务类型设置", "业务类型设置列表：", "tblOperateType", "基础资料-业务类型设置", "207",
     {{"TypeID", "请输入业务类型代码！"}, {"TypeName", "请输入业务类型名称！"},
      {"TypeColor", "请选择输入业务类型颜色设置！"}, {"Memo", "请输入业务类型描述！"}}},
    {"TfrmOperateOrigin", "业务来源设置", "业务来源设置列表：", "tblOperateOrigin", "基础资料-业务来源设置", "208",
     {{"OriginID", "请输入业务来源代码！"}, {"OriginName", "请输入业务来源名称！"},
      {"OriginColor", "请选择输入业务来源颜色设置！"}, {"Memo", "请输入业务来源描述！"}}},
    {"TfrmOperateState", "业务状态设置", "业务状态设置列表：", "tblOperateState", "基础资料-业务状态设置", "209",
     {{"OperateStateID", "请输入业务状态代码！"}, {"OperateStateName", "请输入业务状态名称！"},
      {"StateColor", "请选择输入业务状态颜色设置！"}, {"Memo", "请输入业务状态描述！"}}},
    {"TfrmCustLevel", "客户级别设置", "客户级别设置列表：", "tblCustLevel", "基础资料-客户级别定义", "210",
     {{"LevelID", "请输入客户级别代码！"}, {"LevelName", "请输入客户级别名称！"},
      {"LevelColor", "请选择输入客户级别颜色设置！"}, {"Memo", "请输入客户级别描述！"}}},
    {"TfrmState", "客户状态设置", "客户状态设置列表：", "tblCustState", "基础资料-客户状态定义", "211",
     {{"StateID", "请输入客户状态代码！"}, {"StateName", "请输入客户状态名称！"},
      {"StateColor", "请选择输入客户状态颜色设置！"}, {"Memo", "请输入客户状态描述！"}}},
    {"TfrmCustOrigin", "客户来源设置", "客户来源设置列表：", "tblCustOrigin", "基础资料-客户来源定义", "212",
     {{"OriginID", "请输入客户来源代码！"}, {"OriginName", "请输入客户来源名称！"},
      {"OriginColor", "请选择输入客户来源颜色设置！"}, {"Memo", "请输入客户来源描述！"}}},
    {"TfrmDepartment", "部门设置", "部门设置列表：", "tblDepartment", "基础资料-部门设置", "201",
     {{"DepartmentID", "请输入部门代码！"}, {"DepartmentName", "请输入部门名称！"}, {"Memo", "请输入部门描述！"}}},
    {"TfrmCurrencyRate", "币别汇率设置", "币别汇率列表：", "tblCurrencyRate", "基础资料-币别汇率设置", "204",
     {{"CurrID", "请输入币别代码！"}, {"CurrName", "请输入币别名称！"}, {"Rate", "请输入币别汇率！"},
      {"Memo", "请输入备注内容！"}}},
    {"TfrmGongzhong", "工种设置", "工种设置列表：", "tblGongzhong", "内部管理-工种设置", "602",
     {{"GongzhongID", "请输入工种代码！"}, {"GongzhongName", "请输入工种名称！"}, {"Memo", "请输入工种描述！"}}},
    {"TfrmJineng", "技能级别", "技能级别设置列表：", "tblJineng", "内部管理-技能级别", "604",
     {{"LevelID", "请输入级别代码！"}, {"LevelName", "请输入级别名称！"}, {"Memo", "请输入技能级别描述！"}}},
    {"TfrmTijian", "体检设定", "体检设定列表：", "tblTijian", "内部管理-体检设定", "605",
     {{"TJID", "请输入体检设定代码！"}, {"TJMS", "请输入体检设定描述！"}, {"Memo", "请输入备注！"}}},
};

// What a user picks or types into each kind of field.
QString entryFor(const QString &field)
{
    if (field == "Continent")
        return "欧洲";
    if (field.endsWith("Color"))
        return {}; // the first colour of the list
    if (field == "Rate")
        return "6.5";
    return field.endsWith("ID", Qt::CaseInsensitive) ? "X1" : "条目" + field;
}

TEST_P(ReferenceTest, EveryMemberChecksItsFieldsInOrderStoresAndDeletes)
{
    for (const Member &m : kMembers) {
        SCOPED_TRACE(m.className);
        prompts.clear();
        const QStringList before = logLines();
        auto w = open(m.className);
        ASSERT_TRUE(w);
        EXPECT_EQ(w->objectName(), m.className);
        EXPECT_EQ(w->windowTitle(), m.caption);
        EXPECT_EQ(w->listTitle()->text(), m.listTitle);
        EXPECT_EQ(w->dataset()->name().toLower(), QString(m.table).toLower());
        EXPECT_EQ(w->grid()->model()->columnCount(), m.fields.size());
        for (int c = 0; c < m.fields.size(); ++c) { // the colour column shows its swatch
            EXPECT_EQ(w->grid()->view()->itemDelegateForColumn(c) != nullptr,
                      QString(m.fields[c].first).endsWith("Color"))
                << m.fields[c].first;
        }
        const QString code = m.fields.first().first;
        EXPECT_EQ(w->focusWidget(), w->fieldWidget(code));
        const bool coloured = std::any_of(m.fields.begin(), m.fields.end(),
                                          [](const auto &f) { return QString(f.first).endsWith("Color"); });
        EXPECT_EQ(w->colourButton() != nullptr, coloured);
        EXPECT_TRUE(w->addAction()->isEnabled());
        EXPECT_TRUE(w->deleteAction()->isEnabled());
        const int rows = w->dataset()->rowCount();

        w->BtnAddClick();
        ASSERT_EQ(w->dataset()->state(), Dataset::State::Insert);
        // Enter moves on from the code.
        QTest::keyClick(w->fieldWidget(code), Qt::Key_Return);
        EXPECT_EQ(w->focusWidget(), w->fieldWidget(m.fields[1].first));

        for (const auto &[field, message] : m.fields) {
            SCOPED_TRACE(field);
            prompts.clear();
            w->BtnSaveClick();
            EXPECT_EQ(prompts.texts(), QStringList{message});
            EXPECT_EQ(prompts.shown.value(0).kind, "warn");
            EXPECT_EQ(w->focusWidget(), w->fieldWidget(field));
            EXPECT_EQ(w->dataset()->state(), Dataset::State::Insert);
            type(w->fieldWidget(field), entryFor(field));
        }
        prompts.clear();
        w->BtnSaveClick();
        EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
        EXPECT_EQ(w->dataset()->state(), Dataset::State::Browse);
        EXPECT_EQ(w->dataset()->rowCount(), rows + 1);
        const QString where = " FROM " + QString(m.table) + " WHERE " + code + " = ?";
        EXPECT_EQ(scalar("SELECT " + QString(m.fields[1].first) + where, {"X1"}).toString(),
                  "条目" + QString(m.fields[1].first));
        EXPECT_EQ(scalar("SELECT Memo" + where, {"X1"}).toString(), "条目Memo");
        if (coloured) { // the first colour of the palette
            EXPECT_EQ(scalar("SELECT " + QString(m.fields[m.fields.size() - 2].first) + where, {"X1"}).toInt(),
                      0x0000FF);
        }
        if (QString(m.className) == "TfrmCountry") {
            EXPECT_EQ(scalar("SELECT Continent" + where, {"X1"}).toString(), "欧洲");
        }
        if (QString(m.className) == "TfrmCurrencyRate") {
            EXPECT_DOUBLE_EQ(scalar("SELECT Rate" + where, {"X1"}).toDouble(), 6.5);
        }

        // Deleting asks first; Cancel keeps the row.
        ASSERT_TRUE(w->dataset()->locate(code, "X1"));
        prompts.clear();
        prompts.answers = {false, true};
        w->BtnDeleteClick();
        EXPECT_EQ(prompts.texts(), QStringList{"真的要删除该条记录吗?"});
        EXPECT_EQ(prompts.shown.value(0).kind, "okcancel");
        EXPECT_EQ(scalar("SELECT COUNT(*)" + where, {"X1"}).toInt(), 1);
        w->BtnDeleteClick();
        EXPECT_EQ(scalar("SELECT COUNT(*)" + where, {"X1"}).toInt(), 0);
        EXPECT_EQ(w->dataset()->rowCount(), rows);

        const QString path = m.logPath;
        EXPECT_EQ(logLines().mid(before.size()),
                  QStringList({path + "-新增"}) + QStringList(m.fields.size() + 1, path + "-保存")
                      + QStringList({path + "-删除", path + "-删除"}));
    }
}

TEST_P(ReferenceTest, DeletingInAnEmptyDictionaryAsksNothing)
{
    auto w = open("TfrmCustLevel");
    ASSERT_TRUE(w->dataset()->isEmpty());
    w->BtnDeleteClick();
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(logLines(), QStringList{"基础资料-客户级别定义-删除"});
}

TEST_P(ReferenceTest, TheRightsOperationFlagsEnableAddAndDelete)
{
    ASSERT_EQ(t->db().insertRow("tblCustLevel", {{"LevelID", "A"}, {"LevelName", "重要"}, {"Memo", "m"}}), "");
    ASSERT_EQ(t->db().insertRow("tblJineng", {{"LevelID", "J1"}, {"LevelName", "初级"}, {"Memo", "m"}}), "");
    ASSERT_TRUE(dm.dataset("tblCustLevel")->refresh());
    struct Case {
        const char *className, *right, *user;
        bool grant, insert, remove;
    } cases[] = {
        {"TfrmCustLevel", "210", "noins", true, false, true},
        {"TfrmJineng", "604", "nodel", true, true, false},
        {"TfrmCurrencyRate", "204", "both", true, true, true},
        {"TfrmGongzhong", "602", "none", false, false, false},
        {"TfrmCustLevel", "210", "NoIns2", true, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.user);
        if (c.grant)
            grantOnly(c.user, c.right, c.insert, c.remove);
        else
            logIn(c.user, false);
        auto w = open(c.className);
        EXPECT_EQ(w->addAction()->isEnabled(), c.insert);
        EXPECT_EQ(w->deleteAction()->isEnabled(), c.remove);
        EXPECT_TRUE(w->saveAction()->isEnabled());
        EXPECT_TRUE(w->closeAction()->isEnabled());
    }
    // Rows an old database holds under another spelling of the code count.
    ASSERT_EQ(t->db().insertRow("tblUserRight", {{"UserID", "ZHANG"}, {"RightID", "602"}, {"Insert", true},
                                                 {"Delete", false}}),
              "");
    logIn("Zhang", false);
    {
        auto w = open("TfrmGongzhong");
        EXPECT_TRUE(w->addAction()->isEnabled());
        EXPECT_FALSE(w->deleteAction()->isEnabled());
    }
    // Without the insert flag an existing entry can still be changed.
    logIn("noins", false);
    auto w = open("TfrmCustLevel");
    ASSERT_TRUE(w->dataset()->locate("LevelID", "A"));
    type(w->fieldWidget("LevelName"), "最重要");
    type(w->fieldWidget("LevelColor"), {});
    w->BtnSaveClick();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(scalar("SELECT LevelName FROM tblCustLevel WHERE LevelID = ?", {"A"}).toString(), "最重要");
}

TEST_P(ReferenceTest, ARefusedStoreSaysWhyAndKeepsTheRowInEditing)
{
    ASSERT_EQ(t->db().insertRow("tblCustLevel", {{"LevelID", "A"}, {"LevelName", "重要"}, {"LevelColor", 255},
                                                 {"Memo", "m"}}),
              "");
    ASSERT_TRUE(dm.dataset("tblCustLevel")->refresh());
    auto w = open("TfrmCustLevel");
    w->BtnAddClick();
    for (const char *f : {"LevelID", "LevelName", "LevelColor", "Memo"})
        type(w->fieldWidget(f), f == QString("LevelID") ? "A" : entryFor(f));
    w->fieldWidget("Memo")->setFocus();
    prompts.clear();
    w->BtnSaveClick();
    EXPECT_EQ(prompts.texts(), QStringList{"对不起，该代码已存在！"});
    EXPECT_EQ(w->focusWidget(), w->fieldWidget("LevelID"));
    EXPECT_EQ(w->dataset()->state(), Dataset::State::Insert);
    // Put right, it is stored.
    type(w->fieldWidget("LevelID"), "B");
    prompts.clear();
    w->BtnSaveClick();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(count("tblCustLevel"), 2);

    // Any other refusal in the database's own words: here another
    // workstation changed the row meanwhile.
    ASSERT_TRUE(w->dataset()->locate("LevelID", "A"));
    type(w->fieldWidget("LevelName"), "本机");
    ASSERT_EQ(t->db().exec("UPDATE tblCustLevel SET LevelName = ? WHERE LevelID = ?", {"他机", "A"}), "");
    w->fieldWidget("Memo")->setFocus();
    prompts.clear();
    w->BtnSaveClick();
    EXPECT_EQ(prompts.texts(), QStringList{Dataset::kConflictText});
    EXPECT_EQ(w->focusWidget(), w->fieldWidget("Memo"));
    EXPECT_EQ(w->dataset()->state(), Dataset::State::Edit);
    w->BtnCloseClick();
    EXPECT_EQ(scalar("SELECT LevelName FROM tblCustLevel WHERE LevelID = ?", {"A"}).toString(), "他机");
}

TEST_P(ReferenceTest, CommandKeysWorkWhileAFieldHasTheFocus)
{
    installCommandShortcuts(qobject_cast<QApplication *>(QCoreApplication::instance()));
    ASSERT_EQ(t->db().insertRow("tblCustLevel", {{"LevelID", "A"}, {"LevelName", "重要"}, {"Memo", "m"}}), "");
    ASSERT_EQ(t->db().insertRow("tblCustOrigin", {{"OriginID", "O1"}, {"OriginName", "网站"}, {"Memo", "m"}}), "");
    ASSERT_TRUE(dm.dataset("tblCustLevel")->refresh());
    ASSERT_TRUE(dm.dataset("tblCustOrigin")->refresh());
    auto focusIn = [](DictionaryDialog *w, const char *field) {
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        auto *edit = qobject_cast<QLineEdit *>(w->fieldWidget(field));
        EXPECT_NE(edit, nullptr);
        if (edit)
            edit->setFocus();
        return edit;
    };

    // "新增" Ctrl+A starts a new row instead of selecting the name.
    auto level = open("TfrmCustLevel");
    QLineEdit *name = focusIn(level.get(), "LevelName");
    ASSERT_TRUE(name);
    ASSERT_EQ(name->text(), "重要");
    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(level->dataset()->state(), Dataset::State::Insert);
    EXPECT_EQ(logLines(), QStringList{"基础资料-客户级别定义-新增"});
    EXPECT_EQ(level->focusWidget(), level->fieldWidget("LevelID"));
    level->BtnCloseClick();
    EXPECT_EQ(count("tblCustLevel"), 1);

    // "关闭" Ctrl+X of the customer sources closes the window; nothing is cut.
    QApplication::clipboard()->setText("剪贴板");
    auto origin = open("TfrmCustOrigin");
    QLineEdit *originName = focusIn(origin.get(), "OriginName");
    ASSERT_TRUE(originName);
    originName->selectAll();
    QTest::keyClick(originName, Qt::Key_X, Qt::ControlModifier);
    EXPECT_FALSE(origin->isVisible());
    EXPECT_EQ(originName->text(), "网站");
    EXPECT_EQ(QApplication::clipboard()->text(), "剪贴板");
}

// Clicking another row in the list stores the row in hand, except a new
// row still without its code, which is given up; a refusal is told once
// and the list stays on the row in hand.
TEST_P(ReferenceTest, LeavingARowInTheListStoresOrDropsIt)
{
    for (const char *code : {"A", "B"})
        ASSERT_EQ(t->db().insertRow("tblCustLevel", {{"LevelID", code}, {"LevelName", QString("级别") + code},
                                                     {"LevelColor", 255}, {"Memo", "m"}}),
                  "");
    ASSERT_TRUE(dm.dataset("tblCustLevel")->refresh());
    auto w = open("TfrmCustLevel");
    Dataset *d = w->dataset();
    QTreeView *list = w->grid()->view();
    EXPECT_EQ(list->objectName(), "DBGrid1");
    const auto click = [&](const QString &code) {
        int row = 0; // the first: a new row may carry the same code
        while (row < d->rowCount() && d->value(row, "LevelID").toString() != code)
            ++row;
        const QModelIndex i = w->grid()->model()->indexOfSourceRow(row);
        ASSERT_TRUE(i.isValid()) << code.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(i).center());
        QCoreApplication::processEvents();
    };
    const auto shownRow = [&] { return w->grid()->model()->sourceRow(list->currentIndex()); };

    // Without its code the new row goes, whatever else was typed.
    w->BtnAddClick();
    type(w->fieldWidget("LevelName"), "无代码");
    click("B");
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(d->state(), Dataset::State::Browse);
    EXPECT_EQ(d->value("LevelID").toString(), "B");
    EXPECT_EQ(shownRow(), d->currentRow());
    EXPECT_EQ(count("tblCustLevel"), 2);

    // With a code it is stored; one the table has already is refused.
    w->BtnAddClick();
    for (const char *f : {"LevelID", "LevelName", "LevelColor", "Memo"})
        type(w->fieldWidget(f), f == QString("LevelID") ? "A" : entryFor(f));
    const int newRow = d->currentRow();
    click("A");
    EXPECT_EQ(prompts.texts(), QStringList{"对不起，该代码已存在！"});
    EXPECT_EQ(d->state(), Dataset::State::Insert);
    EXPECT_EQ(d->currentRow(), newRow);
    EXPECT_EQ(shownRow(), newRow);
    type(w->fieldWidget("LevelID"), "C");
    prompts.clear();
    click("A");
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(d->value("LevelID").toString(), "A");
    EXPECT_EQ(scalar("SELECT LevelName FROM tblCustLevel WHERE LevelID = ?", {"C"}).toString(), "条目LevelName");
}

TEST_P(ReferenceTest, ClosingDiscardsAHalfEnteredRow)
{
    ASSERT_EQ(t->db().insertRow("tblGongzhong", {{"GongzhongID", "G1"}, {"GongzhongName", "保姆"}, {"Memo", "m"}}), "");
    ASSERT_TRUE(dm.dataset("tblGongzhong")->open());
    for (const char *how : {"关闭", "window"}) {
        SCOPED_TRACE(how);
        auto w = open("TfrmGongzhong");
        w->BtnAddClick();
        type(w->fieldWidget("GongzhongID"), "G2");
        type(w->fieldWidget("GongzhongName"), "月嫂");
        if (QString(how) == "关闭")
            w->BtnCloseClick();
        else
            w->close(); // the window's own close box
        EXPECT_FALSE(w->isVisible());
        Dataset *d = dm.dataset("tblGongzhong");
        EXPECT_FALSE(d->isEditing());
        EXPECT_EQ(d->rowCount(), 1);
        EXPECT_EQ(count("tblGongzhong"), 1);
        // A change to an existing row goes too.
        auto again = open("TfrmGongzhong");
        type(again->fieldWidget("GongzhongName"), "钟点工");
        again->BtnCloseClick();
        EXPECT_EQ(d->value("GongzhongName").toString(), "保姆");
        EXPECT_EQ(scalar("SELECT GongzhongName FROM tblGongzhong").toString(), "保姆");
    }
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join("|").toStdString();
}

TEST_P(ReferenceTest, AStoredEntryIsOfferedAtOnceInEveryDropDown)
{
    // A customer's level drop-down, as the customer window binds it.
    Dataset *customers = dm.dataset("tblCustomers");
    ASSERT_TRUE(customers->open());
    QComboBox levels;
    FieldBinder binder(customers);
    binder.bind(&levels, "LevelID", dm.dataset("tblCustLevel"), "LevelID", "LevelName");
    ASSERT_EQ(levels.count(), 0);

    auto w = open("TfrmCustLevel");
    w->BtnAddClick();
    for (const char *f : {"LevelID", "LevelName", "LevelColor", "Memo"})
        type(w->fieldWidget(f), f == QString("LevelName") ? "贵宾" : entryFor(f));
    w->BtnSaveClick();
    ASSERT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
    EXPECT_EQ(levels.count(), 1);
    EXPECT_EQ(levels.itemText(0), "贵宾");
    EXPECT_EQ(levels.itemData(0).toString(), "X1");

    // A colour added in the colour window is offered in the window that opened it.
    auto *colours = qobject_cast<QComboBox *>(w->fieldWidget("LevelColor"));
    const int before = colours->count();
    TfrmColor c(w.get());
    c.show();
    chooser.answer = QColor(0x12, 0x34, 0x56);
    c.BtnAddClick();
    ASSERT_EQ(colours->count(), before + 1);
    EXPECT_EQ(colours->itemData(before).toLongLong(), 0x563412);
}

TEST_P(ReferenceTest, TheColourWindowAddsAndDeletesColours)
{
    const int palette = count("tblColor");
    ASSERT_GT(palette, 0);
    TfrmColor w;
    w.show();
    EXPECT_EQ(w.windowTitle(), "颜色设置信息");
    EXPECT_EQ(w.grid()->model()->headerData(0, Qt::Horizontal).toString(), "颜色信息");
    EXPECT_EQ(w.swatchColour(), colorFromId(w.dataset()->value("ColorID").toLongLong()));

    // A cancelled chooser adds nothing; the same colour may come twice.
    w.BtnAddClick();
    EXPECT_EQ(chooser.asked, 1);
    EXPECT_EQ(count("tblColor"), palette);
    chooser.answer = QColor(0x12, 0x34, 0x56);
    w.BtnAddClick();
    w.BtnAddClick();
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM tblColor WHERE ColorID = ?", {0x563412}).toInt(), 2);
    EXPECT_EQ(w.swatchColour(), QColor(0x12, 0x34, 0x56));

    // Clicking into the grid paints the swatch of the row.
    w.grid()->view()->setCurrentIndex(w.grid()->model()->index(1, 0));
    EXPECT_EQ(w.dataset()->currentRow(), 1);
    EXPECT_EQ(w.swatchColour(), colorFromId(w.dataset()->value(1, "ColorID").toLongLong()));

    prompts.answers = {false};
    w.BtnDeleteClick();
    EXPECT_EQ(count("tblColor"), palette + 2);
    prompts.defaultAnswer = true;
    while (!w.dataset()->isEmpty())
        w.BtnDeleteClick();
    EXPECT_EQ(count("tblColor"), 0);
    EXPECT_EQ(prompts.texts(), QStringList(palette + 3, "真的要删除该条记录吗?"));
    // On an empty table "删除" does nothing at all.
    prompts.clear();
    w.BtnDeleteClick();
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(logLines(), QStringList()); // the colour window writes no log
}

TEST_P(ReferenceTest, TheMainWindowsActionsOpenTheirWindows)
{
    TfrmMain main;
    main.setDataModule(&dm);
    main.reloadRights();
    const QVector<QPair<const char *, const char *>> actions = {
        {"Act_Department", "TfrmDepartment"},     {"Act_Gongzhong", "TfrmGongzhong"},
        {"Act_Jineng", "TfrmJineng"},             {"Act_Tijian", "TfrmTijian"},
        {"Act_Region", "TfrmRegion"},             {"Act_Country", "TfrmCountry"},
        {"Act_CurrencyRate", "TfrmCurrencyRate"}, {"Act_FinanceOrgan", "TfrmFinanceOrgan"},
        {"Act_OperateStyle", "TfrmOperateStyle"}, {"Act_OperateOrigin", "TfrmOperateOrigin"},
        {"Act_OperateState", "TfrmOperateState"}, {"Act_CustLevel", "TfrmCustLevel"},
        {"Act_CustState", "TfrmState"},           {"Act_CustOrigin", "TfrmCustOrigin"},
        {"Act_Vocation", "TfrmVocation"},
    };
    for (const auto &[action, className] : actions) {
        SCOPED_TRACE(action);
        const int logged = int(logLines().size());
        QString modal;
        QTimer::singleShot(0, [&] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                modal = w->objectName();
                w->close();
            }
        });
        QAction *a = main.action(action);
        ASSERT_NE(a, nullptr);
        ASSERT_TRUE(a->isEnabled());
        a->trigger();
        EXPECT_EQ(modal, className);
        // The action's own line, once; the window adds none by opening.
        EXPECT_EQ(logLines().size(), logged + 1);
    }
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST(ReferenceWindows, OneEntryPointKnowsEveryMember)
{
    QStringList expected;
    for (const Member &m : kMembers)
        expected << m.className;
    expected << "TfrmColor";
    QStringList names = referenceWindowNames();
    names.sort();
    expected.sort();
    EXPECT_EQ(names, expected);
    EXPECT_EQ(createReferenceWindow("TfrmNothing"), nullptr);
    EXPECT_FALSE(openReferenceWindow("TfrmNothing", nullptr));
}

INSTANTIATE_TEST_SUITE_P(Engines, ReferenceTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
