#include "data/startupconnection.h"

#include "data/apppaths.h"
#include "data/database.h"
#include "data/dbsetup.h"
#include "data/serverfile.h"

#include <QFile>
#include <QSaveFile>
#include <QUrl>

namespace {

// The first line as it stands, without creating the file.
QString currentLine()
{
    QFile f(AppPaths::serverFile());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString line = QString::fromUtf8(f.readLine());
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line;
}

void keepBackup(const QString &line)
{
    QSaveFile f(AppPaths::serverFile() + QStringLiteral(".bak"));
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(line.toUtf8());
    f.write("\n");
    f.commit();
}

} // namespace

namespace StartupConnection {

QString shownLocation(const QString &location)
{
    if (!Database::isPostgresUri(location))
        return location;
    QUrl url(location.trimmed());
    if (!url.isValid())
        return QStringLiteral("postgresql://…");
    return url.toString(QUrl::RemovePassword);
}

QString failureText(const QString &location, const QString &reason)
{
    return QStringLiteral("对不起，无法连接数据库：") + shownLocation(location) + QLatin1Char('\n') + reason;
}

std::unique_ptr<Database> open(QString *message)
{
    QString error;
    const QString line = ServerFile::read(&error);
    const QString location = DbSetup::resolveLocation(line);
    std::unique_ptr<Database> db;
    if (error.isEmpty() && location.isEmpty())
        error = QStringLiteral("Server.txt 的第一行是空的");
    if (error.isEmpty())
        db = DbSetup::openExisting(location, &error);
    if (db)
        return db;
    const QString text = giveUp(location.isEmpty() ? AppPaths::serverFile() : location, error);
    if (message)
        *message = text;
    return nullptr;
}

QString makeDefaultDatabaseOnFirstStart()
{
    const QString location = AppPaths::defaultDatabasePath();
    if (QFile::exists(AppPaths::serverFile()) || QFile::exists(location))
        return {};
    QString error;
    if (DbSetup::create(location, &error))
        return {};
    return QStringLiteral("对不起，无法新建数据库：") + location + QLatin1Char('\n') + error;
}

QString giveUp(const QString &location, const QString &reason)
{
    keepBackup(currentLine());
    ServerFile::resetToDefault();
    return failureText(location, reason);
}

} // namespace StartupConnection
