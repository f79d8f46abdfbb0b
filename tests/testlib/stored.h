#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

class Database;

// What a database holds, read straight from it with bound values: what a
// test checks a window or a set stored, past every cache of the program.
namespace Stored {

// The first value of the first row; null when the statement fails or
// returns no row.
QVariant value(Database &db, const QString &sql, const QVariantList &values = {});
// The first value as text; "<none>" when there is no row, so that a
// missing row is told apart from an empty field.
QString text(Database &db, const QString &sql, const QVariantList &values = {});
// The first value as a number (a COUNT(*)); -1 and a test failure naming
// the database's reason when the statement fails.
int count(Database &db, const QString &sql, const QVariantList &values = {});
// The first column of every row, as text; a statement that fails fails the
// test.
QStringList column(Database &db, const QString &sql, const QVariantList &values = {});

// The system log's lines (tblLog.Operate), oldest first.
QStringList logLines(Database &db);
// The newest line of the system log; empty when there is none.
QString lastLog(Database &db);

} // namespace Stored
