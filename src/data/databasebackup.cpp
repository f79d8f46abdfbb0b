#include "data/databasebackup.h"

#include "data/apppaths.h"
#include "data/bulkinsert.h"
#include "data/clock.h"
#include "data/database.h"
#include "data/privatefiles.h"
#include "data/schema.h"
#include "data/tabledef.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cerrno>
#include <climits>
#include <chrono>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

const QString DatabaseBackup::kBackupDone = QStringLiteral("数据备份成功！");
const QString DatabaseBackup::kRestoreDone = QStringLiteral("数据恢复成功！");
const QString DatabaseBackup::kBackupFailed = QStringLiteral("对不起，数据备份失败：");
const QString DatabaseBackup::kRestoreFailed = QStringLiteral("对不起，数据恢复失败：");
const QString DatabaseBackup::kTargetIsLive = QStringLiteral("对不起，备份文件不能是当前正在使用的数据库文件！");
const QString DatabaseBackup::kSourceIsLive = QStringLiteral("对不起，不能用当前数据库文件恢复自身！");
const QString DatabaseBackup::kNotABackup = QStringLiteral("对不起，所选文件不是有效的数据库备份文件！");
const QString DatabaseBackup::kSourceMissing = QStringLiteral("对不起，您要恢复的数据库文件不存在！");
const QString DatabaseBackup::kDayCopyFailed = QStringLiteral("但当天的备份副本未能保存：");

QString DatabaseBackup::newerBackupText(int version)
{
    return QStringLiteral("对不起，该备份来自较新版本的程序（结构版本 %1），请先升级程序！").arg(version);
}

namespace {

const QString kFileName = QStringLiteral("HKP30.hdb");
// Other workstations hold the lock for a save at a time; a copy waits
// for them rather than failing at the first one.
constexpr int kLockWaitMs = 10000;
// Pages a restore step copies; between steps the caller hears how far it got.
constexpr int kPagesPerStep = 256;
QAtomicInt tempCounter;

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// A connection of SQLite's own library, closed when it goes. The backup
// API works on these; Qt's driver keeps its handle to itself.
class Lite
{
public:
    Lite() = default;
    ~Lite() { close(); }
    Lite(const Lite &) = delete;
    Lite &operator=(const Lite &) = delete;

    QString open(const QString &path, int flags)
    {
        const QByteArray name = QFile::encodeName(path);
        const int rc = sqlite3_open_v2(name.constData(), &m_db, flags, nullptr);
        if (rc != SQLITE_OK) {
            const QString e = m_db ? error() : QString::fromUtf8(sqlite3_errstr(rc));
            sqlite3_close_v2(m_db);
            m_db = nullptr;
            return e;
        }
        sqlite3_extended_result_codes(m_db, 1);
        sqlite3_busy_timeout(m_db, kLockWaitMs);
        return {};
    }
    void close()
    {
        if (m_db)
            sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    sqlite3 *handle() const { return m_db; }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

    QString exec(const char *sql)
    {
        char *message = nullptr;
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) == SQLITE_OK)
            return {};
        const QString e = message ? QString::fromUtf8(message) : error();
        sqlite3_free(message);
        return e;
    }
    // The first column of every row of a query, as text.
    QStringList column(const char *sql, QString *err)
    {
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr) != SQLITE_OK) {
            *err = error();
            return {};
        }
        QStringList out;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        if (rc != SQLITE_DONE)
            *err = error();
        sqlite3_finalize(st);
        return out;
    }

private:
    sqlite3 *m_db = nullptr;
};

// Opens a file chosen by the user without changing it; a file left in WAL
// mode without its shared-memory file can only be read through a
// read-write connection, which still writes nothing of its own.
QString openForReading(Lite &db, const QString &path)
{
    QString err = db.open(path, SQLITE_OPEN_READONLY);
    if (err.isEmpty()) {
        QString probe;
        db.column("SELECT count(*) FROM sqlite_master", &probe);
        if (probe.isEmpty())
            return {};
    }
    db.close();
    err = db.open(path, SQLITE_OPEN_READWRITE);
    if (err.isEmpty())
        db.column("SELECT count(*) FROM sqlite_master", &err);
    return err;
}

