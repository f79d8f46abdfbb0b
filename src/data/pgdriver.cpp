#include "data/pgdriver.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>

#include <libpq-fe.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// Type codes of pg_type.
enum : Oid {
    kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kRegproc = 24, kOid = 26, kXid = 28, kCid = 29,
    kFloat4 = 700, kFloat8 = 701, kDate = 1082, kTime = 1083, kTimestamp = 1114, kTimestampTz = 1184,
    kTimeTz = 1266, kNumeric = 1700
};

QMetaType::Type qtType(Oid t)
{
    switch (t) {
    case kBool: return QMetaType::Bool;
    case kInt8: return QMetaType::LongLong;
    case kInt2: case kInt4: case kOid: case kRegproc: case kXid: case kCid: return QMetaType::Int;
    case kNumeric: case kFloat4: case kFloat8: return QMetaType::Double;
    case kDate: return QMetaType::QDate;
    case kTime: case kTimeTz: return QMetaType::QTime;
    case kTimestamp: case kTimestampTz: return QMetaType::QDateTime;
    case kBytea: return QMetaType::QByteArray;
    default: return QMetaType::QString;
    }
}

// The server's text of an error as Qt's driver words it: the message,
// then the SQL state in brackets.
QSqlError makeError(const QString &what, QSqlError::ErrorType type, PGconn *conn, const PGresult *res)
{
    QString text = QString::fromUtf8(res ? PQresultErrorMessage(res) : PQerrorMessage(conn));
    if (res && text.isEmpty())
        text = QString::fromUtf8(PQerrorMessage(conn));
    QString code;
    if (res) {
        code = QString::fromLatin1(PQresultErrorField(res, PG_DIAG_SQLSTATE));
        text += QStringLiteral("(%1)").arg(code);
    }
    return QSqlError(QStringLiteral("QPSQL: ") + what, text, type, code);
}

// "?" marks outside quotes and comments become $1, $2, ...
QByteArray numberedMarks(const QString &sql)
{
    QString out;
    out.reserve(sql.size() + 16);
    int n = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = sql.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? sql.size() - 1 : end;
            out += QStringView(sql).mid(i, stop - i + 1);
            i = stop;
        } else if (c == QLatin1Char('-') && i + 1 < sql.size() && sql[i + 1] == QLatin1Char('-')) {
            const qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            const qsizetype stop = end < 0 ? sql.size() - 1 : end;
            out += QStringView(sql).mid(i, stop - i + 1);
            i = stop;
        } else if (c == QLatin1Char('/') && i + 1 < sql.size() && sql[i + 1] == QLatin1Char('*')) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            const qsizetype stop = end < 0 ? sql.size() - 1 : end + 1;
            out += QStringView(sql).mid(i, stop - i + 1);
            i = stop;
        } else if (c == QLatin1Char('?')) {
            out += QLatin1Char('$') + QString::number(++n);
        } else {
            out += c;
        }
    }
    return out.toUtf8();
}

// A value as PostgreSQL's text input reads it; the server gives each mark
// the type its place in the statement asks for, as it does for PREPARE.
QByteArray valueText(const QVariant &v, bool *binary)
{
    *binary = false;
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? "true" : "false";
    case QMetaType::Int: case QMetaType::Short: case QMetaType::Char: case QMetaType::SChar: case QMetaType::Long:
    case QMetaType::LongLong:
        return QByteArray::number(v.toLongLong());
    case QMetaType::UInt: case QMetaType::UShort: case QMetaType::UChar: case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QByteArray::number(v.toULongLong());
    case QMetaType::Double: case QMetaType::Float: {
        const double d = v.toDouble();
        if (std::isnan(d))
            return "NaN";
        if (std::isinf(d))
            return d > 0 ? "Infinity" : "-Infinity";
        return QByteArray::number(d, 'g', QLocale::FloatingPointShortest);
    }
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate).toLatin1();
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss.zzz")).toLatin1();
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1();
    case QMetaType::QByteArray:
        *binary = true;
        return v.toByteArray();
    default:
        return v.toString().toUtf8();
    }
}

QDateTime timestampValue(const char *val)
{
    QString s = QString::fromLatin1(val);
    if (s.size() < 10)
        return {};
    const QChar sign = s.size() > 19 ? s[s.size() - 3] : QChar();
    if (sign == QLatin1Char('+') || sign == QLatin1Char('-'))
        s += QLatin1String(":00");
    s.replace(10, 1, QLatin1Char('T'));
    return QDateTime::fromString(s, Qt::ISODate).toLocalTime();
}

