#include "data/recordscope.h"

#include "data/database.h"
#include "data/dataset.h"
#include "data/session.h"

Condition ownRecordsCondition(Database *db)
{
    const Session &s = Session::current();
    const bool sys = db ? s.isSysNow(*db) : s.isSys();
    return sys ? Condition() : Condition::equals(QStringLiteral("SUser"), s.userId());
}

bool refilter(Dataset *set, const Condition &c)
{
    if (set->isEditing() && !set->post())
        return false;
    set->close();
    set->setFilter(c);
    return set->open();
}