// Copies every page of src into dst as one transaction of dst, waiting
// for other connections' locks a while.
QString copyPages(Lite &src, Lite &dst, const DatabaseBackup::Progress &progress)
{
    sqlite3_backup *b = sqlite3_backup_init(dst.handle(), "main", src.handle(), "main");
    if (!b)
        return dst.error();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLockWaitMs);
    int rc;
    for (;;) {
        // Without a progress to tell, the whole copy is one step: the
        // source is read at one moment and other writers never restart it.
        rc = sqlite3_backup_step(b, progress ? kPagesPerStep : -1);
        if (progress && (rc == SQLITE_OK || rc == SQLITE_DONE)) {
            const int total = sqlite3_backup_pagecount(b);
            progress(total - sqlite3_backup_remaining(b), total);
        }
        if (rc == SQLITE_OK)
            continue;
        const int primary = rc & 0xff;
        if ((primary == SQLITE_BUSY || primary == SQLITE_LOCKED) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        break;
    }
    sqlite3_backup_finish(b);
    if (rc == SQLITE_DONE)
        return {};
    const int primary = rc & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return Database::kBusyText;
    return QString::fromUtf8(sqlite3_errstr(rc));
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat sa {}, sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// A path with its folder's links resolved, also for a file not yet there.
QString resolvedPath(const QString &path)
{
    const QFileInfo fi(path);
    const QString dir = QFileInfo(fi.absolutePath()).canonicalFilePath();
    return dir.isEmpty() ? QDir::cleanPath(fi.absoluteFilePath()) : dir + QLatin1Char('/') + fi.fileName();
}

// The live file, or one of the files SQLite keeps beside it while it is
// in use: writing over any of them destroys the live data.
bool isLiveFile(const QString &path, const QString &live)
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"}) {
        const QString f = live + QLatin1String(suffix);
        if (sameFile(path, f) || resolvedPath(path) == resolvedPath(f))
            return true;
    }
    return false;
}

QString tempBeside(const QString &finalPath)
{
    const QFileInfo fi(finalPath);
    return fi.absolutePath()
        + QStringLiteral("/.%1.%2-%3.tmp")
              .arg(fi.fileName())
              .arg(QCoreApplication::applicationPid())
              .arg(tempCounter.fetchAndAddRelaxed(1));
}

void removeWithSidecars(const QString &path)
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

QString syncPath(const QString &path, bool directory)
{
    const int fd = ::open(QFile::encodeName(path).constData(), directory ? (O_RDONLY | O_DIRECTORY) : O_RDONLY);
    if (fd < 0)
        return systemError();
    const bool ok = ::fsync(fd) == 0;
    const QString err = ok ? QString() : systemError();
    ::close(fd);
    return err;
}

enum class Place { Replace, KeepExisting };

// Puts a finished file in place in one step: the name shows either the
// old file or the new one, never a part of either. With KeepExisting a
// file already there stays (*existed says so) and the new one goes.
QString placeFile(const QString &tmp, const QString &finalPath, Place how, bool *existed = nullptr)
{
    if (existed)
        *existed = false;
    if (const QString err = syncPath(tmp, false); !err.isEmpty())
        return err;
    const QByteArray from = QFile::encodeName(tmp), to = QFile::encodeName(finalPath);
    if (how == Place::Replace) {
        if (::rename(from.constData(), to.constData()) != 0)
            return systemError();
    } else if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
    } else if (errno == EEXIST || QFileInfo::exists(finalPath)) {
        ::unlink(from.constData());
        if (existed)
            *existed = true;
        return {};
    } else if (::rename(from.constData(), to.constData()) != 0) {
        // A file system without hard links (a FAT stick): the name was
        // free a moment ago.
        return systemError();
    }
    // The rename itself must reach the disk too.
    syncPath(QFileInfo(finalPath).absolutePath(), true);
    return {};
}

