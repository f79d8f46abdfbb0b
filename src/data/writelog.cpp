#include "data/writelog.h"

#include "data/clock.h"
#include "data/database.h"
#include "data/format.h"
#include "data/session.h"

QString WriteLog(Database &db, const QString &operate)
{
    return db.insertRow(QStringLiteral("tblLog"),
                        {{QStringLiteral("LogDateTime"), Format::dateTime(Clock::instance().now())},
                         {QStringLiteral("UserID"), Session::current().userId()},
                         {QStringLiteral("Operate"), operate}});
}
