#pragma once

#include <QString>

// Every relative path of the system hangs off the application directory:
// the directory of the program file, or BREVIA_HOME when that is set.
namespace AppPaths {
QString applicationDirectory(); // absolute, with a trailing '/'
QString path(const QString &relative);
QString serverFile();          // Server.txt
QString defaultDatabasePath(); // Data/HKP30.hdb
QString reportDirectory();     // Data/Report/
QString documentRoot();        // Files/
} // namespace AppPaths
