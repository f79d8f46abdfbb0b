#include "data/database.h"

#include "data/money.h"
#include "data/outputfile.h"
#include "data/pgdriver.h"
#include "data/privatefiles.h"
#include "data/readonly.h"
#include "data/schema.h"
#include "data/searchkeys.h"
#include "data/startupconnection.h"
#include "data/tabledef.h"

#include <QAtomicInt>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <QUrlQuery>

#include <sqlite3.h>

#include <QRegularExpression>

#include <memory>
#include <string>
#include <string_view>

#include <chrono>
#include <cmath>
#include <thread>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

QAtomicInt connectionCounter;

// WAL needs shared memory between the processes that open the file, which
// network file systems do not give; there the rollback journal is used.
bool onNetworkFileSystem(const QString &path)
{
    struct statfs s {};
    const QByteArray dir = QFileInfo(path).absolutePath().toLocal8Bit();
    if (statfs(dir.constData(), &s) != 0)
        return false;
    switch (static_cast<unsigned long>(s.f_type)) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE (sshfs and the like)
    case 0x01021997UL: // 9p
        return true;
    default:
        return false;
    }
}

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

// A stored date and time as the clock on the wall showed it. A time that
// the local zone skipped (a daylight-saving gap, as in China 1986-1991) is
// kept as it was stored instead of being moved or lost.
QVariant wallClock(const QDate &d, const QTime &t)
{
    QDateTime local(d, t);
    if (local.isValid() && local.date() == d && local.time() == t)
        return local;
    return QDateTime(d, t, Qt::UTC);
}
const QString kDateTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// Called by SQLite while another connection holds the lock: wait a
// millisecond and try again, for about five seconds in all.
int shortBusyWait(void *, int count)
{
    if (count >= 5000)
        return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return 1;
}

// The pinyin half of the name search on SQLite (Dialect::nameMatches):
// brevia_name(key, letters, pattern) is 1 when the key passes, 2 when it
// does not but the name may still hold the typed text as text, 0 when it
// cannot. A key without an empty token stands for a name without Latin
// letters, digits or other unread letters, which no typed pinyin can be
// found in as text: for most rows the name itself is never read. Reading a
// second column a row costs a large table's search about half again.
bool lettersInOrder(const char *key, int n, const char *letters, int m)
{
    int j = 0;
    for (int i = 0; i < n && j < m; ++i)
        if (key[i] == letters[j])
            ++j;
    return j == m;
}

// The letters and pattern of a search, taken from its bound values once per
// statement; the pattern compiled when a key first passes the letters.
struct NameSearch {
    std::string letters, pattern;
    std::unique_ptr<QRegularExpression> re;
};

void sqliteNameMatch(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const auto *key = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    if (!key) { // no key (an empty name, or one stored around the program): as text
        sqlite3_result_int(ctx, 2);
        return;
    }
    auto *search = static_cast<NameSearch *>(sqlite3_get_auxdata(ctx, 1));
    std::unique_ptr<NameSearch> once;
    if (!search) {
        auto text = [argv](int i) {
            const auto *t = reinterpret_cast<const char *>(sqlite3_value_text(argv[i]));
            return t ? std::string(t, size_t(sqlite3_value_bytes(argv[i]))) : std::string();
        };
        auto made = std::make_unique<NameSearch>();
        made->letters = text(1);
        made->pattern = text(2);
        search = made.get();
        sqlite3_set_auxdata(ctx, 1, made.release(), [](void *p) { delete static_cast<NameSearch *>(p); });
        if (sqlite3_get_auxdata(ctx, 1) != search) { // let go at once: this row only
            once = std::make_unique<NameSearch>();
            once->letters = text(1);
            once->pattern = text(2);
            search = once.get();
        }
    }
    const int n = sqlite3_value_bytes(argv[0]);
    if (!search->letters.empty() && lettersInOrder(key, n, search->letters.data(), int(search->letters.size()))) {
        if (!search->re) {
            search->re = std::make_unique<QRegularExpression>(QString::fromStdString(search->pattern));
            search->re->optimize();
        }
        if (!search->re->isValid()) {
            sqlite3_result_error(ctx, "invalid regular expression", -1);
            return;
        }
        if (search->re->match(QString::fromLatin1(key, n)).hasMatch()) {
            sqlite3_result_int(ctx, 1);
            return;
        }
    }
    sqlite3_result_int(ctx, std::string_view(key, size_t(n)).find("||") != std::string_view::npos ? 2 : 0);
}

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant h = db.driver()->handle();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(h.constData());
}

