#pragma once

#include "data/database.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

// The engines a test runs on: SQLite always, PostgreSQL when the test
// script started a server and named it in BREVIA_TEST_PG
// (postgresql://user@127.0.0.1:port).
std::vector<Engine> testEngines();
std::string engineName(Engine e);

// A new, empty database made by the real schema code, removed afterwards.
// On PostgreSQL the schema is made once per test process, in a template
// database, and each test gets its own copy of it.
class TempDatabase
{
public:
    explicit TempDatabase(Engine engine, bool withSchema = true);
    ~TempDatabase();

    // Removes the template of this process; the test main calls it last.
    static void dropTemplate();

    Database &db() { return *m_db; }
    const QString &location() const { return m_location; }
    // A second, independent connection, as another workstation would have.
    std::unique_ptr<Database> openAnother() const;
    const QString &error() const { return m_error; }
    // A folder that lives as long as the database, for files of the test.
    QString dir() const { return m_dir.path(); }

private:
    Engine m_engine;
    QTemporaryDir m_dir;
    QString m_location;
    QString m_pgName;
    std::unique_ptr<Database> m_db;
    QString m_error;
};

#include <QStringList>
#include <ostream>

// Readable failures for Qt strings.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList &l, std::ostream *os) { *os << '{' << l.join(", ").toStdString() << '}'; }
