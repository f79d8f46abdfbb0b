#include "data/startupconnection.h"

#include "data/apppaths.h"
#include "data/database.h"
#include "data/dbsetup.h"
#include "data/privatefiles.h"
#include "data/readonly.h"
#include "data/serverfile.h"

#include <QFile>
#include <QSaveFile>
#include <QUrl>
#include <QUrlQuery>

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
    const QString path = AppPaths::serverFile() + QStringLiteral(".bak");
    const bool existed = QFile::exists(path);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(line.toUtf8());
    f.write("\n");
    if (f.commit() && !existed)
        PrivateFiles::makeFile(path);
}

} // namespace

namespace StartupConnection {

QString shownLocation(const QString &location)
{
    const QString l = location.trimmed();
    if (!Database::isPostgresUri(l))
        return location;
    QUrl url(l);
    if (url.isValid()) {
        QUrlQuery query(url);
        query.removeAllQueryItems(QStringLiteral("password"));
        url.setQuery(query);
        return url.toString(QUrl::RemovePassword);
    }
    // Cut by hand: what follows the user name up to the last '@' may be
    // the password, and the options may name one too.
    const qsizetype scheme = l.indexOf(QLatin1String("://")) + 3;
    QString rest = l.mid(scheme);
    if (const qsizetype q = rest.indexOf(QLatin1Char('?')); q >= 0)
        rest.truncate(q);
    const qsizetype at = rest.lastIndexOf(QLatin1Char('@'));
    if (at < 0)
        return l.left(scheme) + rest;
    const qsizetype colon = rest.indexOf(QLatin1Char(':'));
    const QString user = rest.left(colon >= 0 && colon < at ? colon : at);
    return l.left(scheme) + user + rest.mid(at);
}

} // namespace StartupConnection

QString ReadOnly::startupText(const QString &location)
{
    return QStringLiteral("数据库文件是只读的：") + StartupConnection::shownLocation(location)
        + QStringLiteral("\n您只能查阅资料，不能保存任何修改。");
}

namespace StartupConnection {

QString failureText(const QString &location, const QString &reason)
{
    return QStringLiteral("对不起，无法连接数据库：") + shownLocation(location) + QLatin1Char('\n') + reason;
}

std::unique_ptr<Database> open(QString *message)
{
    QString error;
    const QString line = ServerFile::read(&error);
    // A line that could not be read or used is not shown as a location.
    const QString location = error.isEmpty() ? DbSetup::resolveLocation(line) : QString();
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
