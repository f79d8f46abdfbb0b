#include "data/apppaths.h"

#include <QCoreApplication>
#include <QDir>

namespace AppPaths {

QString applicationDirectory()
{
    QString dir = qEnvironmentVariable("BREVIA_HOME");
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath();
    dir = QDir(dir).absolutePath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString path(const QString &relative)
{
    return applicationDirectory() + relative;
}

QString serverFile() { return path(QStringLiteral("Server.txt")); }
QString defaultDatabasePath() { return path(QStringLiteral("Data/HKP30.hdb")); }
QString reportDirectory() { return path(QStringLiteral("Data/Report/")); }
QString documentRoot() { return path(QStringLiteral("Files/")); }

} // namespace AppPaths
