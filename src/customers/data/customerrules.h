#pragma once

#include "data/tablerules.h"

class Database;

// The customer's tables: the customers themselves, their contact history
// and their additional information. Data only: no window includes this
// file's dependencies, and every path a customer row takes runs its rules.
namespace CustomerRules {
extern const QString kCodeExists; // "对不起，该客户代码已存在！"

TableRules customers();
TableRules history();
TableRules additionalInformation();

// Is code the code of a customer other than the row with the auto number
// exceptCNo (any user's customer, not only the own ones)? A failure counts
// as taken, with the database's text in error.
bool codeTaken(Database &db, const QVariant &code, const QVariant &exceptCNo, QString *error);
} // namespace CustomerRules