// What a result is kept under: the statement and its values as sent.
QByteArray prefetchKey(const QByteArray &statement, const QVariantList &values)
{
    QByteArray key = statement;
    for (const QVariant &v : values) {
        bool binary = false;
        key += v.isNull() || !v.isValid() ? QByteArray("\0N") : QByteArray("\0V") + valueText(v, &binary);
    }
    return key;
}

bool isRead(const QByteArray &statement)
{
    return statement.trimmed().left(6).toUpper() == "SELECT";
}

class PgResult : public QSqlResult
{
public:
    explicit PgResult(const PgDriver *driver) : QSqlResult(driver), m_driver(driver) {}
    ~PgResult() override { clear(); }

protected:
    QVariant handle() const override { return QVariant::fromValue(static_cast<void *>(m_res)); }

    bool reset(const QString &sql) override
    {
        clear();
        if (!connection())
            return false;
        const QByteArray text = sql.toUtf8();
        if (PGresult *kept = const_cast<PgDriver *>(m_driver)->takePrefetched(text, {}, isRead(text)))
            return take(kept);
        // Several statements in one text stay possible, as before.
        return take(PQexec(connection(), text.constData()));
    }

    bool prepare(const QString &sql) override
    {
        clear();
        m_statement = numberedMarks(sql);
        return true;
    }

    bool exec() override
    {
        clear();
        if (!connection())
            return false;
        const QVariantList &values = boundValues();
        if (PGresult *kept = const_cast<PgDriver *>(m_driver)->takePrefetched(m_statement, values, isRead(m_statement)))
            return take(kept);
        const int n = int(values.size());
        std::vector<QByteArray> texts(static_cast<size_t>(n));
        std::vector<const char *> pointers(static_cast<size_t>(n), nullptr);
        std::vector<int> lengths(static_cast<size_t>(n), 0), formats(static_cast<size_t>(n), 0);
        for (int i = 0; i < n; ++i) {
            const QVariant &v = values[i];
            if (!v.isValid() || v.isNull())
                continue;
            bool binary = false;
            texts[i] = valueText(v, &binary);
            pointers[i] = texts[i].constData();
            lengths[i] = int(texts[i].size());
            formats[i] = binary ? 1 : 0;
        }
        return take(PQexecParams(connection(), m_statement.constData(), n, nullptr, pointers.data(), lengths.data(),
                                 formats.data(), 0));
    }

    bool fetch(int i) override
    {
        if (!isActive() || i < 0 || i >= m_rows)
            return false;
        setAt(i);
        return true;
    }
    bool fetchFirst() override { return fetch(0); }
    bool fetchLast() override { return fetch(m_rows - 1); }
    int size() override { return isSelect() ? m_rows : -1; }
    int numRowsAffected() override { return m_res ? QByteArray(PQcmdTuples(m_res)).toInt() : -1; }

    bool isNull(int f) override { return !m_res || PQgetisnull(m_res, at(), f); }

    QVariant data(int f) override
    {
        if (!m_res || f < 0 || f >= PQnfields(m_res))
            return {};
        const Oid t = PQftype(m_res, f);
        const QMetaType::Type type = qtType(t);
        if (PQgetisnull(m_res, at(), f))
            return QVariant(QMetaType(type));
        const char *val = PQgetvalue(m_res, at(), f);
        switch (type) {
        case QMetaType::Bool:
            return QVariant(val[0] == 't');
        case QMetaType::LongLong:
            // Qt's driver gives an unsigned value for a positive one.
            if (val[0] == '-')
                return QByteArray(val).toLongLong();
            return QByteArray(val).toULongLong();
        case QMetaType::Int:
            return QByteArray(val).toInt();
        case QMetaType::Double: {
            if (t == kNumeric) {
                if (numericalPrecisionPolicy() == QSql::HighPrecision)
                    return QString::fromLatin1(val);
                bool ok = false;
                const double d = QByteArray(val).toDouble(&ok);
                if (!ok)
                    return {};
                switch (numericalPrecisionPolicy()) {
                case QSql::LowPrecisionInt64: return qlonglong(d);
                case QSql::LowPrecisionInt32: return int(d);
                default: return d;
                }
            }
            if (qstricmp(val, "Infinity") == 0)
                return std::numeric_limits<double>::infinity();
            if (qstricmp(val, "-Infinity") == 0)
                return -std::numeric_limits<double>::infinity();
            return QByteArray(val).toDouble();
        }
        case QMetaType::QDate:
            return val[0] ? QDate::fromString(QString::fromLatin1(val), Qt::ISODate) : QDate();
        case QMetaType::QTime:
            return val[0] ? QTime::fromString(QString::fromLatin1(val), Qt::ISODate) : QTime();
        case QMetaType::QDateTime:
            return timestampValue(val);
        case QMetaType::QByteArray: {
            size_t len = 0;
            unsigned char *raw = PQunescapeBytea(reinterpret_cast<const unsigned char *>(val), &len);
            const QByteArray bytes(reinterpret_cast<const char *>(raw), qsizetype(len));
            PQfreemem(raw);
            return bytes;
        }
        default:
            return QString::fromUtf8(val, PQgetlength(m_res, at(), f));
        }
    }

