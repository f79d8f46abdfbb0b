#pragma once

#include <QString>

#include <memory>

class Database;

// Making and opening the system's database, shared by the program and by
// brevia-admin.
namespace DbSetup {
// Creates a new database with every table and initial row. Refuses a
// SQLite file that exists or a PostgreSQL database that already holds a
// table of the system; creates a missing PostgreSQL database.
std::unique_ptr<Database> create(const QString &location, QString *error);
// Opens an existing database of the system and applies pending migrations.
std::unique_ptr<Database> openExisting(const QString &location, QString *error);
// A Server.txt line made absolute against the application directory.
QString resolveLocation(const QString &line);
} // namespace DbSetup
