#pragma once

#include "ui/moduleframe.h"

class CustomerView;
class QAction;

// The schedule ("日程安排") over the shared schedule set (qryPlan), with
// the plan's customer, that customer's contracts and its contact history
// below the fields. It stands in three places: the main window's own work
// area (the list "日程安排列表" and the editor "日程详细安排"), the list
// window and the editor window (TfrmPlanNew), whose panels the main window
// shows in turn. Plans belong to nobody: every user who may open the
// schedule sees every plan; the customer drop-down offers an ordinary user
// his own customers, except in the editor window once he enters it.
class TfrmPlan : public ModuleFrame
{
    Q_OBJECT
public:
    enum class Place { Pages, ListWindow, EditorWindow };
    static ModuleDesc description(Place place = Place::Pages);

    explicit TfrmPlan(QWidget *parent = nullptr) : TfrmPlan(Place::Pages, parent) {}
    TfrmPlan(Place place, QWidget *parent);
    Place place() const { return m_place; }

    // The action "日程安排", after its log line: every plan (a filter the
    // daily agenda left stays), the user's customers in the drop-down, the
    // plans folder in the tools panel.
    void open() override;

    CustomerView *customerView() const { return m_view; }
    void BtnCustQueryClick(); // "查询..." beside the customer
    // "关闭" of the editor window: a plan in hand is offered for saving
    // first (the contact person may stay empty on that path), then the list
    // window is asked for.
    void BtnCloseClick();
    QAction *closeCommand() const { return command(QStringLiteral("DetailClose")); } // the editor window's only
    static const QString kCloseQuestion; // "日程安排尚未保存，保存吗？"

signals:
    // A plan was started or put into editing from a list or the main
    // window's editor page: the editor window is to show it.
    void editorWanted();
    // The editor window was closed: the list window is to show.
    void listWanted();

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
    bool eventFilter(QObject *watched, QEvent *event) override;

    Place m_place;
    CustomerView *m_view = nullptr;
};
