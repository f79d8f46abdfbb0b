#pragma once

#include "analyses/analysispanel.h"
#include "analyses/data/rankings.h"

class DateEdit;
class QComboBox;

// The rankings of a period: contracts, customers or staff by contract
// amount as bars, largest first, with the overall and the period's totals
// and maxima. Each opening resets the period to the last 30 days.
class TfrmSortAnalyse : public AnalysisPanel
{
    Q_OBJECT
public:
    TfrmSortAnalyse(Rankings::Kind kind, QWidget *parent);

    void open() override;
    void BtnRefreshClick(); // "刷新"

    DateEdit *dateFrom() const { return m_from; }
    DateEdit *dateTo() const { return m_to; }
    QComboBox *directionBox() const { return m_direction; } // none for the staff

private:
    Rankings::Kind m_kind;
    DateEdit *m_from = nullptr;
    DateEdit *m_to = nullptr;
    QComboBox *m_direction = nullptr;
};

class TfrmOperateSortAnalyse : public TfrmSortAnalyse
{
    Q_OBJECT
public:
    explicit TfrmOperateSortAnalyse(QWidget *parent = nullptr) : TfrmSortAnalyse(Rankings::Kind::Contracts, parent) {}
};

class TfrmCustomerSortAnalyse : public TfrmSortAnalyse
{
    Q_OBJECT
public:
    explicit TfrmCustomerSortAnalyse(QWidget *parent = nullptr) : TfrmSortAnalyse(Rankings::Kind::Customers, parent) {}
};

class TfrmOperaterSortAnalyse : public TfrmSortAnalyse
{
    Q_OBJECT
public:
    explicit TfrmOperaterSortAnalyse(QWidget *parent = nullptr) : TfrmSortAnalyse(Rankings::Kind::Staff, parent) {}
};
