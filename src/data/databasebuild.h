#pragma once

#include <QString>

#include <memory>

class Database;

namespace DbSetup {

// A new database that is filled before anyone may use it (generate,
// import). A SQLite file is built under a hidden name beside its place and
// only renamed there when whole, so a build that stops half way (killed, a
// full disk) never leaves a file at the location. On PostgreSQL the
// schema's version, which marks a database whole, is stored as its
// negative until the end; no program opens a database so marked. An
// unfinished build is removed when the object goes, as far as it can be (a
// killed process leaves a hidden file or an unmarked PostgreSQL database,
// both refused).
class Build
{
public:
    explicit Build(QString location);
    ~Build();
    Build(const Build &) = delete;
    Build &operator=(const Build &) = delete;

    // Makes the empty database, refusing as DbSetup::create does; nullptr
    // and *error on failure.
    Database *start(QString *error);
    // Marks the database whole and puts it in place. Empty on success.
    QString finish();

private:
    void abandon();

    QString m_location;
    QString m_buildPath;
    std::unique_ptr<Database> m_db;
    bool m_started = false;
    bool m_finished = false;
};

} // namespace DbSetup
