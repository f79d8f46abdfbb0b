#pragma once

#include "analyses/analysispanel.h"

class QComboBox;

// "按时间分析": "查询" opens the dialog of the content chosen (a year, a
// quarter or a period), which fills the list and the pie of the contract
// amounts per customer; "收入"/"支出" is read when a dialog is confirmed.
class TfrmTimeAnalyse : public AnalysisPanel
{
    Q_OBJECT
public:
    explicit TfrmTimeAnalyse(QWidget *parent = nullptr);

    void BtnQueryClick(); // "查询"

    Direction pieDirection() const;
    QComboBox *contentBox() const { return m_content; }
    QComboBox *directionBox() const { return m_direction; }

private:
    QComboBox *m_content;
    QComboBox *m_direction;
};
