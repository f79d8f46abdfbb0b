#include "ui/logcommand.h"

#include "data/dmmain.h"
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

bool logCommand(const QString &operate)
{
    TdmMain *dm = TdmMain::instance();
    Database *db = dm ? dm->database() : nullptr;
    if (!db) {
        Prompts::instance().warn(QStringLiteral("对不起，数据库没有连接！"));
        return false;
    }
    return logCommand(*db, operate);
}
