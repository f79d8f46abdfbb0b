#pragma once

#include <QString>

// Where the documents of each record family live under the document root
// (Files/ beside the program). Each function makes its folder when it is
// missing and returns it as an absolute path with a trailing '/'; nothing
// here ever renames, moves or deletes a folder. A folder that cannot be
// made is still returned: the file list then shows what exists and the
// command that needs it reports the system's reason.
namespace DocumentFolders {

// A record code as one folder name. Codes are typed by users, so "..",
// "../x" or "a/b" must not reach outside the family folder or nest: a
// plain code stays as it is; otherwise '/', '\', NUL, '%' and a leading
// '.' are percent-encoded, which keeps different codes in different
// folders. An empty code has no folder of its own (empty result).
QString safeName(const QString &code);

QString root();                             // Files/
QString customer(const QString &custId);    // Files/<CustID>, also its contacts and contracts
QString operaters();                        // Files/Operaters
QString operater(const QString &operaterId); // Files/Operaters/<OperaterID>
QString yuangongFamily();                   // Files/Yuangong
QString yuangong(const QString &yuangongId); // Files/Yuangong/<YuangongID>
QString shusong();                          // Files/Shusong, shared by every unit
QString plans();                            // Files/Plans, shared by every schedule entry

} // namespace DocumentFolders
