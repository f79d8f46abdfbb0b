#include "schedule/data/planperiod.h"

#include "data/condition.h"
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
    plans->close();
    if (TdmMain *dm = TdmMain::instance())
        dm->restoreStatement(Sets::kPlans);
    plans->setFilter(Condition::dateRange(QStringLiteral("PlanDate"), std::min(from, to), std::max(from, to)));
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