// One file that stands alone (no journal or WAL beside it) and passes
// SQLite's own check of every page and index. *damaged: the check failed.
QString sealFile(const QString &path, bool *damaged = nullptr)
{
    if (damaged)
        *damaged = false;
    Lite db;
    if (QString err = db.open(path, SQLITE_OPEN_READWRITE); !err.isEmpty())
        return err;
    if (QString err = db.exec("PRAGMA journal_mode = DELETE"); !err.isEmpty())
        return err;
    QString err;
    const QStringList result = db.column("PRAGMA integrity_check", &err);
    if (!err.isEmpty()) {
        if (damaged)
            *damaged = true;
        return err;
    }
    if (result != QStringList{QStringLiteral("ok")}) {
        if (damaged)
            *damaged = true;
        return QStringLiteral("数据库文件检查未通过：") + result.mid(0, 3).join(QStringLiteral("；"));
    }
    return {};
}

QString snapshotSqlite(const QString &live, const QString &tmp)
{
    Lite src, dst;
    // Read-write without create: a live file that is gone is an error,
    // never a new empty database.
    if (QString err = src.open(live, SQLITE_OPEN_READWRITE); !err.isEmpty())
        return live + QStringLiteral("：") + err;
    if (QString err = dst.open(tmp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE); !err.isEmpty())
        return tmp + QStringLiteral("：") + err;
    return copyPages(src, dst, {});
}

// The tables of the program's schema, empty, in a new SQLite file.
QString createEmptySchema(Database &lite)
{
    Transaction tx(lite);
    if (!tx.ok())
        return tx.error();
    QStringList statements;
    for (const TableDef &t : Schema::tables())
        statements << lite.dialect().createStatements(t);
    statements << QStringLiteral("CREATE TABLE %1 (Version INTEGER NOT NULL)").arg(Schema::kVersionTable);
    for (const QString &sql : std::as_const(statements))
        if (const QString err = lite.exec(sql); !err.isEmpty())
            return err;
    if (const QString err = lite.exec(
            QStringLiteral("INSERT INTO %1 (Version) VALUES (%2)").arg(Schema::kVersionTable).arg(Schema::kVersion));
        !err.isEmpty())
        return err;
    return tx.commit();
}

// Every row of one table from one database into the other, each value
// converted by its column's kind as the program reads and writes it.
QString copyRows(Database &from, Database &to, const TableDef &t)
{
    QStringList cols;
    for (const ColumnDef &c : t.columns())
        cols << from.dialect().ident(c.name);
    QSqlQuery q(from.sql());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1 FROM %2").arg(cols.join(QStringLiteral(", ")), t.name())))
        return from.errorText(q.lastError());
    BulkInsert insert(to, t.name(), t.columnNames());
    QVariantList row;
    const int n = int(t.columns().size());
    while (q.next()) {
        row.clear();
        for (int i = 0; i < n; ++i)
            row << from.fromDb(&t.columns()[i], q.value(i));
        if (const QString err = insert.add(row); !err.isEmpty())
            return err;
    }
    if (q.lastError().isValid())
        return from.errorText(q.lastError());
    return insert.flush();
}

