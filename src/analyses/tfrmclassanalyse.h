#pragma once

#include "analyses/analysispanel.h"
#include "analyses/data/classanalyses.h"

class DateEdit;
class QComboBox;

// The classification windows: customers or contracts per entry of one
// dictionary as a pie in the entries' colours, with the list of totals.
// The level and origin windows choose what to count ("按客户数量分析",
// "按业务数量分析", "按合同金额分析" with "收入"/"支出"), the others a period,
// which each opening resets to the last 30 days.
class TfrmClassAnalyse : public AnalysisPanel
{
    Q_OBJECT
public:
    TfrmClassAnalyse(ClassAnalyses::Member member, QWidget *parent);

    void open() override;
    void BtnRefreshClick(); // "刷新"

    ClassAnalyses::Member member() const { return m_member; }
    QComboBox *modeBox() const { return m_mode; }
    QComboBox *directionBox() const { return m_direction; }
    DateEdit *dateFrom() const { return m_from; }
    DateEdit *dateTo() const { return m_to; }

private:
    ClassAnalyses::Member m_member;
    QComboBox *m_mode = nullptr;
    QComboBox *m_direction = nullptr;
    DateEdit *m_from = nullptr;
    DateEdit *m_to = nullptr;
};

// The six windows of the main window's actions.
class TfrmCustLevelAnalyse : public TfrmClassAnalyse
{
    Q_OBJECT
public:
    explicit TfrmCustLevelAnalyse(QWidget *parent = nullptr) : TfrmClassAnalyse(ClassAnalyses::Member::CustLevel, parent) {}
};

class TfrmCustOriginAnalyse : public TfrmClassAnalyse
{
    Q_OBJECT
public:
    explicit TfrmCustOriginAnalyse(QWidget *parent = nullptr) : TfrmClassAnalyse(ClassAnalyses::Member::CustOrigin, parent) {}
};

class TfrmCustStateAnalyse : public TfrmClassAnalyse
{
    Q_OBJECT
public:
    explicit TfrmCustStateAnalyse(QWidget *parent = nullptr) : TfrmClassAnalyse(ClassAnalyses::Member::CustState, parent) {}
};

class TfrmCustVocationAnalyse : public TfrmClassAnalyse
{
    Q_OBJECT
public:
    explicit TfrmCustVocationAnalyse(QWidget *parent = nullptr)
        : TfrmClassAnalyse(ClassAnalyses::Member::CustVocation, parent)
    {
    }
};

class TfrmOperateOriginAnalyse : public TfrmClassAnalyse
{
    Q_OBJECT
public:
    explicit TfrmOperateOriginAnalyse(QWidget *parent = nullptr)
        : TfrmClassAnalyse(ClassAnalyses::Member::OperateOrigin, parent)
    {
    }
};

class TfrmOperateStyleAnalyse : public TfrmClassAnalyse
{
    Q_OBJECT
public:
    explicit TfrmOperateStyleAnalyse(QWidget *parent = nullptr)
        : TfrmClassAnalyse(ClassAnalyses::Member::OperateType, parent)
    {
    }
};
