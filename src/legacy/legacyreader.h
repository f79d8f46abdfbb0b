#pragma once

#include "legacy/legacysnapshot.h"

#include <QStringList>

#include <memory>

// Reads an old database file whole before anything is written. The file
// is read by a program of its own (brevia-legacy-reader, beside this one)
// that first walks the file's page structure and only then lets the
// reading library at it; whatever a damaged file does to that library, a
// loop without end or a crash, ends with that process. A reading that
// makes no progress for the stall time is stopped, as is one that returns
// more rows than the table's pages hold.
class LegacyReader
{
public:
    LegacyReader();

    // The program run as: program arguments... file.
    void setProgram(const QString &program, const QStringList &arguments = {});
    void setStallTimeout(int milliseconds) { m_stallMs = milliseconds; }

    // nullptr and *error (naming the table that could not be read) when
    // the file cannot be read whole.
    std::unique_ptr<LegacySnapshot> read(const QString &path, QString *error) const;

private:
    QString m_program;
    QStringList m_arguments;
    int m_stallMs = 20000;
};