QString snapshotPostgres(const QString &uri, const QString &tmp)
{
    QString err;
    auto pg = Database::open(uri, &err);
    if (!pg)
        return err;
    // Every table as it stood at one moment, however long the copy takes
    // and whatever the other workstations store meanwhile.
    if (err = pg->exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")); !err.isEmpty())
        return err;
    struct EndRead {
        Database &db;
        ~EndRead() { db.exec(QStringLiteral("ROLLBACK")); }
    } endRead{*pg};
    const int version = Schema::storedVersion(*pg);
    if (version != Schema::kVersion)
        return QStringLiteral("数据库结构版本为 %1，本程序为 %2").arg(version).arg(Schema::kVersion);
    {
        auto lite = Database::open(tmp, &err, true);
        if (!lite)
            return err;
        if (err = createEmptySchema(*lite); !err.isEmpty())
            return err;
        Transaction tx(*lite);
        if (!tx.ok())
            return tx.error();
        for (const TableDef &t : Schema::tables())
            if (err = copyRows(*pg, *lite, t); !err.isEmpty())
                return t.name() + QStringLiteral("：") + err;
        if (err = tx.commit(); !err.isEmpty())
            return err;
    }
    return {};
}

// The type SQLite keeps for a column of the given kind in a file of the
// given schema version (money was REAL before version 2).
QString storedType(const ColumnDef &c, int version)
{
    switch (c.kind) {
    case ColumnKind::Text:
    case ColumnKind::Memo:
    case ColumnKind::Date:
    case ColumnKind::DateTime:
        return QStringLiteral("TEXT");
    case ColumnKind::Float:
        return QStringLiteral("REAL");
    case ColumnKind::Currency:
    case ColumnKind::Decimal:
        return version < 2 ? QStringLiteral("REAL") : QStringLiteral("INTEGER");
    case ColumnKind::Bool:
    case ColumnKind::Integer:
    case ColumnKind::AutoNumber:
        break;
    }
    return QStringLiteral("INTEGER");
}

// Whether a file is a database of this system that the program can use,
// read without changing it: the schema version, and every table of the
// program as an ordinary table with each of its columns of the kind the
// program stores there. Empty when it is, else the message for the user.
// Whatever else the file holds (triggers, views, indexes, tables of its
// own) is never taken over, so it does not matter here.
QString examineBackup(Lite &db)
{
    QString err;
    const QStringList names = db.column("SELECT lower(name) FROM sqlite_master WHERE type = 'table' "
                                        "AND upper(substr(ltrim(sql), 1, 12)) = 'CREATE TABLE'",
                                        &err);
    if (!err.isEmpty())
        return DatabaseBackup::kNotABackup;
    const QSet<QString> tables(names.begin(), names.end());
    if (!tables.contains(QString::fromLatin1(Schema::kVersionTable).toLower()))
        return DatabaseBackup::kNotABackup;
    const QStringList version = db.column("SELECT Version FROM tblSchemaVersion", &err);
    bool ok = false;
    const qlonglong v = version.size() == 1 ? version.first().toLongLong(&ok) : 0;
    if (!err.isEmpty() || !ok || v < 1)
        return DatabaseBackup::kNotABackup;
    if (v > Schema::kVersion)
        return DatabaseBackup::newerBackupText(int(qMin<qlonglong>(v, INT_MAX)));
    for (const TableDef &t : Schema::tables()) {
        if (!tables.contains(t.name().toLower()))
            return DatabaseBackup::kNotABackup;
        const QByteArray sql = "SELECT lower(name) || ' ' || upper(type) FROM pragma_table_info('"
            + t.name().toLatin1() + "')";
        const QStringList found = db.column(sql.constData(), &err);
        if (!err.isEmpty())
            return DatabaseBackup::kNotABackup;
        const QSet<QString> columns(found.begin(), found.end());
        for (const ColumnDef &c : t.columns()) {
            // The pinyin keys came with version 3; the migration adds them.
            if (v < 3 && !c.searchKeyOf.isEmpty())
                continue;
            if (!columns.contains(c.name.toLower() + QLatin1Char(' ') + storedType(c, int(v))))
                return DatabaseBackup::kNotABackup;
        }
    }
    return {};
}

QString examineBackup(const QString &path)
{
    Lite db;
    if (!openForReading(db, path).isEmpty())
        return DatabaseBackup::kNotABackup;
    return examineBackup(db);
}

} // namespace

DatabaseBackup::DatabaseBackup(const QString &liveLocation)
    : m_live(liveLocation.trimmed()), m_postgres(Database::isPostgresUri(liveLocation))
{
    if (!m_postgres && !m_live.isEmpty())
        m_live = QFileInfo(m_live).absoluteFilePath();
}

QString DatabaseBackup::backupFolder()
{
    return AppPaths::path(QStringLiteral("Backup"));
}

QString DatabaseBackup::defaultFile()
{
    return backupFolder() + QLatin1Char('/') + kFileName;
}

