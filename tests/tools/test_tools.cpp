// Document folders, the tools panel's file list and the two file dialogs,
// on a temporary application directory.
#include "app/tfrmmain.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/userrights.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"
#include "data/documentfolders.h"
#include "tools/filelist.h"
#include "tools/foldermodel.h"
#include "tools/tfrmnewfile.h"
#include "tools/tfrmpastefile.h"
#include "tools/tfrmtools.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSqlQuery>

#include <memory>

namespace {

// Every test runs against a fresh database through the data module, as the
// panel's commands write their log lines there.
class ToolsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(Engine::SQLite);
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
        Session::current().logIn("Admin", true);
    }
    void TearDown() override
    {
        UserRights::current().clear();
        Session::current().reset();
    }

    QString docs(const QString &relative = {}) const { return home.path("Files/" + relative); }
    static bool touch(const QString &path, const QByteArray &content = {})
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList logLines() { return Stored::logLines(t->db()); }

    AppHome home;
    FakePrompts prompts;
    std::unique_ptr<TempDatabase> t;
    TdmMain dm;
};

TEST(DocumentFolderNames, PlainCodesStayAndUnsafeOnesBecomeOneName)
{
    const struct {
        QString code;
        QString name;
    } cases[] = {
        {"C001", "C001"},
        {"张三-2024 甲", "张三-2024 甲"},
        {"a.b.", "a.b."},
        {"", ""},
        {".", "%2E"},
        {"..", "%2E."},
        {".hidden", "%2Ehidden"},
        {"../x", "%2E.%2Fx"},
        {"a/b", "a%2Fb"},
        {"a\\b", "a%5Cb"},
        {QString("a") + QChar(0) + "b", "a%00b"},
        // The escape character itself, so that "a/b" and "a%2Fb" keep
        // different folders.
        {"a%2Fb", "a%252Fb"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DocumentFolders::safeName(c.code), c.name) << c.code.toStdString();
}

TEST_F(ToolsTest, RecordFoldersAreMadeOnDemandInsideTheirFamilyFolder)
{
    const struct {
        QString made;
        QString expected;
    } cases[] = {
        {DocumentFolders::customer("C001"), docs("C001/")},
        {DocumentFolders::customer(""), docs()},
        {DocumentFolders::operater("OP1"), docs("Operaters/OP1/")},
        {DocumentFolders::operaters(), docs("Operaters/")},
        {DocumentFolders::yuangong("Y7"), docs("Yuangong/Y7/")},
        {DocumentFolders::yuangongFamily(), docs("Yuangong/")},
        {DocumentFolders::shusong(), docs("Shusong/")},
        {DocumentFolders::plans(), docs("Plans/")},
        // Codes that would leave or nest: one folder right under the family.
        {DocumentFolders::customer(".."), docs("%2E./")},
        {DocumentFolders::customer("../../etc"), docs("%2E.%2F..%2Fetc/")},
        {DocumentFolders::operater("a/b"), docs("Operaters/a%2Fb/")},
        {DocumentFolders::yuangong("..\\x"), docs("Yuangong/%2E.%5Cx/")},
        // A customer code that spells a family folder, in any case, gets a
        // folder of its own; one that spells that encoding stays apart too.
        {DocumentFolders::customer("Operaters"), docs("%4Fperaters/")},
        {DocumentFolders::customer("yuangong"), docs("%79uangong/")},
        {DocumentFolders::customer("SHUSONG"), docs("%53HUSONG/")},
        {DocumentFolders::customer("pLaNs"), docs("%70LaNs/")},
        {DocumentFolders::customer("%4Fperaters"), docs("%254Fperaters/")},
        {DocumentFolders::customer("Operaters2"), docs("Operaters2/")},
        {DocumentFolders::operater("Operaters"), docs("Operaters/Operaters/")},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.made, c.expected);
        EXPECT_TRUE(QFileInfo(c.made).isDir()) << c.made.toStdString();
    }
    // Nothing was made outside the document root.
    EXPECT_EQ(QDir(home.path("")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"Files"}));
}

