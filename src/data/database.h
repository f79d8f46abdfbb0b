#pragma once

#include "data/dialect.h"

#include <QPair>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

struct ColumnDef;
class QSqlError;
class QSqlQuery;

using FieldValues = QList<QPair<QString, QVariant>>;

// One open connection to the system's database: a SQLite file or a
// PostgreSQL database named by a postgresql:// URI.
class Database
{
public:
    // What a store refused because another workstation held the database says.
    static const QString kBusyText;
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens the database named by location. Returns nullptr and sets *error
    // when it cannot be opened. A SQLite file that does not exist is refused
    // unless create is true.
    static std::unique_ptr<Database> open(const QString &location, QString *error, bool create = false);
    static bool isPostgresUri(const QString &location);

    const QString &location() const { return m_location; }
    const Dialect &dialect() const { return m_dialect; }
    bool isPostgres() const { return m_dialect.isPostgres(); }
    QSqlDatabase sql() const;
    bool isOpen() const;

    // Runs one statement with positional values. Empty string on success,
    // else the text the user sees.
    QString exec(const QString &sql, const QVariantList &values = {});
    bool prepareAndExec(QSqlQuery &q, const QString &sql, const QVariantList &values, QString *error);
    // Runs a select and hands each row's values to onRow (the row's first
    // value; as many as the select names), as QSqlQuery would give them.
    // On SQLite the rows come straight from the statement: reading a column
    // of every row of a large list for a sort or a grouping takes a good
    // deal less than through QtSql's copies.
    bool scan(const QString &sql, const QVariantList &values, const std::function<void(const QVariant *row)> &onRow,
              QString *error);
    QString insertRow(const QString &table, const FieldValues &values, QVariant *autoNumber = nullptr);
    // Reads about to be run one after another, sent together: on
    // PostgreSQL one round trip for all of them, each result kept for the
    // same statement with the same values when it runs (once). An empty
    // list forgets the results not taken; a write forgets them too. Nothing
    // on SQLite, where a read costs no trip over a network.
    void prefetch(const QList<QPair<QString, QVariantList>> &statements);
    QStringList tableNames() const;

    // Write transactions. Nested calls join the outer transaction.
    QString begin();
    QString commit();
    void rollback();
    bool inTransaction() const { return m_txDepth > 0; }

    // Values crossing to and from the engine, by column kind.
    QVariant toDb(const ColumnDef *c, const QVariant &v) const;
    QVariant fromDb(const ColumnDef *c, const QVariant &v) const;

    // The user's text for an error of the engine.
    QString errorText(const QSqlError &e) const;
    bool journalIsWal() const { return m_wal; }

private:
    Database(QString location, Engine engine);
    QString openSqlite(bool create);
    QString openPostgres();

    QString m_location;
    QString m_connection;
    Dialect m_dialect;
    int m_txDepth = 0;
    bool m_wal = false;
    bool m_guarded = false;
};

// Begins a write transaction and rolls it back unless committed.
class Transaction
{
public:
    explicit Transaction(Database &db) : m_db(db), m_error(db.begin()) {}
    ~Transaction()
    {
        if (m_error.isEmpty() && !m_done)
            m_db.rollback();
    }
    bool ok() const { return m_error.isEmpty(); }
    const QString &error() const { return m_error; }
    QString commit()
    {
        m_done = true;
        return m_db.commit();
    }

private:
    Database &m_db;
    QString m_error;
    bool m_done = false;
};
