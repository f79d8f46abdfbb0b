#pragma once

#include "ui/moduleframe.h"

class CustomerView;
class QAction;

// The schedule ("日程安排") in the main window's own work area: the list
// "日程安排列表" and the editor "日程详细安排" over the shared schedule set
// (qryPlan), with the plan's customer, that customer's contracts and its
// contact history below the fields. Plans belong to nobody: every user who
// may open the schedule sees every plan; the customer drop-down offers an
// ordinary user his own customers.
class TfrmPlan : public ModuleFrame
{
    Q_OBJECT
public:
    static ModuleDesc description();

    explicit TfrmPlan(QWidget *parent = nullptr);

    // The action "日程安排", after its log line: every plan (a filter the
    // daily agenda left stays), the user's customers in the drop-down, the
    // plans folder in the tools panel.
    void open() override;

    CustomerView *customerView() const { return m_view; }
    void BtnCustQueryClick(); // "查询..." beside the customer
    // "关闭" of the editor: a plan in hand is offered for saving first (the
    // contact person may stay empty on that path), then back to the list.
    void BtnCloseClick();
    QAction *closeCommand() const { return m_close; }
    static const QString kCloseQuestion; // "日程安排尚未保存，保存吗？"

protected:
    void afterNew() override;
    void afterModify() override;
    void rowChosen() override;
    void beforeStore() override;
    void afterRefresh() override;
    void openQuery() override;

private:
    void followCustomer(); // the customer view and the customer's pages follow the plan's customer
    void prepareEditing();

    CustomerView *m_view = nullptr;
    QAction *m_close = nullptr;
};
