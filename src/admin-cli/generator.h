#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <functional>

class Database;

// A made-up but plausible agency for trying the program at scale and for
// benchmarks: dictionaries, users with rights, staff, labour-supplying
// units, and per customer contacts, contracts with money lines, contact
// history, placed domestic workers and schedule entries. The same seed
// gives the same rows on either engine.
namespace Generator {

struct Options {
    int customers = 1000;
    quint64 seed = 1;
};

// Rows written per table, in the order they were filled.
using Counts = QList<QPair<QString, qint64>>;
// Called as the customers are written (what, done, total), and once per
// finished table.
using Progress = std::function<void(const QString &what, qint64 done, qint64 total)>;

// Fills a database freshly made by DbSetup::create. Empty string on
// success, else the reason.
QString fill(Database &db, const Options &options, Counts *counts = nullptr, const Progress &progress = {});

// Creates the database at location like `brevia-admin init` (refusing one
// that exists) and fills it, as a DbSetup::Build: the database is there for
// use only when it was filled completely.
QString generate(const QString &location, const Options &options, Counts *counts = nullptr,
                 const Progress &progress = {});

} // namespace Generator
