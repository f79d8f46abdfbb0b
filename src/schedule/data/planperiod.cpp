#include "schedule/data/planperiod.h"

#include "data/condition.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/sharedsets.h"

namespace PlanPeriod {

bool showAll(Dataset *plans, bool liftFilter)
{
    if (TdmMain *dm = TdmMain::instance())
        dm->restoreStatement(Sets::kPlans);
    if (liftFilter)
        plans->clearFilter();
    return plans->isActive() ? plans->refresh() : plans->open();
}

bool showPeriod(Dataset *plans, const QDate &from, const QDate &to)
{
    // The period is the set's statement, not a filter: "刷新" and the next
    // opening read every plan again, while a filter (the agenda's today)
    // is lifted by the period itself.
    plans->close();
    plans->clearFilter();
    if (!plans->database())
        return plans->open();
    QVariantList values;
    const QString where = Condition::dateRange(QStringLiteral("PlanDate"), std::min(from, to), std::max(from, to))
                              .toSql(plans->database()->dialect(), values);
    plans->setSql(QStringLiteral("select * from tblPlan where ") + where, values);
    return plans->open();
}

bool showDay(Dataset *plans, const QDate &day)
{
    plans->close();
    if (TdmMain *dm = TdmMain::instance())
        dm->restoreStatement(Sets::kPlans);
    plans->setFilter(Condition::dateRange(QStringLiteral("PlanDate"), day, day));
    return plans->open();
}

} // namespace PlanPeriod
