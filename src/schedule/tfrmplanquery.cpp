#include "schedule/tfrmplanquery.h"

#include "data/clock.h"
#include "data/dataset.h"
#include "schedule/data/planperiod.h"
#include "ui/prompts.h"

#include <QPushButton>

namespace {
bool shown(Dataset *plans, bool ok)
{
    if (!ok)
        Prompts::instance().warn(plans->lastError());
    return ok;
}
} // namespace

TfrmPlanQuery::TfrmPlanQuery(Dataset *plans, QWidget *parent)
    : PeriodDialog(
          QStringLiteral("TfrmPlanQuery"), QStringLiteral("日程查询"), Clock::instance().today().addDays(-7),
          Clock::instance().today().addDays(7),
          [plans](const QDate &from, const QDate &to) { return shown(plans, PlanPeriod::showPeriod(plans, from, to)); },
          parent,
          {{QStringLiteral("BtnAll"), QStringLiteral("查询全部"),
            [plans] { return shown(plans, PlanPeriod::showAll(plans, true)); }}})
{
}

void TfrmPlanQuery::BtnAllClick()
{
    findChild<QPushButton *>(QStringLiteral("BtnAll"))->click();
}
