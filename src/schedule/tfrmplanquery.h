#pragma once

#include <QDialog>

class Dataset;
class DateEdit;

// "日程查询": the schedule narrowed to a period of days (a week either side
// of today at first), or every appointment again.
class TfrmPlanQuery : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmPlanQuery(Dataset *plans, QWidget *parent = nullptr);

    DateEdit *startDate() const { return m_start; }
    DateEdit *endDate() const { return m_end; }
    void BtnAllClick(); // "查询全部"
    void BtnOkClick();  // "确定"

private:
    Dataset *m_plans;
    DateEdit *m_start, *m_end;
};