QString DatabaseBackup::datedFolder(const QDate &day)
{
    // The same on every workstation and never a path separator, whatever
    // the desktop's own date format.
    return backupFolder() + QLatin1Char('/') + day.toString(QStringLiteral("yyyy-M-d"));
}

bool DatabaseBackup::ensureBackupFolder()
{
    return PrivateFiles::makeFolder(backupFolder());
}

namespace {

// A checked copy of the live database at tmp; nothing left there on failure.
QString takeSnapshot(bool postgres, const QString &live, const QString &tmp)
{
    QString err = postgres ? snapshotPostgres(live, tmp) : snapshotSqlite(live, tmp);
    if (err.isEmpty())
        err = sealFile(tmp);
    // A copy of the agency's data is the user's own.
    if (err.isEmpty() && !PrivateFiles::makeFile(tmp))
        err = systemError();
    if (!err.isEmpty())
        removeWithSidecars(tmp);
    return err;
}

QString makeFolder(const QString &dir)
{
    if (PrivateFiles::makeFolder(dir))
        return {};
    return QStringLiteral("无法创建文件夹 ") + QDir::toNativeSeparators(dir);
}

} // namespace

bool DatabaseBackup::isLiveFile(const QString &path, const QString &live)
{
    return ::isLiveFile(path, live);
}

