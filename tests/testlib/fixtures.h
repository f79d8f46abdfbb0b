#pragma once

#include <QDir>
#include <QFileInfo>
#include <QString>

// The shared test data lives outside the repository, beside it. The
// environment variable BREVIA_FIXTURES names another place; the folder
// seen at build time comes next.
inline QString fixturePath(const QString &relative)
{
    QStringList roots;
    if (!qEnvironmentVariableIsEmpty("BREVIA_FIXTURES"))
        roots << qEnvironmentVariable("BREVIA_FIXTURES");
#ifdef BREVIA_FIXTURES
    roots << QStringLiteral(BREVIA_FIXTURES);
#endif
    for (const QString &root : roots) {
        const QString p = QDir(root).filePath(relative);
        if (QFileInfo::exists(p))
            return QDir::cleanPath(p);
    }
    return {};
}

// Skips a test, saying so loudly, when the shared data is not there.
#define REQUIRE_FIXTURE(var, relative)                                                                       \
    const QString var = fixturePath(relative);                                                                \
    if (var.isEmpty())                                                                                        \
    GTEST_SKIP() << "shared fixture missing: " << QString(relative).toStdString()                             \
                 << " (set BREVIA_FIXTURES to the folder that holds it)"