// Digits at s[from, from + n) as a number; -1 when one is not a digit.
int digitsAt(const QString &s, int from, int n)
{
    int v = 0;
    for (int i = from; i < from + n; ++i) {
        const char16_t c = s[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        v = v * 10 + (c - u'0');
    }
    return v;
}

// The stored forms "yyyy-MM-dd" and "yyyy-MM-dd HH:mm:ss" read without a
// format parser, which costs more than the rest of reading a row; other
// forms go the slow way.
QDate isoDate(const QString &s)
{
    if (s.size() >= 10 && s[4] == QLatin1Char('-') && s[7] == QLatin1Char('-')) {
        const int y = digitsAt(s, 0, 4), m = digitsAt(s, 5, 2), d = digitsAt(s, 8, 2);
        if (y >= 0 && m >= 0 && d >= 0)
            return QDate(y, m, d);
    }
    return QDate::fromString(s.left(10), kDateFormat);
}

QTime isoTime(const QString &s)
{
    if (s.size() >= 19 && s[13] == QLatin1Char(':') && s[16] == QLatin1Char(':')) {
        const int h = digitsAt(s, 11, 2), m = digitsAt(s, 14, 2), sec = digitsAt(s, 17, 2);
        if (h >= 0 && m >= 0 && sec >= 0)
            return QTime(h, m, sec);
    }
    QTime t = QTime::fromString(s.mid(11, 8), QStringLiteral("HH:mm:ss"));
    if (!t.isValid())
        t = QTime::fromString(s.mid(11, 8), QStringLiteral("H:mm:ss"));
    return t;
}

} // namespace

Database::Database(QString location, Engine engine)
    : m_location(std::move(location)),
      m_connection(QStringLiteral("brevia-%1").arg(connectionCounter.fetchAndAddRelaxed(1))),
      m_dialect(engine)
{
    // Without TZ, the C library looks at /etc/localtime again for every
    // local time it converts: a list of dates would cost a system call per
    // value. Naming the file keeps the zone the same and reads it once.
    static const bool zoneNamed = [] {
        if (qEnvironmentVariableIsEmpty("TZ") && QFileInfo::exists(QStringLiteral("/etc/localtime")))
            qputenv("TZ", ":/etc/localtime");
        return true;
    }();
    (void)zoneNamed;
}

