#pragma once

#include <QStringList>

// brevia-admin backup [TARGET] [--db PATH|URI]
// brevia-admin restore SOURCE [--db PATH|URI]
// The same backup and restore as the program's windows, for a nightly job:
// the database of Server.txt unless --db names another, the backup file
// Backup/HKP30.hdb unless TARGET names another. Exit status 0 on success,
// 1 with the message on stderr otherwise, 2 for wrong arguments.
int backupCommand(const QStringList &args);
int restoreCommand(const QStringList &args);
