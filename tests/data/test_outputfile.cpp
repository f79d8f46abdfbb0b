// Files written for the user arrive whole or not at all, and never over
// the database the program has open.
#include "data/database.h"
#include "data/outputfile.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// What a folder holds besides the given file: a temporary left behind.
QStringList othersIn(const QString &dir, const QString &except)
{
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeAll(except);
    return names;
}

TEST(OutputFile, WritesWholeOrLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    ASSERT_EQ(OutputFile::write(path, QByteArray("old")), "");
    ASSERT_EQ(OutputFile::write(path, QByteArray("new")), "");
    EXPECT_EQ(contents(path), "new");

    // A writer that fails halfway: the old file stays, nothing else is left.
    const QString failed = OutputFile::write(path, [](QIODevice &out, QString *reason) {
        out.write("half");
        *reason = "无法生成图片";
        return false;
    });
    EXPECT_EQ(failed, "对不起，无法写入文件：" + path + "\n无法生成图片");
    EXPECT_EQ(contents(path), "new");
    EXPECT_EQ(othersIn(dir.path(), "out.csv"), QStringList());

    // A disk that fills up: the write fails (here at a file-size limit),
    // the old file stays whole and the failure is said.
    struct rlimit before {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString full = OutputFile::write(path, QByteArray(100000, 'x'));
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(full.startsWith("对不起，无法写入文件：" + path + "\n")) << full.toStdString();
    EXPECT_EQ(contents(path), "new");
    EXPECT_EQ(othersIn(dir.path(), "out.csv"), QStringList());
}

TEST(OutputFile, RefusesTheOpenDatabaseFoldersAndDevices)
{
    TempDatabase t(Engine::SQLite);
    const QString db = t.location();
    const QByteArray before = contents(db);
    QTemporaryDir dir;
    const QString link = dir.filePath("link.pdf");
    ASSERT_TRUE(QFile::link(db, link));
    struct Case {
        QString path;
        const char *reason;
    };
    const Case cases[] = {
        {db, "这是当前正在使用的数据库文件"},
        {db + "-wal", "这是当前正在使用的数据库文件"},
        {db + "-shm", "这是当前正在使用的数据库文件"},
        {db + "-journal", "这是当前正在使用的数据库文件"},
        {link, "这是当前正在使用的数据库文件"},
        {QFileInfo(db).absolutePath() + "/./" + QFileInfo(db).fileName(), "这是当前正在使用的数据库文件"},
        {dir.path(), "这是一个文件夹"},
        {"/dev/full", "这不是普通文件"},
        {"/dev/null", "这不是普通文件"},
        {dir.filePath("no/such/folder/x.pdf"), ""},
    };
    for (const Case &c : cases) {
        const QString said = OutputFile::write(c.path, QByteArray("%PDF-1.4 x"));
        EXPECT_TRUE(said.startsWith("对不起，无法写入文件：" + QDir::toNativeSeparators(c.path) + "\n")) << said.toStdString();
        EXPECT_TRUE(said.endsWith(QString::fromUtf8(c.reason))) << said.toStdString();
    }
    EXPECT_EQ(contents(db), before);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo("/dev/full").exists() && !QFileInfo("/dev/full").isFile());

    // Once the database is closed its file is a file like any other.
    const QString copy = dir.filePath("copy.db");
    {
        auto other = Database::open(copy, nullptr, true);
        ASSERT_TRUE(other);
        EXPECT_NE(OutputFile::refusal(copy), "");
    }
    EXPECT_EQ(OutputFile::refusal(copy), "");
}

} // namespace
