// Test programs run with a real QApplication on the offscreen platform.
#include "data/passwordtestcost.h"
#include "rules/businessrules.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    }
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 10));
    ::testing::InitGoogleTest(&argc, argv);
    // Every test database hashes a password; the shipped cost is checked
    // against the real brevia-admin program instead.
    Password::useMinimumCostForTests();
    // Every data module a test makes holds the tables' rules, as the
    // program's does.
    installBusinessRulesOnNewModules();
    const int rc = RUN_ALL_TESTS();
    TempDatabase::dropTemplate();
    return rc;
}
