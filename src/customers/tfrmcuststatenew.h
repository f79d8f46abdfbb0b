#pragma once

#include "ui/recorddialog.h"

class QComboBox;
class DateEdit;
class QLineEdit;
class QPlainTextEdit;

// "客户接触": one contact with a customer (a call, a visit, ...) in the
// history set tblCustomerState, which holds the rows of the current
// customer of the customer list. The caller puts the set into the state
// it wants first: a new row for "新增接触", the current row in editing for
// "修改"; a row started here takes the current customer's code.
//
// The time is typed into the mask "##:##:##" and stored with its colons;
// a mask left wholly blank is no time. The navigator stores a change in
// hand as moving in the set does (without the checks of "保存"), and drops
// a new row into which nothing was typed.
class TfrmCustStateNew : public RecordDialog
{
    Q_OBJECT
public:
    explicit TfrmCustStateNew(QWidget *parent = nullptr);
    // Makes this the record dialog of tblCustomerState unless one is
    // installed already (the customer window and the schedule both use it).
    static void installIfMissing();

    static const QStringList &linkTypes(); // the suggestions of "联系方式："

    DateEdit *linkDate() const;
    QLineEdit *linkTime() const;
    QComboBox *linkType() const;
    QLineEdit *linkman() const;
    QLineEdit *duty() const;
    QLineEdit *content() const;
    QLineEdit *address() const;
    QLineEdit *charge() const;
    QPlainTextEdit *memo() const;
    QList<QWidget *> fieldsInEnterOrder() const;

protected:
    bool canStartNew() override;
};
