#include "data/writelog.h"

#include "data/clock.h"
#include "data/database.h"
#include "data/format.h"
#include "data/readonly.h"
#include "data/session.h"

QString WriteLog(Database &db, const QString &operate)
{
    // A database that may only be read keeps no log; the user was told at
    // the start, and reading and leaving the program must still work.
    if (ReadOnly::isReadOnly(db))
        return {};
    return db.insertRow(QStringLiteral("tblLog"),
                        {{QStringLiteral("LogDateTime"), Format::dateTime(Clock::instance().now())},
                         {QStringLiteral("UserID"), Session::current().userId()},
                         {QStringLiteral("Operate"), operate}});
}