Database::~Database()
{
    if (m_guarded)
        OutputFile::releaseDatabase(m_location);
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

bool Database::isPostgresUri(const QString &location)
{
    const QString l = location.trimmed();
    return l.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || l.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

std::unique_ptr<Database> Database::open(const QString &location, QString *error, bool create)
{
    const bool pg = isPostgresUri(location);
    std::unique_ptr<Database> db(new Database(location.trimmed(), pg ? Engine::PostgreSQL : Engine::SQLite));
    const QString err = pg ? db->openPostgres() : db->openSqlite(create);
    if (!err.isEmpty()) {
        if (error)
            *error = err;
        return nullptr;
    }
    // No report, export or saved mail of this process may land on it.
    if (!pg) {
        OutputFile::guardDatabase(db->m_location);
        db->m_guarded = true;
    }
    return db;
}

namespace {

// A file the program may read but not change: the file itself or its
// folder (where SQLite keeps its journal) is not writable, as on a
// read-only mount or a copy handed out without write rights.
bool notWritable(const QFileInfo &fi)
{
    return ::access(QFile::encodeName(fi.absoluteFilePath()).constData(), W_OK) != 0
        || ::access(QFile::encodeName(fi.absolutePath()).constData(), W_OK) != 0;
}

} // namespace

QString Database::openSqlite(bool create)
{
    QFileInfo fi(m_location);
    // A path cut short at a NUL would name another file than the one shown.
    if (m_location.contains(QChar(0)))
        return QStringLiteral("数据库文件路径中含有空字符（\\0），请检查 Server.txt");
    if (!create && !fi.isFile())
        return QStringLiteral("数据库文件不存在：%1").arg(m_location);
    const bool made = create && !fi.exists();
    if (made)
        PrivateFiles::makeFolder(fi.absolutePath());
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return QStringLiteral("缺少 SQLite 数据库驱动");
    const bool readOnly = !made && notWritable(fi);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");
    if (readOnly) {
        // A file left in WAL mode needs a shared-memory file beside it that
        // a read-only folder cannot take; nobody can write there either, so
        // the file is read as it stands.
        QUrl uri = QUrl::fromLocalFile(fi.absoluteFilePath());
        const bool folderReadOnly = ::access(QFile::encodeName(fi.absolutePath()).constData(), W_OK) != 0;
        uri.setQuery(folderReadOnly && !QFileInfo::exists(fi.absoluteFilePath() + QStringLiteral("-shm"))
                         ? QStringLiteral("mode=ro&immutable=1")
                         : QStringLiteral("mode=ro"));
        db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
        options += QStringLiteral(";QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY");
    } else {
        db.setDatabaseName(fi.absoluteFilePath());
    }
    db.setConnectOptions(options);
    if (!db.open())
        return errorText(db.lastError());
    // SQLite's own wait for a lock sleeps longer and longer (up to a tenth
    // of a second a time), so a save queued behind another's often waits
    // long after the lock is free. Looking every millisecond lets it in at
    // once; the whole wait stays about five seconds.
    if (sqlite3 *handle = sqliteHandle(db)) {
        sqlite3_busy_handler(handle, &shortBusyWait, nullptr);
        sqlite3_create_function_v2(handle, "brevia_name", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                   &sqliteNameMatch, nullptr, nullptr, nullptr);
    }
    QSqlQuery q(db);
    // A file that is not a database is only found out at the first read.
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return errorText(q.lastError());
    // A new database is the user's own: nobody else on the machine reads
    // it. (SQLite gives its journal and WAL files the database's mode.)
    if (made)
        PrivateFiles::makeFile(fi.absoluteFilePath());
    q.exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    if (readOnly)
        return {};
    const bool network = onNetworkFileSystem(fi.absoluteFilePath());
    if (q.exec(network ? QStringLiteral("PRAGMA journal_mode = DELETE") : QStringLiteral("PRAGMA journal_mode = WAL"))
        && q.next())
        m_wal = q.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
    // A clerk who saw "保存" succeed must find the row after a power cut:
    // in WAL mode NORMAL may lose the last commits, FULL syncs each one.
    q.exec(QStringLiteral("PRAGMA synchronous = FULL"));
    return {};
}

QString Database::openPostgres()
{
    const QUrl url(m_location);
    // The parser's own message quotes the address, password and all.
    if (!url.isValid())
        return QStringLiteral("数据库地址的格式不正确：%1").arg(StartupConnection::shownLocation(m_location));
    // libpq directly: one round trip a statement (see pgdriver.h).
    QSqlDatabase db = QSqlDatabase::addDatabase(new PgDriver, m_connection);
    if (!url.host().isEmpty())
        db.setHostName(url.host());
    if (url.port() > 0)
        db.setPort(url.port());
    QString name = url.path();
    if (name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    if (!name.isEmpty())
        db.setDatabaseName(name);
    if (!url.userName().isEmpty())
        db.setUserName(url.userName());
    // A password in the URI is honoured but never written back anywhere;
    // normally libpq finds it in ~/.pgpass, PGPASSFILE or PGPASSWORD.
    if (!url.password().isEmpty())
        db.setPassword(url.password());
    QStringList options;
    const auto items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
    for (const auto &item : items)
        options << item.first + QLatin1Char('=') + item.second;
    options << QStringLiteral("application_name=brevia");
    db.setConnectOptions(options.join(QLatin1Char(';')));
    // The driver asks for UTF-8 and ISO dates with the connection itself.
    if (!db.open())
        return errorText(db.lastError());
    return {};
}

QSqlDatabase Database::sql() const
{
    return QSqlDatabase::database(m_connection, false);
}

bool Database::isOpen() const
{
    return sql().isOpen();
}

const QString ReadOnly::kStoreRefused = QStringLiteral("对不起，数据库文件是只读的，不能保存修改！");

bool ReadOnly::isReadOnly(const Database &db)
{
    if (db.isPostgres())
        return false;
    sqlite3 *handle = sqliteHandle(db.sql());
    return handle && sqlite3_db_readonly(handle, "main") == 1;
}

const QString Database::kBusyText = QStringLiteral("对不起，其他工作站正在保存资料，请稍后再试！");

QString Database::errorText(const QSqlError &e) const
{
    const QString native = e.nativeErrorCode();
    const QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    // Unique codes: SQLite 2067 (SQLITE_CONSTRAINT_UNIQUE) and 1555
    // (primary key), PostgreSQL 23505.
    if (native == QLatin1String("2067") || native == QLatin1String("1555") || native == QLatin1String("23505")
        || text.contains(QLatin1String("UNIQUE constraint failed")))
        return QStringLiteral("对不起，该代码已存在！");
    // Another workstation held the database longer than the wait allows
    // (SQLite 5, 6, 517; PostgreSQL serialization failure, deadlock, lock
    // not available): nothing was stored, and trying again will do.
    // SQLITE_READONLY and its extended codes: the file or its folder may
    // not be written.
    if ((!isPostgres() && (native.toInt() & 0xff) == 8) || text.contains(QLatin1String("readonly database")))
        return ReadOnly::kStoreRefused;
    static const QStringList busyCodes{"5", "6", "517", "261", "40001", "40P01", "55P03"};
    if (busyCodes.contains(native) || text.contains(QLatin1String("database is locked")))
        return kBusyText;
    return QStringLiteral("数据库错误：") + text.trimmed();
}

bool Database::prepareAndExec(QSqlQuery &q, const QString &sql, const QVariantList &values, QString *error)
{
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        if (error)
            *error = errorText(q.lastError());
        return false;
    }
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        if (error)
            *error = errorText(q.lastError());
        return false;
    }
    return true;
}

namespace {

// Binds a value the way QtSql's SQLite driver binds it; false for a kind
// of value this path leaves to the driver.
bool bindSqlite(sqlite3_stmt *st, int i, const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return sqlite3_bind_null(st, i) == SQLITE_OK;
    switch (v.typeId()) {
    case QMetaType::Bool: case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong:
        return sqlite3_bind_int64(st, i, v.toLongLong()) == SQLITE_OK;
    case QMetaType::Double:
        return sqlite3_bind_double(st, i, v.toDouble()) == SQLITE_OK;
    case QMetaType::QString: {
        const QString s = v.toString();
        return sqlite3_bind_text16(st, i, s.utf16(), int(s.size() * sizeof(QChar)), SQLITE_TRANSIENT) == SQLITE_OK;
    }
    default:
        return false;
    }
}

} // namespace

bool Database::scan(const QString &sql, const QVariantList &values,
                    const std::function<void(const QVariant *row)> &onRow, QString *error)
{
    sqlite3 *handle = isPostgres() ? nullptr : sqliteHandle(this->sql());
    sqlite3_stmt *st = nullptr;
    if (handle && sqlite3_prepare16_v2(handle, sql.utf16(), int(sql.size() * sizeof(QChar)), &st, nullptr) == SQLITE_OK) {
        bool bound = true;
        for (int i = 0; i < values.size() && bound; ++i)
            bound = bindSqlite(st, i + 1, values[i]);
        if (bound) {
            const int n = sqlite3_column_count(st);
            std::vector<QVariant> row(size_t(std::max(n, 1)));
            int rc;
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                for (int c = 0; c < n; ++c) {
                    switch (sqlite3_column_type(st, c)) {
                    case SQLITE_INTEGER:
                        row[c] = QVariant(qlonglong(sqlite3_column_int64(st, c)));
                        break;
                    case SQLITE_FLOAT:
                        row[c] = QVariant(sqlite3_column_double(st, c));
                        break;
                    case SQLITE_BLOB:
                        row[c] = QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(st, c)),
                                                     sqlite3_column_bytes(st, c)));
                        break;
                    case SQLITE_NULL:
                        row[c] = QVariant();
                        break;
                    default: {
                        // Stored as UTF-8: Qt's decoder is quicker than SQLite's own.
                        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(st, c));
                        row[c] = QVariant(QString::fromUtf8(text, sqlite3_column_bytes(st, c)));
                    }
                    }
                }
                onRow(row.data());
            }
            const int code = sqlite3_extended_errcode(handle);
            const QString message = QString::fromUtf8(sqlite3_errmsg(handle));
            sqlite3_finalize(st);
            if (rc == SQLITE_DONE)
                return true;
            if (error)
                *error = errorText(QSqlError(message, message, QSqlError::StatementError, QString::number(code)));
            return false;
        }
    }
    // PostgreSQL, a statement SQLite would not take here (its error is the
    // driver's to tell) or a value this path does not bind.
    if (st)
        sqlite3_finalize(st);
    QSqlQuery q(this->sql());
    if (!prepareAndExec(q, sql, values, error))
        return false;
    const int n = q.record().count();
    std::vector<QVariant> row(size_t(std::max(n, 1)));
    while (q.next()) {
        for (int c = 0; c < n; ++c)
            row[c] = q.value(c);
        onRow(row.data());
    }
    if (q.lastError().isValid()) {
        if (error)
            *error = errorText(q.lastError());
        return false;
    }
    return true;
}