TEST_F(ToolsTest, AnExistingFolderIsLeftAsItIs)
{
    ASSERT_TRUE(QDir().mkpath(docs("C001")));
    ASSERT_TRUE(touch(docs("C001/合同.doc"), "kept"));
    EXPECT_EQ(DocumentFolders::customer("C001"), docs("C001/"));
    EXPECT_EQ(read(docs("C001/合同.doc")), "kept");
}

TEST_F(ToolsTest, TheFileListShowsFoldersThenFilesByNameAndOpensFolders)
{
    const QString root = DocumentFolders::root();
    for (const char *dir : {"b-folder", "A-folder"})
        ASSERT_TRUE(QDir(root).mkdir(dir));
    for (const char *file : {"c.txt", "B.doc", "a.xls"})
        ASSERT_TRUE(touch(root + file));

    FileList list;
    list.setFolder(root);
    EXPECT_EQ(list.model()->names(), QStringList({"A-folder", "b-folder", "a.xls", "B.doc", "c.txt"}));

    list.activate(1);
    EXPECT_EQ(list.folder(), root + "b-folder/");
    EXPECT_EQ(list.model()->rowCount(), 0);
}

TEST_F(ToolsTest, RenamingInPlaceKeepsOtherFilesAndShowsWhyItWasRefused)
{
    const QString root = DocumentFolders::root();
    ASSERT_TRUE(touch(root + "a.txt", "A"));
    ASSERT_TRUE(touch(root + "b.txt", "B"));
    ASSERT_TRUE(QDir(root).mkdir("sub"));
    FileList list;
    list.setFolder(root);
    FolderModel *m = list.model();
    ASSERT_EQ(m->names(), QStringList({"sub", "a.txt", "b.txt"}));

    EXPECT_TRUE(m->setData(m->index(1, FolderModel::Name), "z.txt"));
    QApplication::processEvents(); // the reread after the editor let go
    EXPECT_EQ(m->names(), QStringList({"sub", "b.txt", "z.txt"}));
    EXPECT_EQ(read(root + "z.txt"), "A");
    EXPECT_TRUE(prompts.shown.isEmpty());

    const struct {
        QString name;
        QString message;
    } refused[] = {
        {"z.txt", "对不起，该文件已经存在！"},
        {"sub", "对不起，该文件已经存在！"},
        {"../out.txt", "对不起，文件名称不能包含路径分隔符！"},
        {"sub\\b.txt", "对不起，文件名称不能包含路径分隔符！"},
    };
    for (const auto &r : refused) {
        prompts.clear();
        EXPECT_FALSE(m->rename(1, r.name)) << r.name.toStdString();
        EXPECT_EQ(prompts.texts(), QStringList({r.message})) << r.name.toStdString();
    }
    EXPECT_EQ(read(root + "b.txt"), "B");
    EXPECT_EQ(read(root + "z.txt"), "A");
    EXPECT_FALSE(QFileInfo::exists(home.path("out.txt")));
}

TEST_F(ToolsTest, NewFileAsksForNameAndTypeAndNeverEmptiesAFile)
{
    const QString dir = DocumentFolders::customer("C001");
    ASSERT_TRUE(touch(dir + "报价.doc", "old content"));
    TfrmNewFile dlg(dir);
    const auto ok = [&](const QString &name, int type) {
        prompts.clear();
        dlg.fileName()->setText(name);
        dlg.fileType()->setCurrentIndex(type);
        dlg.BtnOkClick();
        return prompts.texts();
    };

    EXPECT_EQ(dlg.fileType()->currentIndex(), -1);
    EXPECT_EQ(ok("", 0), QStringList({"请输入需要创建的文件名称！"}));
    EXPECT_EQ(ok("报价", -1), QStringList({"请选择需要创建的文件的类型！"}));
    EXPECT_EQ(ok("../escape", 0), QStringList({"对不起，文件名称不能包含路径分隔符！"}));
    EXPECT_EQ(ok("sub\\x", 0), QStringList({"对不起，文件名称不能包含路径分隔符！"}));
    EXPECT_EQ(ok("报价", 1), QStringList({"对不起，该文件已经存在！"}));
    EXPECT_EQ(read(dir + "报价.doc"), "old content");
    EXPECT_FALSE(QFileInfo::exists(docs("escape.txt")));

    EXPECT_EQ(ok("报价", 0), QStringList());
    EXPECT_EQ(ok("报价", 2), QStringList());
    EXPECT_EQ(read(dir + "报价.txt"), "");
    EXPECT_EQ(dlg.fileList()->model()->names(), QStringList({"报价.doc", "报价.txt", "报价.xls"}));

    dlg.BtnNewClick();
    EXPECT_TRUE(dlg.fileName()->text().isEmpty());
}

