#include "data/session.h"

#include "data/database.h"

#include <QSqlQuery>

Session &Session::current()
{
    static Session s;
    return s;
}

void Session::logIn(const QString &userId, bool sys)
{
    m_userId = userId;
    m_sys = sys;
}

void Session::reset()
{
    m_userId.clear();
    m_sys = false;
}

bool Session::isSysNow(Database &db) const
{
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    QString error;
    if (!db.prepareAndExec(q, QStringLiteral("SELECT Sys FROM tblUser WHERE UserID = ?"), {m_userId}, &error))
        return false;
    return q.next() && q.value(0).toBool();
}
