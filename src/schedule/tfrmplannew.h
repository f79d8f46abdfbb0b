#pragma once

#include "schedule/tfrmplan.h"

// The schedule's editor window ("日程安排"): one plan with its customer,
// the customer's contracts and contact history; "关闭" returns to the
// list window. Its panel stands in the main window's work area.
class TfrmPlanNew : public TfrmPlan
{
    Q_OBJECT
public:
    explicit TfrmPlanNew(QWidget *parent = nullptr);
};
