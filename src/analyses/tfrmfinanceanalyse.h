#pragma once

#include "analyses/analysispanel.h"

class QComboBox;

// "资金分配分析": the outstanding amount of every receivable or payable
// contract as bars, the largest first. No list panel.
class TfrmFinanceAnalyse : public AnalysisPanel
{
    Q_OBJECT
public:
    explicit TfrmFinanceAnalyse(QWidget *parent = nullptr);

    void BtnRefreshClick(); // "刷新"
    QComboBox *kindBox() const { return m_kind; }

private:
    QComboBox *m_kind;
};
