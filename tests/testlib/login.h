#pragma once

#include <QString>

class Database;

// Logs a user in as the program's login does: a fresh session for him,
// then his rights read into memory, which the windows go by. Empty on
// success, else why the rights could not be read.
QString logInAs(Database &db, const QString &user, bool sys);
