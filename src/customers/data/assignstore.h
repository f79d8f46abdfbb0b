#pragma once

#include <QString>
#include <QStringList>

class Database;

// The hand-over of records from one user to another: only their SUser
// changes. Data only; failures return the database's text.
namespace AssignStore {

enum class Kind {
    Customers, // each customer with its contacts; its contracts stay
    Contracts,
};

// Every user code, in the order of the codes.
QStringList allUsers(Database &db, QString *error);
// The users records may be handed to: all but the disabled ones (State "No"),
// in the order of the codes.
QStringList targetUsers(Database &db, QString *error);

// Gives every record with one of the codes to target, all of them or, on
// failure, none. Codes are bound values: a quote in a code is a quote.
// Empty on success.
QString assign(Database &db, Kind kind, const QStringList &codes, const QString &target);

} // namespace AssignStore
