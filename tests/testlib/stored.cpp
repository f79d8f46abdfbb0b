#include "testlib/stored.h"

#include "data/database.h"

#include <gtest/gtest.h>

#include <QSqlQuery>

namespace Stored {

QVariant value(Database &db, const QString &sql, const QVariantList &values)
{
    QSqlQuery q(db.sql());
    QString error;
    return db.prepareAndExec(q, sql, values, &error) && q.next() ? q.value(0) : QVariant();
}

QString text(Database &db, const QString &sql, const QVariantList &values)
{
    QSqlQuery q(db.sql());
    QString error;
    return db.prepareAndExec(q, sql, values, &error) && q.next() ? q.value(0).toString() : QStringLiteral("<none>");
}

int count(Database &db, const QString &sql, const QVariantList &values)
{
    QSqlQuery q(db.sql());
    QString error;
    if (!db.prepareAndExec(q, sql, values, &error)) {
        ADD_FAILURE() << sql.toStdString() << ": " << error.toStdString();
        return -1;
    }
    return q.next() ? q.value(0).toInt() : -1;
}

QStringList column(Database &db, const QString &sql, const QVariantList &values)
{
    QSqlQuery q(db.sql());
    QString error;
    QStringList out;
    if (!db.prepareAndExec(q, sql, values, &error))
        ADD_FAILURE() << sql.toStdString() << ": " << error.toStdString();
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QStringList logLines(Database &db) { return column(db, QStringLiteral("SELECT Operate FROM tblLog ORDER BY LogID")); }

QString lastLog(Database &db)
{
    const QVariant v = value(db, QStringLiteral("SELECT Operate FROM tblLog ORDER BY LogID DESC"));
    return v.toString();
}

} // namespace Stored
