#pragma once

#include <QString>

class Condition;
class Database;

// "Email地址导出": the e-mail addresses of the contacts a condition selects,
// in the contact list's order (LNo), one per line, empty ones left out.
// UTF-8 without a byte-order mark and CR LF line ends, so that the file
// reads the same in a Chinese text editor on any desktop and in a mail
// program's import. Empty on success, otherwise the database's words or
// OutputFile's refusal; a failed write leaves the file as it was.
QString writeEmailList(Database &db, const Condition &contacts, const QString &path);
