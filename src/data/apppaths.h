#pragma once

#include <QString>

// Every relative path of the system hangs off the application directory:
// BREVIA_HOME when that is set; else the program's folder when the user may
// write there and it is no installed layout (a build folder, a folder copied
// to a share); else the user's own data folder ~/.local/share/Brevia.
//
// What comes with the program (report templates, fonts, the manual, the
// translations) lies in the shipped directory: <prefix>/share/brevia for an
// installed program, the program's folder otherwise.
namespace AppPaths {
QString applicationDirectory(); // absolute, with a trailing '/'
QString path(const QString &relative);
QString serverFile();          // Server.txt
QString defaultDatabasePath(); // Data/HKP30.hdb
QString reportDirectory();     // Data/Report/
QString documentRoot();        // Files/

QString shippedDirectory(); // absolute, with a trailing '/'
QString shippedPath(const QString &relative);
// The application directory's copy of a shipped file when it has one (an
// agency's own edited report template), else the shipped file; when neither
// exists, the application directory's path (where the agency would put it).
QString findData(const QString &relative);
// A helper program that the programs run: beside them in a build, under
// <prefix>/libexec/brevia when installed.
QString helperProgram(const QString &name);

// The rule of applicationDirectory() on its inputs.
struct Situation {
    QString breviaHome;     // the environment variable, empty when unset
    QString programDir;     // the folder of the running program
    bool programDirWritable = false;
    bool installed = false; // the program has a shipped directory of its own
    QString userDataDir;    // ~/.local/share (XDG_DATA_HOME)
};
QString chooseApplicationDirectory(const Situation &s);
} // namespace AppPaths
