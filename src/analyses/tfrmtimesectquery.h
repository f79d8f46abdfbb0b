#pragma once

#include <QDialog>

class DateEdit;
class TfrmTimeAnalyse;

// "按时间段分析": a period, the last 30 days each time it opens.
class TfrmTimeSectQuery : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmTimeSectQuery(TfrmTimeAnalyse *analysis);

    void BtnOkClick(); // "确定"
    DateEdit *dateFrom() const { return m_from; }
    DateEdit *dateTo() const { return m_to; }

private:
    TfrmTimeAnalyse *m_analysis;
    DateEdit *m_from;
    DateEdit *m_to;
};
