// Where the system's files are: the application directory (the agency's
// data) and the shipped directory (what comes with the program).
#include "data/apppaths.h"
#include "testlib/apphome.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>

TEST(AppPaths, TheApplicationDirectoryRule)
{
    struct Case {
        const char *what;
        AppPaths::Situation s;
        QString expected;
    };
    const QString bin = "/usr/bin", build = "/home/clerk/brevia/build", users = "/home/clerk/.local/share";
    const Case cases[] = {
        {"a build folder", {"", build, true, false, users}, build + "/"},
        {"a copied folder on a share others may not write", {"", "/mnt/share/brevia", false, false, users},
         users + "/Brevia/"},
        {"installed, a clerk", {"", bin, false, true, users}, users + "/Brevia/"},
        {"installed, root may write to /usr/bin", {"", bin, true, true, "/root/.local/share"}, "/root/.local/share/Brevia/"},
        {"BREVIA_HOME wins over an installed layout", {"/srv/agency", bin, false, true, users}, "/srv/agency/"},
        {"BREVIA_HOME wins over a build folder", {"/srv/agency/", build, true, false, users}, "/srv/agency/"},
        {"a home given untidily", {"/srv//agency/./data/..", build, true, false, users}, "/srv/agency/"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(AppPaths::chooseApplicationDirectory(c.s), c.expected);
    }
}

TEST(AppPaths, ABuildRunsFromItsOwnFolder)
{
    qunsetenv("BREVIA_HOME");
    const QString here = QCoreApplication::applicationDirPath() + "/";
    EXPECT_EQ(AppPaths::applicationDirectory(), here);
    EXPECT_EQ(AppPaths::shippedDirectory(), here);
    EXPECT_EQ(AppPaths::helperProgram("brevia-legacy-reader"), here + "brevia-legacy-reader");
}

TEST(AppPaths, AnAgencysOwnCopyWinsOverTheShippedFile)
{
    AppHome home;
    const QString shipped = QCoreApplication::applicationDirPath() + "/";
    EXPECT_EQ(AppPaths::shippedDirectory(), shipped) << "BREVIA_HOME moves the data, not the program";
    EXPECT_EQ(AppPaths::findData("Data/Report/frCustomers.frf"), shipped + "Data/Report/frCustomers.frf");
    ASSERT_TRUE(QDir().mkpath(home.path("Data/Report")));
    ASSERT_TRUE(home.write("Data/Report/frCustomers.frf", "<report version=\"1\"/>"));
    EXPECT_EQ(AppPaths::findData("Data/Report/frCustomers.frf"), home.path("Data/Report/frCustomers.frf"));
    EXPECT_EQ(AppPaths::findData("Data/Report/frOperates.frf"), shipped + "Data/Report/frOperates.frf");
    EXPECT_EQ(AppPaths::findData("Data/Report/frNothing.frf"), home.path("Data/Report/frNothing.frf"));
}
