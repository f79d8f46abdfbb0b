// The system log: WriteLog, the viewer's clearing and its INI export.
#include "admin/tfrmsyslog.h"
#include "data/database.h"
#include "data/inifile.h"
#include "data/session.h"
#include "data/writelog.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/tempdatabase.h"
#include "ui/logcommand.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QDir>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTableView>

namespace {

class SysLogTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(GetParam());
        Session::current().logIn("Admin", true);
    }
    void TearDown() override { Session::current().reset(); }

    QStringList rows()
    {
        QStringList l;
        QSqlQuery q(t->db().sql());
        q.exec("SELECT LogDateTime, UserID, Operate FROM tblLog ORDER BY LogID");
        while (q.next())
            l << q.value(0).toString() + "|" + q.value(1).toString() + "|" + q.value(2).toString();
        return l;
    }
    QStringList ids()
    {
        QStringList l;
        QSqlQuery q(t->db().sql());
        q.exec("SELECT LogID FROM tblLog ORDER BY LogID");
        while (q.next())
            l << q.value(0).toString();
        return l;
    }

    AppHome home;
    FakePrompts prompts;
    FixedClock clock{QDateTime(QDate(2026, 3, 5), QTime(8, 7, 9))};
    std::unique_ptr<TempDatabase> t;
};

TEST_P(SysLogTest, WriteLogUsesOneFixedTimeFormAndTheCurrentUser)
{
    EXPECT_EQ(WriteLog(t->db(), "客户业务管理-客户资料-保存"), "");
    clock.set(QDateTime(QDate(2026, 12, 25), QTime(23, 59, 0)));
    Session::current().logIn("Zhang", false);
    EXPECT_TRUE(logCommand(t->db(), "系统设置-口令设置"));
    EXPECT_EQ(rows(), QStringList({"2026-3-5 8:07:09|Admin|客户业务管理-客户资料-保存",
                                   "2026-12-25 23:59:00|Zhang|系统设置-口令设置"}));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_P(SysLogTest, AFailedLineShowsTheDatabaseTextAndStopsTheCommand)
{
    ASSERT_EQ(t->db().exec("DROP TABLE tblLog"), "");
    const QString error = WriteLog(t->db(), "系统设置-数据备份");
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(logCommand(t->db(), "系统设置-数据备份"));
    EXPECT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, "warn");
    EXPECT_TRUE(prompts.last().startsWith("数据库错误：")) << prompts.last().toStdString();
}

TEST_P(SysLogTest, TheViewerListsAndClearsTheLogOfAllWorkstations)
{
    auto other = t->openAnother();
    ASSERT_EQ(WriteLog(t->db(), "系统设置-系统日志"), "");
    ASSERT_EQ(WriteLog(*other, "工具-计算器"), "");
    TfrmSysLog dlg(t->db());
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "系统日志");
    ASSERT_EQ(dlg.rowCount(), 2);
    const QAbstractItemModel *m = dlg.grid()->model();
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "日志编号");
    EXPECT_EQ(m->headerData(3, Qt::Horizontal).toString(), "操作内容");
    EXPECT_EQ(m->index(1, 3).data().toString(), "工具-计算器");
    EXPECT_EQ(m->index(1, 1).data().toString(), "2026-3-5 8:07:09");

    dlg.BtnClearClick();
    EXPECT_EQ(dlg.rowCount(), 0); // its own line went with the rest
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_TRUE(prompts.shown.isEmpty()); // no question is asked
    ASSERT_EQ(WriteLog(*other, "工具-日历"), "");
    EXPECT_EQ(rows(), QStringList{"2026-3-5 8:07:09|Admin|工具-日历"});
}