QString DatabaseBackup::backupTo(const QString &target)
{
    m_dayWarning.clear();
    const QString chosen = target.trimmed();
    if (chosen.isEmpty())
        return kBackupFailed + QStringLiteral("没有选择备份文件");
    const QString path = QFileInfo(chosen).absoluteFilePath();
    if (!m_postgres && isLiveFile(path, m_live))
        return kTargetIsLive;
    if (QFileInfo(path).isDir())
        return kBackupFailed + QStringLiteral("所选路径是一个文件夹：") + QDir::toNativeSeparators(path);
    if (const QString err = makeFolder(QFileInfo(path).absolutePath()); !err.isEmpty())
        return kBackupFailed + err;
    const QString tmp = tempBeside(path);
    if (const QString err = takeSnapshot(m_postgres, m_live, tmp); !err.isEmpty())
        return kBackupFailed + err;

    // The day's copy is the day's first backup, from the same moment.
    const QString dated = datedFolder(Clock::instance().today());
    const QString dayCopy = dated + QLatin1Char('/') + kFileName;
    QString dayError = makeFolder(dated);
    if (dayError.isEmpty() && !QFileInfo::exists(dayCopy) && !isLiveFile(dayCopy, m_live)) {
        const QString dayTmp = tempBeside(dayCopy);
        if (!QFile::copy(tmp, dayTmp))
            dayError = QStringLiteral("无法写入 ") + QDir::toNativeSeparators(dayCopy);
        else if (!PrivateFiles::makeFile(dayTmp))
            dayError = systemError();
        else
            dayError = placeFile(dayTmp, dayCopy, Place::KeepExisting);
        QFile::remove(dayTmp);
    }

    // A backup put over an older one keeps the rights its owner gave it.
    struct stat old {};
    if (::stat(QFile::encodeName(path).constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::chmod(QFile::encodeName(tmp).constData(), old.st_mode & 07777);
    // Only now, with a checked copy beside it, does the old backup go.
    if (const QString err = placeFile(tmp, path, Place::Replace); !err.isEmpty()) {
        removeWithSidecars(tmp);
        return kBackupFailed + err;
    }
    // The backup is there: a day's copy that could not be made is worth a
    // warning, not a failure.
    if (!dayError.isEmpty())
        m_dayWarning = kDayCopyFailed + dayError;
    return {};
}

QString DatabaseBackup::checkSource(const QString &source) const
{
    const QString chosen = source.trimmed();
    if (chosen.isEmpty() || !QFileInfo(chosen).isFile())
        return kSourceMissing;
    if (!m_postgres && isLiveFile(chosen, m_live))
        return kSourceIsLive;
    return examineBackup(chosen);
}

namespace {

// Every row of the program's tables from one SQLite file into another made
// from the schema, inside SQLite: the values stay as the file keeps them,
// and nothing of the source but those rows is read.
QString copyProgramRows(const QString &from, const QString &to)
{
    Lite db;
    if (QString err = db.open(to, SQLITE_OPEN_READWRITE); !err.isEmpty())
        return err;
    sqlite3_stmt *attach = nullptr;
    if (sqlite3_prepare_v2(db.handle(), "ATTACH DATABASE ? AS src", -1, &attach, nullptr) != SQLITE_OK)
        return db.error();
    const QByteArray name = QFile::encodeName(from);
    sqlite3_bind_text(attach, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(attach);
    sqlite3_finalize(attach);
    if (rc != SQLITE_DONE)
        return db.error();
    if (QString err = db.exec("BEGIN IMMEDIATE"); !err.isEmpty())
        return err;
    const Dialect lite(Engine::SQLite);
    for (const TableDef &t : Schema::tables()) {
        QStringList cols;
        for (const ColumnDef &c : t.columns())
            cols << lite.ident(c.name);
        const QString sql =
            QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM src.%1").arg(t.name(), cols.join(QStringLiteral(", ")));
        if (QString err = db.exec(sql.toUtf8().constData()); !err.isEmpty()) {
            db.exec("ROLLBACK");
            return t.name() + QStringLiteral("：") + err;
        }
    }
    if (QString err = db.exec("COMMIT"); !err.isEmpty())
        return err;
    db.exec("DETACH DATABASE src");
    return {};
}

// The chosen backup as a private, checked copy of the program's present
// schema: the restore reads only this, never the user's file. The copy is
// made anew from the program's own table definitions and only the rows of
// the program's tables are carried over, so nothing else a file may hold
// (a trigger, a view, an index, a table of its own, another column
// definition) ever reaches the live database.
QString prepareWorkCopy(const QString &source, const QString &work, bool livePostgres, const QString &live)
{
    const QString raw = QFileInfo(work).absolutePath() + QStringLiteral("/source.hdb");
    {
        Lite src, dst;
        if (!openForReading(src, source).isEmpty())
            return DatabaseBackup::kNotABackup;
        if (QString err = dst.open(raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE); !err.isEmpty())
            return DatabaseBackup::kRestoreFailed + err;
        if (QString err = copyPages(src, dst, {}); !err.isEmpty())
            return DatabaseBackup::kRestoreFailed + err;
    }
    bool damaged = false;
    if (QString err = sealFile(raw, &damaged); !err.isEmpty())
        return damaged ? DatabaseBackup::kNotABackup : DatabaseBackup::kRestoreFailed + err;
    {
        // The file may have changed since it was first looked at: the
        // copy is what counts. Its triggers and views go before anything
        // writes to it, so that bringing an older backup up to date runs
        // none of them.
        Lite db;
        if (QString err = db.open(raw, SQLITE_OPEN_READWRITE); !err.isEmpty())
            return DatabaseBackup::kRestoreFailed + err;
        if (QString refused = examineBackup(db); !refused.isEmpty())
            return refused;
        QString err;
        const QStringList drops = db.column("SELECT 'DROP ' || type || ' \"' || replace(name, '\"', '\"\"') || '\"'"
                                            " FROM sqlite_master WHERE type IN ('trigger', 'view')",
                                            &err);
        if (!err.isEmpty())
            return DatabaseBackup::kNotABackup;
        for (const QString &drop : drops)
            if (err = db.exec(drop.toUtf8().constData()); !err.isEmpty())
                return DatabaseBackup::kNotABackup;
    }
    {
        QString err;
        auto from = Database::open(raw, &err);
        if (!from)
            return DatabaseBackup::kRestoreFailed + err;
        // An older backup comes back in today's shape.
        if (err = Schema::migrate(*from); !err.isEmpty())
            return DatabaseBackup::kNotABackup;
    }
    {
        QString err;
        auto to = Database::open(work, &err, true);
        if (!to)
            return DatabaseBackup::kRestoreFailed + err;
        if (err = createEmptySchema(*to); !err.isEmpty())
            return DatabaseBackup::kRestoreFailed + err;
    }
    if (const QString err = copyProgramRows(raw, work); !err.isEmpty())
        return DatabaseBackup::kRestoreFailed + err;
    removeWithSidecars(raw);
    Lite db;
    if (QString err = db.open(work, SQLITE_OPEN_READWRITE); !err.isEmpty())
        return DatabaseBackup::kRestoreFailed + err;
    if (QString err = db.exec("PRAGMA journal_mode = DELETE"); !err.isEmpty())
        return DatabaseBackup::kRestoreFailed + err;
    if (!livePostgres) {
        // A live file in WAL mode takes pages of its own size only.
        Lite target;
        QString err = target.open(live, SQLITE_OPEN_READWRITE);
        const QStringList size = err.isEmpty() ? target.column("PRAGMA page_size", &err) : QStringList();
        QStringList own = db.column("PRAGMA page_size", &err);
        if (err.isEmpty() && size.size() == 1 && own != size) {
            const QByteArray sql = "PRAGMA page_size = " + size.first().toLatin1() + "; VACUUM;";
            if (err = db.exec(sql.constData()); !err.isEmpty())
                return DatabaseBackup::kRestoreFailed + err;
        }
    }
    return {};
}

QString restoreSqlite(const QString &live, const QString &work, const DatabaseBackup::Progress &progress)
{
    Lite dst, src;
    if (QString err = dst.open(live, SQLITE_OPEN_READWRITE); !err.isEmpty())
        return live + QStringLiteral("：") + err;
    if (QString err = src.open(work, SQLITE_OPEN_READONLY); !err.isEmpty())
        return err;
    // One write transaction of the live file: other workstations see the
    // old data until it commits, and a crash before then is rolled back
    // from the journal the next time the file is opened.
    if (QString err = copyPages(src, dst, progress); !err.isEmpty())
        return err;
    dst.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    return {};
}

QString restorePostgres(const QString &uri, const QString &work, const DatabaseBackup::Progress &progress)
{
    QString err;
    auto pg = Database::open(uri, &err);
    if (!pg)
        return err;
    auto lite = Database::open(work, &err);
    if (!lite)
        return err;
    Transaction tx(*pg);
    if (!tx.ok())
        return tx.error();
    const QVector<TableDef> &tables = Schema::tables();
    QStringList names;
    for (const TableDef &t : tables)
        names << t.name();
    // Other workstations keep reading the old rows until the commit; their
    // stores wait for it, so none falls between the delete and the insert.
    if (err = pg->exec(QStringLiteral("SET LOCAL lock_timeout = '%1ms'").arg(kLockWaitMs)); !err.isEmpty())
        return err;
    if (err = pg->exec(QStringLiteral("LOCK TABLE %1 IN EXCLUSIVE MODE").arg(names.join(QStringLiteral(", "))));
        !err.isEmpty())
        return err;
    const int version = Schema::storedVersion(*pg);
    if (version != Schema::kVersion)
        return QStringLiteral("数据库结构版本为 %1，本程序为 %2").arg(version).arg(Schema::kVersion);
    int done = 0;
    for (const TableDef &t : tables) {
        if (err = pg->exec(QStringLiteral("DELETE FROM %1").arg(t.name())); !err.isEmpty())
            return t.name() + QStringLiteral("：") + err;
        if (err = copyRows(*lite, *pg, t); !err.isEmpty())
            return t.name() + QStringLiteral("：") + err;
        // New rows continue after the highest number put back.
        if (const QString autoCol = t.autoNumberColumn(); !autoCol.isEmpty()) {
            err = pg->exec(QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), "
                                          "COALESCE((SELECT MAX(%3) FROM %1), 0) + 1, false)")
                               .arg(t.name(), autoCol.toLower(), pg->dialect().ident(autoCol)));
            if (!err.isEmpty())
                return t.name() + QStringLiteral("：") + err;
        }
        if (progress)
            progress(++done, int(tables.size()));
    }
    return tx.commit();
}

// The name of a new safety copy in the day's folder: the day's first is
// HKP30.hdb, later ones carry the time.
QString freshSafetyName(const QString &dated)
{
    const QString first = dated + QLatin1Char('/') + kFileName;
    if (!QFileInfo::exists(first))
        return first;
    const QString stamp = Clock::instance().now().toString(QStringLiteral("HHmmss"));
    QString name = dated + QStringLiteral("/HKP30-%1.hdb").arg(stamp);
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = dated + QStringLiteral("/HKP30-%1-%2.hdb").arg(stamp).arg(n);
    return name;
}

} // namespace

namespace {

const QString kWorkPrefix = QStringLiteral(".restore-");
const QString kLockName = QStringLiteral("in-use");

// A lock on a restore's work folder, held by the process that made it; the
// system lets go of it when the process ends however it ends.
class WorkLock
{
public:
    // create: the restore's own lock; otherwise only a lock file already
    // there is tried.
    WorkLock(const QString &dir, bool create)
        : m_fd(::open(QFile::encodeName(dir + QLatin1Char('/') + kLockName).constData(),
                      O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0600))
    {
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~WorkLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    WorkLock(const WorkLock &) = delete;
    WorkLock &operator=(const WorkLock &) = delete;
    bool held() const { return m_fd >= 0; }

private:
    int m_fd;
};

// A work folder without its lock file is either being made this moment or
// left by an older program; an hour tells which. (One with a lock file
// that nobody holds is left over from a restore that ended badly.)
bool isStale(const QString &dir)
{
    const QString lockFile = dir + QLatin1Char('/') + kLockName;
    return !QFileInfo::exists(lockFile)
        && QFileInfo(dir).lastModified().secsTo(QDateTime::currentDateTime()) > 3600;
}

} // namespace

void DatabaseBackup::removeStaleWork()
{
    const QDir folder(backupFolder());
    const QStringList dirs =
        folder.entryList({kWorkPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : dirs) {
        const QString dir = folder.filePath(name);
        if (QFileInfo(dir).isSymLink())
            continue;
        // Removed while this process holds its lock, so no restore can
        // take it up meanwhile.
        const WorkLock probe(dir, false);
        if (probe.held() || isStale(dir))
            QDir(dir).removeRecursively();
    }
}

QString DatabaseBackup::restoreFrom(const QString &source, const Progress &progress)
{
    m_safetyCopy.clear();
    if (const QString refused = checkSource(source); !refused.isEmpty())
        return refused;
    if (!ensureBackupFolder())
        return kRestoreFailed + makeFolder(backupFolder());
    removeStaleWork();
    QTemporaryDir workDir(backupFolder() + QLatin1Char('/') + kWorkPrefix + QStringLiteral("XXXXXX"));
    if (!workDir.isValid())
        return kRestoreFailed + workDir.errorString();
    // Held while the restore runs: the folder is in use, not left over.
    WorkLock lock(workDir.path(), true);
    const QString work = workDir.filePath(kFileName);
    if (const QString refused = prepareWorkCopy(source.trimmed(), work, m_postgres, m_live); !refused.isEmpty())
        return refused;

    // The live data first goes safely into the day's folder; without that
    // copy nothing is replaced.
    const QString dated = datedFolder(Clock::instance().today());
    if (const QString err = makeFolder(dated); !err.isEmpty())
        return kRestoreFailed + err;
    for (;;) {
        const QString name = freshSafetyName(dated);
        const QString tmp = tempBeside(name);
        if (const QString err = takeSnapshot(m_postgres, m_live, tmp); !err.isEmpty())
            return kRestoreFailed + QStringLiteral("无法保存当前数据：") + err;
        bool existed = false;
        if (const QString err = placeFile(tmp, name, Place::KeepExisting, &existed); !err.isEmpty()) {
            removeWithSidecars(tmp);
            return kRestoreFailed + QStringLiteral("无法保存当前数据：") + err;
        }
        if (!existed) {
            m_safetyCopy = name;
            break;
        }
        // Another workstation took that name this very moment.
    }

    const QString err = m_postgres ? restorePostgres(m_live, work, progress) : restoreSqlite(m_live, work, progress);
    if (!err.isEmpty())
        return kRestoreFailed + err;
    return {};
}