TEST_F(ToolsTest, NewFileInAFolderThatCannotBeWrittenShowsTheSystemsReason)
{
    const QString dir = DocumentFolders::customer("C002");
    TfrmNewFile dlg(dir);
    ASSERT_TRUE(QDir(dir).removeRecursively()); // gone meanwhile
    dlg.fileName()->setText("note");
    dlg.fileType()->setCurrentIndex(0);
    dlg.BtnOkClick();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, "warn");
    EXPECT_FALSE(prompts.last().isEmpty());
}

TEST_F(ToolsTest, ChoosingAFolderInTheDialogsMovesThePanel)
{
    TfrmTools panel;
    const QString target = DocumentFolders::plans();
    TfrmNewFile dlg(panel.folder());
    QObject::connect(&dlg, &TfrmNewFile::folderChosen, &panel, &TfrmTools::setFolder);
    dlg.chooseFolder(target);
    EXPECT_EQ(panel.folder(), target);
    EXPECT_EQ(dlg.fileList()->folder(), target);
}

TEST_F(ToolsTest, PastingCopiesOrMovesAndNeverOverwrites)
{
    const QString from = DocumentFolders::customer("C001");
    const QString to = DocumentFolders::customer("C002");
    ASSERT_TRUE(touch(from + "a.txt", "source"));
    ASSERT_TRUE(touch(from + "b.txt", "second source"));
    ASSERT_TRUE(touch(to + "b.txt", "target"));

    for (auto mode : {TfrmPasteFile::Mode::Copy, TfrmPasteFile::Mode::Cut}) {
        const bool cut = mode == TfrmPasteFile::Mode::Cut;
        SCOPED_TRACE(cut ? "cut" : "copy");
        TfrmPasteFile dlg(mode, to);
        EXPECT_EQ(dlg.windowTitle(), cut ? "剪切文件" : "复制文件");
        prompts.clear();
        dlg.BtnPasteClick();
        EXPECT_EQ(prompts.texts(), QStringList({"请选择源文件！"}));

        // Onto an existing name: both files as they were, in cut mode too.
        prompts.clear();
        prompts.fileNames = {from + "b.txt"};
        dlg.BtnSourceClick();
        dlg.BtnPasteClick();
        EXPECT_EQ(prompts.texts(), QStringList({dlg.windowTitle(), "对不起，目标文件夹中已存在同名文件！"}));
        EXPECT_EQ(read(from + "b.txt"), "second source");
        EXPECT_EQ(read(to + "b.txt"), "target");

        // Onto itself: the same refusal, the source not lost.
        TfrmPasteFile self(mode, from);
        prompts.clear();
        prompts.fileNames = {from + "b.txt"};
        self.BtnSourceClick();
        self.BtnPasteClick();
        EXPECT_EQ(prompts.last(), "对不起，目标文件夹中已存在同名文件！");
        EXPECT_EQ(read(from + "b.txt"), "second source");
    }

    TfrmPasteFile copy(TfrmPasteFile::Mode::Copy, to);
    prompts.clear();
    prompts.fileNames = {from + "a.txt"};
    copy.BtnSourceClick();
    copy.BtnPasteClick();
    EXPECT_EQ(read(to + "a.txt"), "source");
    EXPECT_EQ(read(from + "a.txt"), "source");
    EXPECT_EQ(copy.fileList()->model()->names(), QStringList({"a.txt", "b.txt"}));

    const QString third = DocumentFolders::customer("C003");
    TfrmPasteFile cut(TfrmPasteFile::Mode::Cut, third);
    prompts.clear();
    prompts.fileNames = {from + "a.txt"};
    cut.BtnSourceClick();
    cut.BtnPasteClick();
    EXPECT_EQ(read(third + "a.txt"), "source");
    EXPECT_FALSE(QFileInfo::exists(from + "a.txt"));
    EXPECT_EQ(prompts.texts(), QStringList({"剪切文件"}));
}

