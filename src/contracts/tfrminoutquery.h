#pragma once

#include <QDialog>

class DateEdit;
class TfrmGathering;

// "查询": the period of due dates a receivables or payables list is
// narrowed to; the last 30 days at first.
class TfrmInOutQuery : public QDialog
{
    Q_OBJECT
public:
    TfrmInOutQuery(TfrmGathering *list, QWidget *parent = nullptr);

    DateEdit *startDate() const { return m_start; }
    DateEdit *endDate() const { return m_end; }
    void BtnOkClick(); // "确定"

private:
    TfrmGathering *m_list;
    DateEdit *m_start, *m_end;
};
