#pragma once

#include <QString>

// Server.txt: one line naming the database, a file path or a
// postgresql:// URI. Only the first line is read.
namespace ServerFile {
// The first line; when the file is missing it is created with the default
// path first. *error is set when the file cannot be read or written.
QString read(QString *error = nullptr);
bool write(const QString &location);
bool resetToDefault();
} // namespace ServerFile
