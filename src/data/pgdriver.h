#pragma once

#include <QList>
#include <QMultiHash>
#include <QPair>
#include <QSqlDriver>
#include <QVariant>

typedef struct pg_conn PGconn;

// Qt's PostgreSQL driver sends PREPARE, EXECUTE and DEALLOCATE as three
// commands for each statement with values: three network delays where one
// would do. This driver talks to libpq directly: a statement with values is
// one PQexecParams (values travel apart from the SQL, never pasted into
// it), one without is one PQexec, and the session settings travel with the
// connection request. Values come back as Qt's driver gave them (the same
// types, the same error texts), so callers see no difference.
class PgDriver : public QSqlDriver
{
    Q_OBJECT
public:
    explicit PgDriver(QObject *parent = nullptr);
    ~PgDriver() override;

    bool hasFeature(DriverFeature f) const override;
    bool open(const QString &db, const QString &user, const QString &password, const QString &host, int port,
              const QString &options) override;
    void close() override;
    QSqlResult *createResult() const override;
    QStringList tables(QSql::TableType type) const override;
    QVariant handle() const override;
    QString escapeIdentifier(const QString &identifier, IdentifierType type) const override;
    bool beginTransaction() override;
    bool commitTransaction() override;
    bool rollbackTransaction() override;

    PGconn *connection() const { return m_conn; }

    // Sends the reads together, in one round trip (libpq's pipeline), and
    // keeps their results: each is handed to the first statement run
    // afterwards with the same text and values, once. An empty list
    // forgets what was not taken, and so does any statement that writes.
    void prefetch(const QList<QPair<QString, QVariantList>> &statements);
    // The kept result of this statement, or nullptr; the caller owns it.
    struct pg_result *takePrefetched(const QByteArray &statement, const QVariantList &values, bool reads);

private:
    bool run(const char *command);
    void forgetPrefetched();
    PGconn *m_conn = nullptr;
    QMultiHash<QByteArray, struct pg_result *> m_prefetched;
};
