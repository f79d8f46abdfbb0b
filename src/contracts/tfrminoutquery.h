#pragma once

#include "ui/perioddialog.h"

class TfrmGathering;

// "查询": the period of due dates a receivables or payables list is
// narrowed to; the last 30 days at first.
class TfrmInOutQuery : public PeriodDialog
{
    Q_OBJECT
public:
    TfrmInOutQuery(TfrmGathering *list, QWidget *parent = nullptr);
};
