#pragma once

#include "ui/perioddialog.h"

class TfrmTimeAnalyse;

// "按时间段分析": a period, the last 30 days each time it opens.
class TfrmTimeSectQuery : public PeriodDialog
{
    Q_OBJECT
public:
    explicit TfrmTimeSectQuery(TfrmTimeAnalyse *analysis);
};
