#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

class Database;

// The users and their rights as the login, the password change and the
// rights window read and write them. Data only. Failures return the
// database's text.
namespace UserStore {

struct User {
    QString userId; // as tblUser spells it
    QString userName;
    // An argon2id string, or the clear text an old database still holds.
    QString storedPassword;
    bool sys = false;
};

// The operation flags of a right, in the order of tblUserRight's columns.
enum Operation { Insert, Modify, Delete, Query, Print, OperationCount };

struct Right {
    QString code; // "301"
    std::array<bool, OperationCount> ops{};
};

// The codes the login offers: every user but the disabled ones (State
// "No"); a user without a State is offered.
QStringList loginUsers(Database &db, QString *error);

// The user whose code is typed, without regard to letter case; should old
// data hold two spellings, the exact one wins. False when there is none,
// or on failure with the text in error.
bool findLoginUser(Database &db, const QString &typed, User *user, QString *error);

// The user with exactly this code. False when there is none, or on
// failure with the text in error.
bool readUser(Database &db, const QString &userId, User *user, QString *error);

// Does plain match a stored password? A row of an old database may still
// hold its password in clear; a hash typed as a password never matches.
bool passwordMatches(const QString &stored, const QString &plain);

// The stored password of userId (exact code); empty when there is no such
// user or on failure, with the text in error.
QString storedPassword(Database &db, const QString &userId, QString *error);

// Stores the argon2id hash of plain as userId's password. Empty on
// success, else why not.
QString setPassword(Database &db, const QString &userId, const QString &plain);

// Replaces the clear-text password an old database holds for user by its
// hash, unless another workstation changed it meanwhile. Does nothing for
// a stored hash. Empty on success, else why not.
QString rehashClearPassword(Database &db, const User &user, const QString &plain);

// The rows of tblUserRight of userId (code without regard to letter case).
bool readRights(Database &db, const QString &userId, QVector<Right> *rights, QString *error);

// Deletes every row of tblUserRight of userId (code without regard to
// letter case), inside the caller's transaction when there is one: a user
// deleted takes its rights along, or a user created later under the same
// code would inherit them. Empty on success, else the database's text.
QString removeRights(Database &db, const QString &userId);

// Replaces userId's rights by the given ones in one transaction: either
// every row is replaced or, on failure, none. Rows are written in the
// order of Schema::rightCodes(); a code outside it is not written, nor is
// 502 (mass e-mail runs for anyone, a row of it means nothing). Empty on
// success, else the database's text.
QString replaceRights(Database &db, const QString &userId, const QVector<Right> &rights);

} // namespace UserStore
