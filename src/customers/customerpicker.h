#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>

class DataGrid;
class Dataset;
class QPushButton;

// "客户资料": a customer picker. The user finds a customer in the second
// customer set (tblCustomers2) and presses "选择"; the picker writes that
// customer's code into the record its caller is editing.
//
// How to call one (contacts, contracts, schedule, workers):
//
//     customerPickerContext() = PickerContext::kContractLinkCustomer; // TfrmCustomerQuery(1) only
//     TfrmCustomerQuery1 picker(dm->dataset("tblOperates2"), "LinkCustID", this);
//     if (picker.exec() == QDialog::Accepted)
//         ... the code is in the target row, which is being edited, not stored
//
// The target (a dataset and a field) is always handed over explicitly, so
// a picker that serves two callers can never write into the other one's
// record. TfrmCustomerQuery and TfrmCustomerQuery1 also read the run-wide
// calling context (pickercontext.h) and write nothing when it is not one
// of their own values; TfrmCustomerQuery2 reads no context.
//
// "选择" puts the target row into editing when it is browsed (an empty
// target set starts a new row, as editing an empty set does), writes the
// code as text and stores nothing. With no current customer (an empty
// list) it writes nothing and only closes. exec() returns Accepted exactly
// when a code was written.
//
// On showing, the picker applies the own-customers rule to the second set
// (a system user sees every customer, anyone else his own); "快速查询" may
// widen it and leaves it so after "选择"; "取消" (and Esc) put the rule
// back. "新增" and "详细资料" open the customer dialog TfrmCustomerNew1 on
// the same set; a customer stored there is the picker's current row at
// once.
class CustomerPicker : public QDialog
{
    Q_OBJECT
public:
    Dataset *customers() const { return m_set; }
    DataGrid *grid() const { return m_grid; }
    QPushButton *button(const QString &objectName) const;
    Dataset *target() const { return m_target; }
    const QString &targetField() const { return m_field; }
    // The context values this picker answers to; empty when it reads none.
    const QStringList &contexts() const { return m_contexts; }

    void BtnSelectClick();     // "选择"
    void BtnCancelClick();     // "取消"
    void BtnQuickQueryClick(); // "快速查询"
    void BtnNewClick();        // "新增"
    void BtnDetailClick();     // "详细资料"
    void BtnRefreshClick();    // "刷新"

    // What showing does: opens the dictionaries the customer dialog needs
    // and applies the own-customers rule to the second set.
    void prepare();

    void reject() override; // Esc and the window's close box act as "取消"

protected:
    CustomerPicker(const QString &className, const QStringList &contexts, Dataset *target, const QString &field,
                   QWidget *parent);
    void showEvent(QShowEvent *event) override;

private:
    bool applyOwnCustomers();
    bool contextAllows() const;
    void openCustomerDialog();

    Dataset *m_set;
    QPointer<Dataset> m_target;
    QString m_field;
    QStringList m_contexts;
    DataGrid *m_grid;
    QPushButton *m_new, *m_detail;
};

// Opened by the contact module for the contact's customer; answers to the
// context "联系人详细资料".
class TfrmCustomerQuery : public CustomerPicker
{
    Q_OBJECT
public:
    TfrmCustomerQuery(Dataset *target, const QString &field, QWidget *parent = nullptr);
};

// Opened by the contract list and the contract dialogs for the contract's
// customer or its linked customer; answers to "相关客户", "联系客户" and
// "联系客户1".
class TfrmCustomerQuery1 : public CustomerPicker
{
    Q_OBJECT
public:
    TfrmCustomerQuery1(Dataset *target, const QString &field, QWidget *parent = nullptr);
};

// Opened by the schedule and the worker window; reads no context.
class TfrmCustomerQuery2 : public CustomerPicker
{
    Q_OBJECT
public:
    TfrmCustomerQuery2(Dataset *target, const QString &field, QWidget *parent = nullptr);
};
