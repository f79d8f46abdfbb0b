#include "admin/data/userstore.h"

#include "data/database.h"
#include "data/password.h"
#include "data/schema.h"
#include "data/tabledef.h"

#include <QHash>
#include <QSqlQuery>

namespace {

const char *const kOperationColumns[] = {"Insert", "Modify", "Delete", "Query", "Print"};
static_assert(std::size(kOperationColumns) == UserStore::OperationCount);

// Mass e-mail runs from its shortcut for anyone.
const QString kNeverWritten = QStringLiteral("502");

bool readOneUser(Database &db, const QString &where, const QString &code, UserStore::User *user, QString *error)
{
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    if (!db.prepareAndExec(q, QStringLiteral("SELECT UserID, UserName, Password, Sys FROM tblUser WHERE ") + where,
                           {code}, error))
        return false;
    const ColumnDef *sys = Schema::anyColumn(QStringLiteral("Sys"));
    bool found = false;
    while (q.next()) {
        const QString id = q.value(0).toString();
        // An exact spelling wins should old data hold two spellings.
        if (found && id != code)
            continue;
        user->userId = id;
        user->userName = q.value(1).toString();
        user->storedPassword = q.value(2).toString();
        user->sys = db.fromDb(sys, q.value(3)).toBool();
        found = true;
    }
    return found;
}

} // namespace

QStringList UserStore::loginUsers(Database &db, QString *error)
{
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    if (!db.prepareAndExec(q, QStringLiteral("SELECT UserID, State FROM tblUser"), {}, error))
        return {};
    QStringList users;
    while (q.next())
        if (q.value(1).toString() != QLatin1String("No"))
            users << q.value(0).toString();
    return users;
}

bool UserStore::findLoginUser(Database &db, const QString &typed, User *user, QString *error)
{
    // Codes are looked up without regard to letter case, as the users of
    // the old system were used to; the one stored spelling is what counts.
    return readOneUser(db, QStringLiteral("lower(UserID) = lower(?)"), typed, user, error);
}

bool UserStore::readUser(Database &db, const QString &userId, User *user, QString *error)
{
    return readOneUser(db, QStringLiteral("UserID = ?"), userId, user, error);
}

bool UserStore::passwordMatches(const QString &stored, const QString &plain)
{
    return Password::isHash(stored) ? Password::verify(stored, plain) : stored == plain;
}

QString UserStore::storedPassword(Database &db, const QString &userId, QString *error)
{
    User user;
    return readUser(db, userId, &user, error) ? user.storedPassword : QString();
}

QString UserStore::setPassword(Database &db, const QString &userId, const QString &plain)
{
    const QString hashed = Password::hash(plain);
    if (hashed.isEmpty())
        return QStringLiteral("无法生成口令摘要");
    return db.exec(QStringLiteral("UPDATE tblUser SET Password = ? WHERE UserID = ?"), {hashed, userId});
}

QString UserStore::rehashClearPassword(Database &db, const User &user, const QString &plain)
{
    if (Password::isHash(user.storedPassword))
        return {};
    const QString hashed = Password::hash(plain);
    if (hashed.isEmpty())
        return QStringLiteral("无法生成口令摘要");
    // Only the value that was read is replaced: a password another
    // workstation set meanwhile stays.
    return db.exec(QStringLiteral("UPDATE tblUser SET Password = ? WHERE UserID = ? AND Password = ?"),
                   {hashed, user.userId, user.storedPassword});
}

bool UserStore::readRights(Database &db, const QString &userId, QVector<Right> *rights, QString *error)
{
    const TableDef *t = Schema::table(QStringLiteral("tblUserRight"));
    QStringList cols{QStringLiteral("RightID")};
    for (const char *c : kOperationColumns)
        cols << db.dialect().ident(QLatin1String(c));
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    if (!db.prepareAndExec(q,
                           QStringLiteral("SELECT %1 FROM tblUserRight WHERE lower(UserID) = lower(?)")
                               .arg(cols.join(QStringLiteral(", "))),
                           {userId}, error))
        return false;
    rights->clear();
    while (q.next()) {
        // Codes are three-digit texts; a padded CHAR column must not hide one.
        Right r{q.value(0).toString().trimmed(), {}};
        for (int op = 0; op < OperationCount; ++op)
            r.ops[op] = db.fromDb(t->column(QLatin1String(kOperationColumns[op])), q.value(op + 1)).toBool();
        rights->append(r);
    }
    return true;
}

QString UserStore::removeRights(Database &db, const QString &userId)
{
    return db.exec(QStringLiteral("DELETE FROM tblUserRight WHERE lower(UserID) = lower(?)"), {userId});
}

QString UserStore::replaceRights(Database &db, const QString &userId, const QVector<Right> &rights)
{
    QHash<QString, const Right *> byCode;
    for (const Right &r : rights)
        byCode.insert(r.code, &r);
    // All or nothing: a failure half way must not leave the user with
    // fewer rights than before.
    Transaction tx(db);
    if (!tx.ok())
        return tx.error();
    QString error = removeRights(db, userId);
    if (!error.isEmpty())
        return error;
    for (const QString &code : Schema::rightCodes()) {
        const Right *r = byCode.value(code);
        if (!r || code == kNeverWritten)
            continue;
        FieldValues row{{QStringLiteral("UserID"), userId}, {QStringLiteral("RightID"), code}};
        for (int op = 0; op < OperationCount; ++op)
            row.append({QLatin1String(kOperationColumns[op]), r->ops[op]});
        error = db.insertRow(QStringLiteral("tblUserRight"), row);
        if (!error.isEmpty())
            return error;
    }
    return tx.commit();
}
