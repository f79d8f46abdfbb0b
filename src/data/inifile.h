#pragma once

#include <QList>
#include <QPair>
#include <QString>

// A small INI writer for files that people also read and edit by hand:
// it keeps every other line of the file as it was, overwrites the keys it
// is given in place and appends the new ones at the end of their section.
// Files are UTF-8 with CRLF line ends. (QSettings would reorder the file
// and escape the Chinese texts.)
namespace IniFile {
using Entries = QList<QPair<QString, QString>>;

// The new content of a file that held `existing`. Section and key names
// match without regard to letter case, as the Windows routines do; a
// missing section is added at the end.
QByteArray merge(const QByteArray &existing, const QString &section, const Entries &entries);

// Reads path (when it exists), merges and writes it back in one step, so a
// failed write leaves the old file whole. Empty on success, else the
// message for the user (OutputFile::kCannotWrite + the path + the reason).
QString mergeInto(const QString &path, const QString &section, const Entries &entries);
} // namespace IniFile
