#pragma once

#include <QString>

#include <memory>

class Database;

// The connection made once at start-up from the line in Server.txt.
namespace StartupConnection {
// Opens the database that Server.txt names (creating the file with the
// default path when it is missing) and brings its schema up to date.
//
// On failure it returns nullptr and *message holds the text for the user:
// "对不起，无法连接数据库：", the location without any password, a line
// break and the database's own reason. The line that failed is kept in
// Server.txt.bak, so a network path that was down for a moment is not
// lost, and Server.txt goes back to the default for the next start.
std::unique_ptr<Database> open(QString *message);

// A program started for the first time in its application directory (no
// Server.txt and no default database there, as after installing the package)
// makes the default database, as `brevia-admin init` does. Returns the text
// for the user when that fails, else empty.
QString makeDefaultDatabaseOnFirstStart();

// The fall-back when the connection cannot be used after all (the data
// module's after-connect step failed): the same backup, reset and message.
QString giveUp(const QString &location, const QString &reason);

// The message for a location that could not be opened.
QString failureText(const QString &location, const QString &reason);
// A location fit to show or to log: a postgresql:// URI loses its password.
QString shownLocation(const QString &location);
} // namespace StartupConnection
