#include "analyses/tfrmtimesectquery.h"

#include "analyses/data/timeanalyses.h"
#include "analyses/tfrmtimeanalyse.h"
#include "data/clock.h"
#include "data/dmmain.h"

TfrmTimeSectQuery::TfrmTimeSectQuery(TfrmTimeAnalyse *analysis)
    : PeriodDialog(QStringLiteral("TfrmTimeSectQuery"), QStringLiteral("按时间段分析"),
                   Clock::instance().today().addDays(-30), Clock::instance().today(),
                   [analysis](const QDate &from, const QDate &to) {
                       if (Database *db = TdmMain::instance()->database())
                           analysis->showResult(TimeAnalyses::period(*db, from, to, analysis->pieDirection()));
                       return true;
                   },
                   analysis)
{
}
