#pragma once

#include "data/tabledef.h"

#include <QString>

class Database;

// The whole database of the system: every table with its columns, keys and
// indexes, the initial rows of a new database and the numbered migrations.
namespace Schema {

constexpr int kVersion = 3;
inline constexpr char kVersionTable[] = "tblSchemaVersion";

const QVector<TableDef> &tables();
const TableDef *table(const QString &name); // case-insensitive, nullptr when unknown

// The stored spelling of a column name anywhere in the schema
// ("custid" -> "CustId" as the customer table spells it); the name itself
// when no table has it.
QString canonicalColumn(const QString &name);
// The kind of a column known by name only (result columns of queries).
const ColumnDef *anyColumn(const QString &name);

// The 48 right codes in the order the rights window saves them.
const QStringList &rightCodes();

// Creates every table, index and initial row in an empty database.
// Returns an empty string on success, else the reason.
QString create(Database &db);
// True when the database already holds any table of the system.
bool hasAnyTable(Database &db);
// Brings an existing database up to kVersion. Empty string on success.
QString migrate(Database &db);
int storedVersion(Database &db); // 0 when unknown

} // namespace Schema
