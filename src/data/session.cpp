#include "data/session.h"

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
