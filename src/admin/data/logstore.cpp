#include "admin/data/logstore.h"

#include "data/database.h"
#include "data/dataset.h"
#include "data/schema.h"

#include <QSqlQuery>

Dataset *LogStore::newList(Database &db, QObject *parent)
{
    auto *set = new Dataset(&db, QStringLiteral("tblLog"), Schema::table(QStringLiteral("tblLog")), parent);
    set->setOrderBy({QStringLiteral("LogID")});
    return set;
}

QString LogStore::clear(Database &db)
{
    return db.exec(QStringLiteral("DELETE FROM tblLog"));
}

bool LogStore::exportEntries(Database &db, IniFile::Entries *entries, QString *error)
{
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    if (!db.prepareAndExec(q, QStringLiteral("SELECT LogID, LogDateTime, UserID, Operate FROM tblLog ORDER BY LogID"),
                           {}, error))
        return false;
    while (q.next())
        entries->append({q.value(0).toString(), q.value(1).toString() + QLatin1Char(' ') + q.value(2).toString()
                                                    + QLatin1Char(' ') + q.value(3).toString()});
    return true;
}