TEST_P(SysLogTest, ExportMergesIntoTheLogFileSection)
{
    // A file written earlier, edited by hand, with another section.
    const QByteArray before = "; kept\r\n[Other]\r\nA=1\r\n\r\n[logfile]\r\n1=old value\r\n999999=kept line\r\n\r\n"
                              "[Tail]\r\nB=2\r\n";
    ASSERT_TRUE(QDir().mkpath(home.path("Log")));
    ASSERT_TRUE(home.write("Log/log.ini", before));
    // Row numbers start at 1 on a fresh database on both engines.
    ASSERT_EQ(WriteLog(t->db(), "系统设置-系统日志"), "");
    TfrmSysLog dlg(t->db());
    dlg.show();
    prompts.fileNames = {home.path("Log/log")}; // the default extension is added
    dlg.BtnSaveClick();
    EXPECT_EQ(prompts.texts(), QStringList{"保存日志"});
    EXPECT_TRUE(dlg.isVisible());
    const QStringList id = ids();
    ASSERT_EQ(id.size(), 2);
    EXPECT_EQ(id[0], "1");
    const QByteArray first = home.read("Log/log.ini");
    EXPECT_EQ(QString::fromUtf8(first),
              "; kept\r\n[Other]\r\nA=1\r\n\r\n[logfile]\r\n1=2026-3-5 8:07:09 Admin 系统设置-系统日志\r\n"
              "999999=kept line\r\n2=2026-3-5 8:07:09 Admin 系统设置-系统日志-保存日志\r\n\r\n[Tail]\r\nB=2\r\n");

    // Again into the same file: one entry per LogID, the newest values.
    clock.set(QDateTime(QDate(2026, 3, 6), QTime(9, 0, 0)));
    prompts.fileNames = {home.path("Log/log.ini")};
    dlg.BtnSaveClick();
    const QString again = QString::fromUtf8(home.read("Log/log.ini"));
    EXPECT_EQ(again.count("\n1="), 1);
    EXPECT_EQ(again.count("\n2="), 1);
    EXPECT_TRUE(again.contains("\r\n3=2026-3-6 9:00:00 Admin 系统设置-系统日志-保存日志\r\n\r\n[Tail]"));

    // Cancelled: nothing but the line of the command.
    prompts.fileNames = {QString()};
    const QByteArray kept = home.read("Log/log.ini");
    dlg.BtnSaveClick();
    EXPECT_EQ(home.read("Log/log.ini"), kept);
    EXPECT_EQ(ids().size(), 4);
    EXPECT_EQ(rows().last(), "2026-3-6 9:00:00|Admin|系统设置-系统日志-保存日志");
}

TEST_P(SysLogTest, AnExportThatCannotBeWrittenSaysSo)
{
    TfrmSysLog dlg(t->db());
    prompts.fileNames = {home.path("no/such/folder/log.ini")};
    dlg.BtnSaveClick();
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[1].kind, "warn");
    EXPECT_TRUE(prompts.last().startsWith("对不起，无法写入文件：" + home.path("no/such/folder/log.ini") + "\n"));
}

INSTANTIATE_TEST_SUITE_P(Engines, SysLogTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

TEST(IniFile, MergeCases)
{
    struct Case {
        const char *name;
        QByteArray before;
        IniFile::Entries entries;
        QByteArray after;
    };
    QStringEncoder gbk("GB18030");
    const QByteArray oldAnsi = "[LogFile]\r\n1=" + QByteArray(gbk.encode(QStringLiteral("旧的"))) + "\r\n";
    const QVector<Case> cases = {
        {"a new file", "", {{"1", "a"}, {"2", "b"}}, "[LogFile]\r\n1=a\r\n2=b\r\n"},
        {"the section is added after other content", "x=1\n[A]\ny=2", {{"1", "a"}},
         "x=1\r\n[A]\r\ny=2\r\n[LogFile]\r\n1=a\r\n"},
        {"names match without regard to case", "[LOGFILE]\r\nAbc=1\r\n", {{"aBC", "2"}}, "[LOGFILE]\r\naBC=2\r\n"},
        {"a key given twice is written once", "", {{"1", "a"}, {"1", "b"}}, "[LogFile]\r\n1=b\r\n"},
        {"values stay on one line", "", {{"1", "a\r\nb"}}, "[LogFile]\r\n1=a  b\r\n"},
        {"comments and blank lines stay", "[LogFile]\r\n; note\r\n1=a\r\n\r\n\r\n[B]\r\n", {{"2", "b"}},
         "[LogFile]\r\n; note\r\n1=a\r\n2=b\r\n\r\n\r\n[B]\r\n"},
        {"an old export in the ANSI code page", oldAnsi, {{"2", "新"}}, "[LogFile]\r\n1=旧的\r\n2=新\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(QString::fromUtf8(IniFile::merge(c.before, "LogFile", c.entries)), QString::fromUtf8(c.after));
    }
}

} // namespace
