#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>

class Database;

// The statement of the receivables ("收款") and payables ("付款") lists:
// one row per contract of that direction, with what its money lines have
// brought in or paid out (sumRMB) and what is still outstanding
// (gathering / Payment). A contract without money lines is listed with
// nothing received and all of it outstanding; a contract whose customer
// row is gone is listed with an empty name.
namespace Receivables {
struct Statement {
    QString sql;
    QVariantList values;
};
// Without a period every contract of the direction; with one only those
// whose due date falls between the two days, both included, in whichever
// order they are given.
Statement statement(const Database &db, bool payables, const QDate &from = {}, const QDate &to = {});
} // namespace Receivables