QString Database::exec(const QString &sql, const QVariantList &values)
{
    QSqlQuery q(this->sql());
    QString err;
    if (values.isEmpty()) {
        if (!q.exec(sql))
            return errorText(q.lastError());
        return {};
    }
    prepareAndExec(q, sql, values, &err);
    return err;
}

QString Database::insertRow(const QString &table, const FieldValues &given, QVariant *autoNumber)
{
    const TableDef *t = Schema::table(table);
    FieldValues values = given;
    if (t && t->hasSearchKeys())
        SearchKeys::addTo(*t, values);
    QStringList cols, marks;
    QVariantList binds;
    for (const auto &[name, value] : values) {
        const ColumnDef *c = t ? t->column(name) : nullptr;
        cols << m_dialect.ident(c ? c->name : name);
        marks << QStringLiteral("?");
        binds << toDb(c, value);
    }
    QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(table, cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    const QString autoCol = t ? t->autoNumberColumn() : QString();
    if (cols.isEmpty())
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table);
    if (isPostgres() && !autoCol.isEmpty())
        sql += QStringLiteral(" RETURNING ") + autoCol;
    QSqlQuery q(this->sql());
    QString err;
    if (!prepareAndExec(q, sql, binds, &err))
        return err;
    if (autoNumber && !autoCol.isEmpty()) {
        if (isPostgres())
            *autoNumber = q.next() ? q.value(0) : QVariant();
        else
            *autoNumber = q.lastInsertId();
    }
    return {};
}