    QSqlRecord record() const override
    {
        QSqlRecord rec;
        if (!m_res || !isSelect())
            return rec;
        const int n = PQnfields(m_res);
        for (int i = 0; i < n; ++i) {
            QSqlField field(QString::fromUtf8(PQfname(m_res, i)), QMetaType(qtType(PQftype(m_res, i))));
            field.setSqlType(int(PQftype(m_res, i)));
            rec.append(field);
        }
        return rec;
    }

    QVariant lastInsertId() const override
    {
        QSqlQuery q(m_driver->createResult());
        if (q.exec(QStringLiteral("SELECT lastval()")) && q.next())
            return q.value(0);
        return {};
    }

private:
    PGconn *connection() const { return m_driver->connection(); }

    void clear()
    {
        if (m_res)
            PQclear(m_res);
        m_res = nullptr;
        m_rows = 0;
        setAt(QSql::BeforeFirstRow);
        setActive(false);
        setSelect(false);
    }

    bool take(PGresult *res)
    {
        m_res = res;
        const ExecStatusType status = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
        if (status == PGRES_TUPLES_OK) {
            m_rows = PQntuples(res);
            setSelect(true);
            setActive(true);
            return true;
        }
        if (status == PGRES_COMMAND_OK || status == PGRES_EMPTY_QUERY) {
            setSelect(false);
            setActive(true);
            return true;
        }
        setLastError(makeError(QStringLiteral("Unable to create query"), QSqlError::StatementError, connection(), res));
        return false;
    }

    const PgDriver *m_driver;
    PGresult *m_res = nullptr;
    int m_rows = 0;
    QByteArray m_statement;
};

// A value for a key = 'value' pair of a connection string.
QString quoted(QString s)
{
    s.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    s.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

} // namespace

PgDriver::PgDriver(QObject *parent) : QSqlDriver(parent) {}

PgDriver::~PgDriver()
{
    forgetPrefetched();
    if (m_conn)
        PQfinish(m_conn);
}

void PgDriver::forgetPrefetched()
{
    for (PGresult *r : std::as_const(m_prefetched))
        PQclear(r);
    m_prefetched.clear();
}

void PgDriver::prefetch(const QList<QPair<QString, QVariantList>> &statements)
{
    forgetPrefetched();
    if (!m_conn || statements.isEmpty() || PQenterPipelineMode(m_conn) != 1)
        return;
    QList<QByteArray> keys;
    for (const auto &[sql, values] : statements) {
        const QByteArray statement = numberedMarks(sql);
        const int n = int(values.size());
        std::vector<QByteArray> texts(static_cast<size_t>(n));
        std::vector<const char *> pointers(static_cast<size_t>(n), nullptr);
        std::vector<int> lengths(static_cast<size_t>(n), 0), formats(static_cast<size_t>(n), 0);
        for (int i = 0; i < n; ++i) {
            if (!values[i].isValid() || values[i].isNull())
                continue;
            bool binary = false;
            texts[i] = valueText(values[i], &binary);
            pointers[i] = texts[i].constData();
            lengths[i] = int(texts[i].size());
            formats[i] = binary ? 1 : 0;
        }
        if (PQsendQueryParams(m_conn, statement.constData(), n, nullptr, pointers.data(), lengths.data(),
                              formats.data(), 0) != 1)
            break;
        keys << prefetchKey(statement, values);
    }
    PQpipelineSync(m_conn);
    // Each statement's result, then a null between statements; the sync
    // ends it. A read that failed is not kept: run again, it tells why.
    int taken = 0, nulls = 0;
    for (;;) {
        PGresult *r = PQgetResult(m_conn);
        if (!r) {
            if (++nulls > keys.size() + 1)
                break; // the connection is gone
            continue;
        }
        const ExecStatusType status = PQresultStatus(r);
        if (status == PGRES_PIPELINE_SYNC) {
            PQclear(r);
            break;
        }
        if (status == PGRES_TUPLES_OK && taken < keys.size())
            m_prefetched.insert(keys[taken], r);
        else
            PQclear(r);
        ++taken;
    }
    PQexitPipelineMode(m_conn);
}

