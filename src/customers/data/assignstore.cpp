#include "customers/data/assignstore.h"

#include "data/database.h"

#include <QSqlQuery>

namespace AssignStore {

QStringList allUsers(Database &db, QString *error)
{
    QSqlQuery q(db.sql());
    // In the table's order, as the login's list offers them.
    if (!db.prepareAndExec(q, QStringLiteral("SELECT UserID, State FROM tblUser"), {}, error))
        return {};
    QStringList users;
    while (q.next())
        users << q.value(0).toString();
    return users;
}

QStringList targetUsers(Database &db, QString *error)
{
    QSqlQuery q(db.sql());
    if (!db.prepareAndExec(q, QStringLiteral("SELECT UserID, State FROM tblUser"), {}, error))
        return {};
    // A user without a State can still be given records; a disabled one not.
    QStringList users;
    while (q.next())
        if (q.value(1).toString() != QLatin1String("No"))
            users << q.value(0).toString();
    return users;
}

QString assign(Database &db, Kind kind, const QStringList &codes, const QString &target)
{
    // One transaction: an assignment that fails half way leaves no customer
    // with some contacts handed over and others not.
    Transaction tx(db);
    if (!tx.ok())
        return tx.error();
    for (const QString &code : codes) {
        QString err;
        if (kind == Kind::Customers) {
            err = db.exec(QStringLiteral("UPDATE tblCustomers SET SUser = ? WHERE CustId = ?"), {target, code});
            if (err.isEmpty())
                err = db.exec(QStringLiteral("UPDATE tblLinkmans SET SUser = ? WHERE CustID = ?"), {target, code});
        } else {
            err = db.exec(QStringLiteral("UPDATE tblOperates SET SUser = ? WHERE OperateID = ?"), {target, code});
        }
        if (!err.isEmpty())
            return err;
    }
    return tx.commit();
}

} // namespace AssignStore
