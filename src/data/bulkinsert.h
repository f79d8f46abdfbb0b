#pragma once

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class Database;
struct ColumnDef;

// Many rows into one table: the rows are gathered and sent several at a
// time through one prepared multi-row INSERT that is reused, which is far
// cheaper than one statement per row (Database::insertRow). Values are
// converted by column kind exactly as insertRow converts them. The caller
// holds the transaction; rows still gathered are sent by flush().
class BulkInsert
{
public:
    BulkInsert(Database &db, const QString &table, const QStringList &columns);
    BulkInsert(const BulkInsert &) = delete;
    BulkInsert &operator=(const BulkInsert &) = delete;

    // One row, its values in the order of the columns. Empty string on
    // success, else the text the user sees.
    QString add(const QVariantList &values);
    QString flush();
    qint64 rowsWritten() const { return m_written; }
    int rowsPerStatement() const { return m_perStatement; }

private:
    QString send(int rows);
    QString statement(int rows) const;

    Database &m_db;
    QString m_table;
    QStringList m_idents;
    QVector<const ColumnDef *> m_defs; // the caller's columns, then the pinyin keys
    int m_given = 0;                   // how many of them the caller gives
    QVector<int> m_keySources;         // per key, the caller's column of its name
    int m_perStatement = 1;
    QVariantList m_pending; // converted values, row after row
    QSqlQuery m_full;       // prepared once for a full batch
    bool m_fullPrepared = false;
    qint64 m_written = 0;
};