void Database::prefetch(const QList<QPair<QString, QVariantList>> &statements)
{
    if (auto *driver = isPostgres() ? qobject_cast<PgDriver *>(sql().driver()) : nullptr)
        driver->prefetch(statements);
}

QStringList Database::tableNames() const
{
    return sql().tables(QSql::Tables);
}

QString Database::begin()
{
    if (m_txDepth++ > 0)
        return {};
    QSqlQuery q(sql());
    // IMMEDIATE takes the write lock at once, so that two workstations
    // never both read and then find they cannot write.
    if (!q.exec(isPostgres() ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"))) {
        m_txDepth = 0;
        return errorText(q.lastError());
    }
    return {};
}

QString Database::commit()
{
    if (m_txDepth == 0)
        return {};
    if (--m_txDepth > 0)
        return {};
    QSqlQuery q(sql());
    if (!q.exec(QStringLiteral("COMMIT"))) {
        const QString err = errorText(q.lastError());
        q.exec(QStringLiteral("ROLLBACK"));
        return err;
    }
    return {};
}

void Database::rollback()
{
    if (m_txDepth == 0)
        return;
    m_txDepth = 0;
    QSqlQuery q(sql());
    q.exec(QStringLiteral("ROLLBACK"));
}

QVariant Database::toDb(const ColumnDef *c, const QVariant &v) const
{
    if (v.isNull() || !v.isValid())
        return c && c->kind == ColumnKind::Bool ? QVariant(false) : QVariant();
    if (!c) {
        if (v.typeId() == QMetaType::QString && v.toString().isEmpty())
            return {};
        return v;
    }
    switch (c->kind) {
    case ColumnKind::Text:
    case ColumnKind::Memo: {
        const QString s = v.toString();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case ColumnKind::Bool:
        if (isPostgres())
            return v.toBool();
        return v.toBool() ? 1 : 0;
    case ColumnKind::Date: {
        const QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
        return d.isValid() ? QVariant(d.toString(kDateFormat)) : QVariant();
    }
    case ColumnKind::DateTime: {
        QDateTime dt = v.toDateTime();
        if (v.typeId() == QMetaType::QDate)
            dt = v.toDate().startOfDay();
        return dt.isValid() ? QVariant(dt.toString(kDateTimeFormat)) : QVariant();
    }
    case ColumnKind::Integer:
    case ColumnKind::AutoNumber:
        if (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty())
            return {};
        return v.toLongLong();
    case ColumnKind::Float:
        if (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty())
            return {};
        return v.toDouble();
    case ColumnKind::Currency:
    case ColumnKind::Decimal: {
        // Exact on both engines: ten-thousandths on SQLite, decimal text
        // for PostgreSQL's NUMERIC. Text that is no amount stores nothing.
        const auto m = Money::fromVariant(v);
        if (!m)
            return {};
        if (isPostgres())
            return m->toString();
        return m->units();
    }
    }
    return v;
}

QVariant Database::fromDb(const ColumnDef *c, const QVariant &v) const
{
    if (v.isNull() || !v.isValid())
        return c && c->kind == ColumnKind::Bool ? QVariant(false) : QVariant();
    if (!c)
        return v;
    switch (c->kind) {
    case ColumnKind::Text:
    case ColumnKind::Memo: {
        const QString s = v.toString();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case ColumnKind::Bool:
        if (v.typeId() == QMetaType::QString)
            return v.toString() == QLatin1String("1") || v.toString().startsWith(QLatin1Char('t'), Qt::CaseInsensitive);
        return v.toBool();
    case ColumnKind::Date:
        if (v.typeId() == QMetaType::QDate)
            return v;
        if (v.typeId() == QMetaType::QDateTime)
            return v.toDateTime().date();
        return isoDate(v.toString());
    case ColumnKind::DateTime: {
        if (v.typeId() == QMetaType::QDateTime)
            return wallClock(v.toDateTime().date(), v.toDateTime().time());
        if (v.typeId() == QMetaType::QDate)
            return wallClock(v.toDate(), QTime(0, 0));
        const QString s = v.toString();
        const QDate d = isoDate(s);
        const QTime t = s.size() > 10 ? isoTime(s) : QTime(0, 0);
        return d.isValid() && t.isValid() ? wallClock(d, t) : QVariant();
    }
    case ColumnKind::Integer:
    case ColumnKind::AutoNumber:
        return v.toLongLong();
    case ColumnKind::Float:
        return v.toDouble();
    case ColumnKind::Currency:
    case ColumnKind::Decimal: {
        std::optional<Money> m;
        if (isPostgres())
            m = Money::fromVariant(v);
        else if (v.typeId() == QMetaType::Double)
            m = Money::fromUnits(std::llround(v.toDouble())); // a REAL column holding whole ten-thousandths
        else
            m = Money::fromUnits(v.toLongLong());
        return m ? QVariant::fromValue(*m) : QVariant();
    }
    }
    return v;
}
