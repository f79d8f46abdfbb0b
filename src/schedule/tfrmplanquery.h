#pragma once

#include "ui/perioddialog.h"

class Dataset;

// "日程查询": the schedule narrowed to a period of days (a week either side
// of today at first), or every appointment again.
class TfrmPlanQuery : public PeriodDialog
{
    Q_OBJECT
public:
    explicit TfrmPlanQuery(Dataset *plans, QWidget *parent = nullptr);
    void BtnAllClick(); // "查询全部"
};
