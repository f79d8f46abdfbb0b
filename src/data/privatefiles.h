#pragma once

#include <QString>

// What the program makes in the application directory (the database, its
// backups and safety copies, the folders for documents, logs and backups,
// Server.txt) is the user's own: nobody else on the machine reads it.
// Folders and files that exist already keep whatever their owner set, so a
// database folder shared on purpose stays shared.
namespace PrivateFiles {
// Makes a folder and any missing folders above it, each new one 0700.
// True when the folder exists afterwards.
bool makeFolder(const QString &dir);
// A file the program has just made becomes 0600.
bool makeFile(const QString &file);
} // namespace PrivateFiles
