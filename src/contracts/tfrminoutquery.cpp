#include "contracts/tfrminoutquery.h"

#include "contracts/tfrmgathering.h"
#include "data/clock.h"

TfrmInOutQuery::TfrmInOutQuery(TfrmGathering *list, QWidget *parent)
    : PeriodDialog(QStringLiteral("TfrmInOutQuery"), QStringLiteral("查询"), Clock::instance().today().addDays(-30),
                   Clock::instance().today(),
                   [list](const QDate &from, const QDate &to) { return list->applyPeriod(from, to); }, parent)
{
}
