#include "ui/logcommand.h"

#include "data/writelog.h"
#include "ui/prompts.h"

bool logCommand(Database &db, const QString &operate)
{
    const QString error = WriteLog(db, operate);
    if (error.isEmpty())
        return true;
    Prompts::instance().warn(error);
    return false;
}