TEST_F(ToolsTest, AFailedCopyShowsTheSystemsReasonAndACutKeepsItsSource)
{
    const QString from = DocumentFolders::customer("C001");
    ASSERT_TRUE(touch(from + "a.txt", "source"));
    TfrmPasteFile cut(TfrmPasteFile::Mode::Cut, docs("gone"));
    prompts.fileNames = {from + "a.txt"};
    cut.BtnSourceClick();
    prompts.clear();
    cut.BtnPasteClick(); // the target folder does not exist
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, "warn");
    EXPECT_FALSE(prompts.last().isEmpty());
    EXPECT_EQ(read(from + "a.txt"), "source");
}

TEST_F(ToolsTest, ThePanelStartsAtTheRootAndGoesUpAndBack)
{
    TfrmTools panel;
    EXPECT_EQ(panel.windowTitle(), "文件及工具栏");
    EXPECT_EQ(panel.folder(), DocumentFolders::root());
    panel.goUp();
    EXPECT_EQ(panel.folder(), home.path("") + "/");
    QDir(DocumentFolders::root()).removeRecursively();
    panel.goRoot();
    EXPECT_EQ(panel.folder(), DocumentFolders::root());
    EXPECT_TRUE(QFileInfo(docs()).isDir());
    EXPECT_EQ(logLines(), QStringList({"文件管理-向上", "文件管理-文件根目录"}));
}

TEST_F(ToolsTest, ClosingThePanelTellsTheMainWindow)
{
    TfrmTools panel;
    QList<bool> seen;
    QObject::connect(&panel, &TfrmTools::visibilityChanged, [&](bool v) { seen << v; });
    panel.show();
    panel.close();
    EXPECT_EQ(seen, QList<bool>({true, false}));
}

TEST_F(ToolsTest, TheMainWindowShowsThePanelAndItsTickFollowsAClose)
{
    TfrmMain main;
    main.setDataModule(&dm);
    main.show();
    main.createToolsPanel();
    TfrmTools *panel = main.toolsPanel();
    ASSERT_NE(panel, nullptr);
    QAction *tick = main.action("Act_Tools");
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(tick->isChecked());
    EXPECT_EQ(panel->folder(), DocumentFolders::root());

    panel->close(); // its title-bar button
    EXPECT_FALSE(tick->isChecked());
    EXPECT_FALSE(main.toolsPanelVisible());
    tick->trigger();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(tick->isChecked());
    main.setToolsPanelVisible(false); // a module hides it
    EXPECT_FALSE(tick->isChecked());
}

TEST_F(ToolsTest, EnvelopeLabelsNeedRight503)
{
    ASSERT_EQ(t->db().exec("INSERT INTO tblUser (UserID, UserName) VALUES ('Zhang', 'Zhang')"), "");
    for (const bool holds : {false, true}) {
        SCOPED_TRACE(holds);
        if (holds) {
            ASSERT_EQ(t->db().exec("INSERT INTO tblUserRight (UserID, RightID) VALUES ('Zhang', '503')"), "");
        }
        Session::current().reset();
        Session::current().logIn("Zhang", false);
        ASSERT_EQ(UserRights::current().load(t->db(), "Zhang"), ""); // as the main window does at the login
        TfrmTools panel;
        int requested = 0;
        QObject::connect(&panel, &TfrmTools::envelopeLabelsRequested, [&] { ++requested; });
        prompts.clear();
        panel.runEnvelopeLabels();
        EXPECT_EQ(prompts.texts(), holds ? QStringList() : QStringList({"对不起，您不能使用信封标签打印功能！"}));
        EXPECT_EQ(requested, holds ? 1 : 0);
    }
    // Only the user holding the right leaves a line.
    EXPECT_EQ(logLines(), QStringList({"工具-信封标签"}));
}

} // namespace
