#pragma once

#include <QString>

class Database;

// Appends one line to the system log: the moment (fixed form
// yyyy-M-d H:mm:ss, the same on every workstation), the current user code
// and the operation text, a menu path such as "客户业务管理-客户资料-保存".
// Commands call it first, before any check or question.
//
// One INSERT and nothing else: the cost of a line does not depend on how
// long the log has grown. Returns an empty string on success, else the
// database's own text; the caller shows it and does not go on.
QString WriteLog(Database &db, const QString &operate);