PGresult *PgDriver::takePrefetched(const QByteArray &statement, const QVariantList &values, bool reads)
{
    if (m_prefetched.isEmpty())
        return nullptr;
    if (!reads) {
        // A change may alter what the kept reads would now return.
        forgetPrefetched();
        return nullptr;
    }
    const auto it = m_prefetched.find(prefetchKey(statement, values));
    if (it == m_prefetched.end())
        return nullptr;
    PGresult *r = it.value();
    m_prefetched.erase(it);
    return r;
}

bool PgDriver::hasFeature(DriverFeature f) const
{
    switch (f) {
    case Transactions: case QuerySize: case LastInsertId: case LowPrecisionNumbers: case BLOB:
    case PreparedQueries: case PositionalPlaceholders: case Unicode:
        return true;
    default:
        return false;
    }
}

bool PgDriver::open(const QString &db, const QString &user, const QString &password, const QString &host, int port,
                    const QString &options)
{
    close();
    // The session's text encoding and date style go with the connection
    // request instead of costing a statement each afterwards.
    QStringList parts{QStringLiteral("client_encoding='UTF8'"), QStringLiteral("options='-c DateStyle=ISO,YMD'")};
    if (!host.isEmpty())
        parts << QStringLiteral("host=") + quoted(host);
    if (!db.isEmpty())
        parts << QStringLiteral("dbname=") + quoted(db);
    if (!user.isEmpty())
        parts << QStringLiteral("user=") + quoted(user);
    if (!password.isEmpty())
        parts << QStringLiteral("password=") + quoted(password);
    if (port != -1)
        parts << QStringLiteral("port=") + quoted(QString::number(port));
    if (!options.isEmpty())
        parts << QString(options).replace(QLatin1Char(';'), QLatin1Char(' '));
    m_conn = PQconnectdb(parts.join(QLatin1Char(' ')).toUtf8().constData());
    if (PQstatus(m_conn) == CONNECTION_BAD) {
        setLastError(makeError(QStringLiteral("Unable to connect"), QSqlError::ConnectionError, m_conn, nullptr));
        setOpenError(true);
        PQfinish(m_conn);
        m_conn = nullptr;
        return false;
    }
    // Options of the agency's own in the URI may have put others in place.
    const auto setting = [this](const char *name) { return QByteArray(PQparameterStatus(m_conn, name)); };
    if (!setting("DateStyle").startsWith("ISO"))
        run("SET DateStyle = 'ISO, YMD'");
    if (setting("client_encoding") != "UTF8")
        run("SET client_encoding = 'UTF8'");
    setOpen(true);
    setOpenError(false);
    return true;
}

bool PgDriver::run(const char *command)
{
    PGresult *res = PQexec(m_conn, command);
    const bool ok = PQresultStatus(res) == PGRES_COMMAND_OK;
    if (!ok)
        setLastError(makeError(QStringLiteral("Unable to run"), QSqlError::StatementError, m_conn, res));
    PQclear(res);
    return ok;
}

void PgDriver::close()
{
    forgetPrefetched();
    if (m_conn)
        PQfinish(m_conn);
    m_conn = nullptr;
    setOpen(false);
    setOpenError(false);
}

QSqlResult *PgDriver::createResult() const
{
    return new PgResult(this);
}

QStringList PgDriver::tables(QSql::TableType type) const
{
    QStringList out;
    if (!m_conn || !(type & QSql::Tables))
        return out;
    QSqlQuery q(createResult());
    q.exec(QStringLiteral("SELECT c.relname, n.nspname FROM pg_class c LEFT JOIN pg_namespace n ON c.relnamespace = n.oid "
                          "WHERE c.relkind IN ('r', 'p') AND c.relname !~ '^pg_' "
                          "AND n.nspname NOT IN ('pg_catalog', 'information_schema')"));
    while (q.next()) {
        const QString schema = q.value(1).toString();
        out << (schema.isEmpty() || schema == QLatin1String("public") ? q.value(0).toString()
                                                                       : schema + QLatin1Char('.') + q.value(0).toString());
    }
    return out;
}

QVariant PgDriver::handle() const
{
    return QVariant::fromValue(static_cast<void *>(m_conn));
}

QString PgDriver::escapeIdentifier(const QString &identifier, IdentifierType) const
{
    if (identifier.isEmpty() || isIdentifierEscaped(identifier, TableName))
        return identifier;
    QString s = identifier;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

bool PgDriver::beginTransaction() { return m_conn && const_cast<PgDriver *>(this)->run("BEGIN"); }
bool PgDriver::commitTransaction() { return m_conn && run("COMMIT"); }
bool PgDriver::rollbackTransaction() { return m_conn && run("ROLLBACK"); }
