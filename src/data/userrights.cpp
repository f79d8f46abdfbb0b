#include "data/userrights.h"

#include "data/database.h"
#include "data/dialect.h"

#include <QSqlQuery>

UserRights &UserRights::current()
{
    static UserRights r;
    return r;
}

QString UserRights::load(Database &db, const QString &userId)
{
    m_rights.clear();
    const Dialect &d = db.dialect();
    // User codes are one user regardless of letter case, as at the login
    // and in the rights window; old databases hold rows typed either way.
    const QString sql = QStringLiteral("SELECT RightID, %1, %2, %3, %4, %5 FROM tblUserRight "
                                       "WHERE lower(UserID) = lower(?)")
                            .arg(d.ident(QStringLiteral("Insert")), d.ident(QStringLiteral("Modify")),
                                 d.ident(QStringLiteral("Delete")), d.ident(QStringLiteral("Query")),
                                 d.ident(QStringLiteral("Print")));
    QSqlQuery q(db.sql());
    QString error;
    if (!db.prepareAndExec(q, sql, {userId}, &error))
        return error;
    while (q.next()) {
        // Codes are three-digit texts; a padded CHAR column must not hide one.
        m_rights.insert(q.value(0).toString().trimmed(), Ops{q.value(1).toBool(), q.value(2).toBool(),
                                                                   q.value(3).toBool(), q.value(4).toBool(),
                                                                   q.value(5).toBool()});
    }
    return {};
}
