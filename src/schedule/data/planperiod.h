#pragma once

#include <QDate>

class Dataset;

// The schedule set (qryPlan) over every appointment, or over those of a
// period (both days included, in whichever order they come), as bound
// values in its statement; showAll puts the statement of every plan back.
// A filter on the set (the daily agenda leaves one) is kept by everything
// but a period and "查询全部", which lift it.
namespace PlanPeriod {
bool showAll(Dataset *plans, bool liftFilter);
bool showPeriod(Dataset *plans, const QDate &from, const QDate &to);
// The appointments of one day, the statement left whole: what the daily
// agenda leaves on the set.
bool showDay(Dataset *plans, const QDate &day);
} // namespace PlanPeriod
