#include "testlib/login.h"

#include "data/session.h"
#include "data/userrights.h"

QString logInAs(Database &db, const QString &user, bool sys)
{
    Session::current().reset();
    Session::current().logIn(user, sys);
    return UserRights::current().load(db, user);
}
