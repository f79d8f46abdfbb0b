#include "data/dbsetup.h"

#include "data/apppaths.h"
#include "data/database.h"
#include "data/databasebuild.h"
#include "data/schema.h"
#include "data/startupconnection.h"
#include "data/tabledef.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QUrl>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

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

namespace {

std::unique_ptr<Database> createDatabase(const QString &location, QString *error, bool complete)
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
        *error = QStringLiteral("数据库中已有本系统的数据表，拒绝覆盖：%1").arg(StartupConnection::shownLocation(location));
        return nullptr;
    }
    if (db) {
        // One transaction: the tables and, for a database still to be
        // filled, the mark that it is not whole yet.
        Transaction tx(*db);
        err = tx.error();
        if (err.isEmpty())
            err = Schema::create(*db);
        if (err.isEmpty() && !complete)
            err = db->exec(QStringLiteral("UPDATE %1 SET Version = %2").arg(Schema::kVersionTable).arg(-Schema::kVersion));
        if (err.isEmpty())
            err = tx.commit();
    }
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

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

void syncPath(const QString &path, bool directory)
{
    const int fd = ::open(QFile::encodeName(path).constData(), directory ? (O_RDONLY | O_DIRECTORY) : O_RDONLY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

std::unique_ptr<Database> create(const QString &location, QString *error)
{
    return createDatabase(location, error, true);
}

Build::Build(QString location) : m_location(std::move(location)) {}

Build::~Build()
{
    if (m_started && !m_finished)
        abandon();
}

Database *Build::start(QString *error)
{
    QString where = m_location;
    if (!Database::isPostgresUri(m_location)) {
        if (QFileInfo::exists(m_location)) {
            *error = QStringLiteral("数据库文件已存在，拒绝覆盖：%1").arg(m_location);
            return nullptr;
        }
        const QFileInfo fi(m_location);
        m_buildPath = fi.absolutePath()
            + QStringLiteral("/.%1.%2.building").arg(fi.fileName()).arg(QCoreApplication::applicationPid());
        where = m_buildPath;
        for (const char *suffix : {"", "-wal", "-shm", "-journal"})
            QFile::remove(m_buildPath + QLatin1String(suffix));
    }
    m_db = createDatabase(where, error, false);
    m_started = m_db != nullptr;
    return m_db.get();
}

QString Build::finish()
{
    if (!m_db)
        return QStringLiteral("数据库没有新建");
    const QString mark = QStringLiteral("UPDATE %1 SET Version = %2 WHERE Version = %3")
                             .arg(Schema::kVersionTable)
                             .arg(Schema::kVersion)
                             .arg(-Schema::kVersion);
    if (const QString err = m_db->exec(mark); !err.isEmpty())
        return err;
    if (m_buildPath.isEmpty()) {
        m_finished = true;
        m_db.reset();
        return {};
    }
    // Closing folds the WAL back into the file, which then stands alone.
    m_db.reset();
    syncPath(m_buildPath, false);
    const QByteArray from = QFile::encodeName(m_buildPath), to = QFile::encodeName(m_location);
    // A link never replaces a file that appeared there meanwhile.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
    } else if (errno == EEXIST) {
        return QStringLiteral("数据库文件已存在，拒绝覆盖：%1").arg(m_location);
    } else if (QFileInfo::exists(m_location) || ::rename(from.constData(), to.constData()) != 0) {
        // A file system without hard links takes a rename; the name was
        // free a moment ago.
        return QStringLiteral("无法把新数据库放到 %1：%2").arg(m_location, systemError());
    }
    syncPath(QFileInfo(m_location).absolutePath(), true);
    m_finished = true;
    return {};
}

void Build::abandon()
{
    if (m_buildPath.isEmpty()) {
        // Only what this build made: the tables of the system.
        if (!m_db)
            m_db = Database::open(m_location, nullptr);
        if (!m_db)
            return;
        m_db->rollback();
        for (const TableDef &t : Schema::tables())
            m_db->exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(t.name()));
        m_db->exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(Schema::kVersionTable));
        m_db.reset();
        return;
    }
    m_db.reset();
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(m_buildPath + QLatin1String(suffix));
}

std::unique_ptr<Database> openExisting(const QString &location, QString *error)
{
    auto db = Database::open(location, error);
    if (!db)
        return nullptr;
    // The program makes no trigger or view: one in a file comes from
    // elsewhere and would run with every store of every user.
    if (!db->isPostgres()) {
        QSqlQuery q(db->sql());
        if (q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('trigger', 'view') ORDER BY name"))
            && q.next()) {
            *error = QStringLiteral("数据库中有不属于本系统的触发器或视图（%1），为安全起见不能使用")
                         .arg(q.value(0).toString());
            return nullptr;
        }
    }
    const QString err = Schema::migrate(*db);
    if (!err.isEmpty()) {
        *error = err;
        return nullptr;
    }
    return db;
}

} // namespace DbSetup
