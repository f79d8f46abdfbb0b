#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class Database;
class LegacySource;

// A value or row that did not arrive as it was.
struct ImportProblem {
    QString table;
    QString rowKey; // "CustId=KH0001", or "第 3 行" in stored order; empty for the whole table
    QString column; // empty when the whole row is concerned
    QString why;
};

struct ImportTableResult {
    QString table;
    qint64 read = 0;
    qint64 written = 0;
    // Clean-ups made on the way in.
    int userCase = 0;     // user codes given the user's stored spelling
    int zeroDates = 0;    // 1899-12-30 00:00:00 made empty
    int orphanRights = 0; // rights rows of users that no longer exist, left out
};

struct ImportReport {
    QVector<ImportTableResult> tables;
    QVector<ImportProblem> problems;
    QStringList notes; // whole-table remarks: tables of no use to the system, users kept
    // A column of a system table that only one side has: its values are
    // left empty or left out.
    QStringList columnMismatches;
    QStringList missingTables; // tables of the system the old file does not hold

    // Nothing to look at: every table and column there, every value taken over.
    bool isComplete() const { return problems.isEmpty() && columnMismatches.isEmpty() && missingTables.isEmpty(); }

    const ImportTableResult *table(const QString &name) const;
    int userCaseTotal() const;
    int zeroDateTotal() const;
    int orphanRightTotal() const;
    // The report printed at the end of an import.
    QString text() const;
};

// Called while rows are copied: the table, rows done and rows in all.
using ImportProgress = std::function<void(const QString &table, qint64 done, qint64 total)>;

// Copies every table of an old database into a new database of the
// system that DbSetup::create has just made (holding only the initial
// rows). One transaction per table.
class LegacyImporter
{
public:
    LegacyImporter(LegacySource &source, Database &db) : m_source(source), m_db(db) {}
    // Empty on success (values that did not convert are in the report),
    // else why the import stopped.
    QString run(ImportReport *report, const ImportProgress &progress = {});

private:
    LegacySource &m_source;
    Database &m_db;
};

namespace LegacyImport {
// The whole command: reads oldPath whole (LegacyReader), creates target as
// `init` does (never over an existing database) and imports. A file that
// cannot be read, or holds none of the system's tables, is refused before
// the target is made; on a later failure the new target is taken away
// again so that the import can simply be repeated.
QString importFile(const QString &oldPath, const QString &target, ImportReport *report,
                   const ImportProgress &progress = {});
} // namespace LegacyImport
