#pragma once

#include <QString>

class Database;

// A SQLite database that may only be read: the file or its folder cannot be
// written (a read-only mount, a copy without write rights). It is opened
// for reading, the user is told once at start-up, stores are refused with
// kStoreRefused, and no log line is kept, so that reading and leaving the
// program still work.
namespace ReadOnly {
extern const QString kStoreRefused;
bool isReadOnly(const Database &db);
// What the user is told at start-up.
QString startupText(const QString &location);
} // namespace ReadOnly
