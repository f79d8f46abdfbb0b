#pragma once

#include "data/inifile.h"

#include <QString>

class Database;
class Dataset;
class QObject;

// The system log as the viewer reads and clears it. Data only; the lines
// themselves are written by WriteLog.
namespace LogStore {
// Every line of all workstations, oldest first, as a set of the table:
// the row keys are read at open and the lines a page at a time as they
// are shown, so a log of a million lines opens at once.
Dataset *newList(Database &db, QObject *parent);
// Deletes every line of every workstation. Empty on success, else the
// database's text.
QString clear(Database &db);
// Every line for the INI export, oldest first: LogID = "time user operation".
// False with the database's text in error when the log cannot be read.
bool exportEntries(Database &db, IniFile::Entries *entries, QString *error);
} // namespace LogStore
