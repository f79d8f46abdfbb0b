// Server settings: the new database is proven before anything changes.
#include "app/tfrmserver.h"
#include "data/database.h"
#include "data/dbsetup.h"
#include "data/session.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/stored.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSqlQuery>

namespace {

class ServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Session::current().logIn("Admin", true);
        QString err;
        current = DbSetup::create(home.path("Data/HKP30.hdb"), &err);
        ASSERT_TRUE(current) << err.toStdString();
        oldLine = (home.path("Data/HKP30.hdb") + "\n").toUtf8();
        ASSERT_TRUE(home.write("Server.txt", oldLine));
    }
    void TearDown() override { Session::current().reset(); }

    // Saves the given line; true when the window switched and closed.
    bool save(const QString &line)
    {
        TfrmServer dlg([this] { return current.get(); }, [this](std::unique_ptr<Database> db) {
            switched = std::move(db);
            return refusal;
        });
        dlg.show();
        EXPECT_EQ(dlg.pathBox()->text(), oldLine.trimmed()); // the current line is shown
        dlg.pathBox()->setText(line);
        dlg.BtnSaveClick();
        return !dlg.isVisible() && dlg.result() == QDialog::Accepted;
    }
    QStringList logOf(Database &db) { return Stored::logLines(db); }
    void expectNothingChanged()
    {
        EXPECT_FALSE(switched);
        EXPECT_EQ(home.read("Server.txt"), oldLine);
        EXPECT_TRUE(current->isOpen());
        EXPECT_EQ(logOf(*current), QStringList{"系统设置-服务器设置-保存"}); // written all the same
    }

    AppHome home;
    FakePrompts prompts;
    std::unique_ptr<Database> current;
    std::unique_ptr<Database> switched;
    QString refusal; // what the data module answers to the switch
    QByteArray oldLine;
};

TEST_F(ServerTest, AMissingFileChangesNothing)
{
    EXPECT_FALSE(save(home.path("Data/gone.hdb")));
    EXPECT_EQ(prompts.texts(), QStringList{"对不起，您设置的服务器中数据库文件不存在！"});
    expectNothingChanged();
}

TEST_F(ServerTest, AFileThatDoesNotOpenKeepsTheOldConnectionAndFile)
{
    // Written the way the old program would fail only after switching.
    ASSERT_TRUE(home.write("Data/broken.hdb", QByteArray(4096, 'x')));
    EXPECT_FALSE(save(home.path("Data/broken.hdb")));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, "warn");
    EXPECT_TRUE(prompts.last().startsWith("对不起，无法连接数据库：" + home.path("Data/broken.hdb") + "\n"));
    expectNothingChanged();
}

TEST_F(ServerTest, AGoodFileIsSwitchedTo)
{
    QString err;
    ASSERT_TRUE(DbSetup::create(home.path("share/HKP30.hdb"), &err));
    EXPECT_TRUE(save(home.path("share/HKP30.hdb")));
    EXPECT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, "inform");
    EXPECT_EQ(prompts.last(), "服务器设置成功！");
    ASSERT_TRUE(switched);
    EXPECT_EQ(switched->location(), home.path("share/HKP30.hdb"));
    EXPECT_EQ(home.read("Server.txt"), (home.path("share/HKP30.hdb") + "\n").toUtf8());
    EXPECT_EQ(logOf(*current), QStringList{"系统设置-服务器设置-保存"}); // on the old database
    EXPECT_TRUE(logOf(*switched).isEmpty());
}

TEST_F(ServerTest, ADatabaseTheDataModuleRefusesLeavesServerTxtAlone)
{
    QString err;
    ASSERT_TRUE(DbSetup::create(home.path("share/HKP30.hdb"), &err));
    refusal = "数据库错误：no such table: tblBoard";
    EXPECT_FALSE(save(home.path("share/HKP30.hdb")));
    EXPECT_EQ(prompts.texts(), QStringList{"对不起，无法连接数据库：" + home.path("share/HKP30.hdb") + "\n" + refusal});
    EXPECT_EQ(home.read("Server.txt"), oldLine);
}

TEST_F(ServerTest, APostgresUriIsTriedInsteadOfLookingForAFile)
{
    EXPECT_FALSE(save("postgresql://clerk:pw@127.0.0.1:1/agency"));
    EXPECT_EQ(prompts.texts(), QStringList{"对不起，服务器地址中不能写口令，请把口令放在 ~/.pgpass 或 PGPASSWORD 中！"});
    expectNothingChanged();

    prompts.clear();
    current->exec("DELETE FROM tblLog");
    EXPECT_FALSE(save("postgresql://clerk@127.0.0.1:1/agency"));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.last().startsWith("对不起，无法连接数据库：postgresql://clerk@127.0.0.1:1/agency\n"));
    expectNothingChanged();

    if (qEnvironmentVariableIsEmpty("BREVIA_TEST_PG"))
        return;
    TempDatabase pg(Engine::PostgreSQL);
    prompts.clear();
    EXPECT_TRUE(save(pg.location()));
    EXPECT_EQ(prompts.texts(), QStringList{"服务器设置成功！"});
    ASSERT_TRUE(switched);
    EXPECT_TRUE(switched->isPostgres());
    EXPECT_EQ(home.read("Server.txt"), (pg.location() + "\n").toUtf8());
    switched.reset();
}

TEST_F(ServerTest, BrowsingFillsThePathAndCancelLeavesIt)
{
    TfrmServer dlg([this] { return current.get(); }, [](std::unique_ptr<Database>) { return QString(); });
    prompts.fileNames = {home.path("share/other.hdb"), QString()};
    dlg.BtnBrowseClick();
    EXPECT_EQ(dlg.pathBox()->text(), home.path("share/other.hdb"));
    dlg.BtnBrowseClick(); // cancelled
    EXPECT_EQ(dlg.pathBox()->text(), home.path("share/other.hdb"));
    EXPECT_EQ(prompts.texts(), QStringList({"服务器数据库文件路径设置", "服务器数据库文件路径设置"}));
    EXPECT_TRUE(logOf(*current).isEmpty());
}

} // namespace
