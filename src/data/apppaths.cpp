#include "data/apppaths.h"
#include "data/privatefiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString withSlash(QString dir)
{
    dir = QDir::cleanPath(QDir(dir).absolutePath());
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString programDir() { return QCoreApplication::applicationDirPath(); }

// Where an installed program's shipped files are, seen from its bin folder.
QString installedShippedDir() { return QDir(programDir()).filePath(QStringLiteral(BREVIA_SHIPPED_FROM_BIN)); }

bool isInstalled()
{
    const QString shipped = QDir::cleanPath(installedShippedDir());
    return shipped != QDir::cleanPath(programDir()) && QFileInfo(shipped).isDir();
}

} // namespace

namespace AppPaths {

QString chooseApplicationDirectory(const Situation &s)
{
    if (!s.breviaHome.isEmpty())
        return withSlash(s.breviaHome);
    // Root may write into /usr/bin; that still is no place for an agency's data.
    if (s.programDirWritable && !s.installed)
        return withSlash(s.programDir);
    return withSlash(s.userDataDir + QStringLiteral("/Brevia"));
}

QString applicationDirectory()
{
    Situation s;
    s.breviaHome = qEnvironmentVariable("BREVIA_HOME");
    s.programDir = programDir();
    if (s.breviaHome.isEmpty()) {
        s.programDirWritable = ::access(QFile::encodeName(s.programDir).constData(), W_OK) == 0;
        s.installed = isInstalled();
        s.userDataDir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        if (s.userDataDir.isEmpty())
            s.userDataDir = QDir::homePath() + QStringLiteral("/.local/share");
    }
    const QString dir = chooseApplicationDirectory(s);
    // The user's own folder is made on first use: Server.txt is written
    // into it before anything else has made it.
    if (s.breviaHome.isEmpty() && dir.startsWith(withSlash(s.userDataDir)))
        PrivateFiles::makeFolder(dir);
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

QString shippedDirectory()
{
    return withSlash(isInstalled() ? installedShippedDir() : programDir());
}

QString shippedPath(const QString &relative)
{
    return shippedDirectory() + relative;
}

QString findData(const QString &relative)
{
    const QString own = path(relative);
    if (QFileInfo::exists(own))
        return own;
    const QString shipped = shippedPath(relative);
    // Missing from both: the agency's own place is where to put it.
    return QFileInfo::exists(shipped) ? shipped : own;
}

QString helperProgram(const QString &name)
{
    const QString beside = QDir(programDir()).filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    return QDir::cleanPath(QDir(programDir()).filePath(QStringLiteral(BREVIA_LIBEXEC_FROM_BIN) + QLatin1Char('/') + name));
}

} // namespace AppPaths

namespace PrivateFiles {

bool makeFolder(const QString &dir)
{
    const QString clean = QDir::cleanPath(QDir(dir).absolutePath());
    if (QFileInfo(clean).isDir())
        return true;
    // The missing folders from the top down; mkdir's mode is what a new
    // folder gets, so there is no moment when it is open to others.
    QStringList missing;
    for (QString p = clean; !p.isEmpty() && !QFileInfo::exists(p); p = QFileInfo(p).path()) {
        missing.prepend(p);
        if (p == QFileInfo(p).path())
            break;
    }
    for (const QString &p : std::as_const(missing))
        if (::mkdir(QFile::encodeName(p).constData(), 0700) != 0 && errno != EEXIST)
            return false;
    return QFileInfo(clean).isDir();
}

bool makeFile(const QString &file)
{
    return ::chmod(QFile::encodeName(file).constData(), 0600) == 0;
}

} // namespace PrivateFiles
