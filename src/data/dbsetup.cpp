#include "data/dbsetup.h"

#include "data/apppaths.h"
#include "data/database.h"
#include "data/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace {

// A PostgreSQL database named in the URI is created when the server has
// none of that name, through the maintenance database.
QString createPostgresDatabase(const QString &location)
{
    QUrl url(location);
    QString name = url.path().mid(1);
    if (name.isEmpty())
        return QStringLiteral("地址中缺少数据库名");
    url.setPath(QStringLiteral("/postgres"));
    QString err;
    auto admin = Database::open(url.toString(), &err);
    if (!admin)
        return err;
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return admin->exec(QStringLiteral("CREATE DATABASE \"%1\" ENCODING 'UTF8' TEMPLATE template0").arg(quoted));
}

} // namespace

namespace DbSetup {

QString resolveLocation(const QString &line)
{
    const QString l = line.trimmed();
    if (l.isEmpty() || Database::isPostgresUri(l))
        return l;
    QString path = l;
    // Old installations wrote Windows separators.
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isRelativePath(path))
        path = AppPaths::applicationDirectory() + path;
    return QDir::cleanPath(path);
}

std::unique_ptr<Database> create(const QString &location, QString *error)
{
    QString err;
    std::unique_ptr<Database> db;
    bool madeFile = false;
    if (Database::isPostgresUri(location)) {
        db = Database::open(location, &err);
        if (!db && err.contains(QLatin1String("does not exist"))) {
            err = createPostgresDatabase(location);
            if (err.isEmpty())
                db = Database::open(location, &err);
        }
    } else {
        if (QFileInfo::exists(location)) {
            *error = QStringLiteral("数据库文件已存在，拒绝覆盖：%1").arg(location);
            return nullptr;
        }
        db = Database::open(location, &err, true);
        madeFile = true;
    }
    if (db && Schema::hasAnyTable(*db)) {
        *error = QStringLiteral("数据库中已有本系统的数据表，拒绝覆盖：%1").arg(location);
        return nullptr;
    }
    if (db)
        err = Schema::create(*db);
    if (!err.isEmpty()) {
        *error = err;
        db.reset();
        if (madeFile) {
            QFile::remove(location);
            QFile::remove(location + QStringLiteral("-wal"));
            QFile::remove(location + QStringLiteral("-shm"));
        }
        return nullptr;
    }
    return db;
}

std::unique_ptr<Database> openExisting(const QString &location, QString *error)
{
    auto db = Database::open(location, error);
    if (!db)
        return nullptr;
    const QString err = Schema::migrate(*db);
    if (!err.isEmpty()) {
        *error = err;
        return nullptr;
    }
    return db;
}

} // namespace DbSetup
