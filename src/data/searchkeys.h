#pragma once

#include "data/database.h"

#include <QString>
#include <QVector>

class TableDef;

// The hidden pinyin key columns (TableDef::searchKeys) kept beside their
// name columns. Every store path goes through here: a row written with a
// name is written with its key, so a search never works a name out again.
namespace SearchKeys {

// The key of each name among the values put beside it (or in place of a
// key the values already hold, which a row read earlier may carry).
void addTo(const TableDef &table, FieldValues &values);

// For a list of columns about to be written row by row: the key columns to
// append and, for each, the position of its name among the columns.
struct Appended {
    QStringList keyColumns;
    QVector<int> sourceAt;
};
Appended appendedTo(const TableDef &table, const QStringList &columns);

// Works out the key of every row of the table whose key is missing (all
// rows with everyRow), in the caller's transaction. Empty on success.
QString fill(Database &db, const TableDef &table, bool everyRow = false);

} // namespace SearchKeys
