#pragma once

#include <QString>

class Database;

// The first step of a command: its line in the system log. When the line
// cannot be stored the database's own text is shown and the command must
// not go on (false).
bool logCommand(Database &db, const QString &operate);
// The same on the data module's connection.
bool logCommand(const QString &operate);
