#pragma once

#include "ui/editdialog.h"

#include <QVector>

class Dataset;
class FieldBinder;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

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
class TfrmCustStateNew : public EditDialog
{
    Q_OBJECT
public:
    explicit TfrmCustStateNew(QWidget *parent = nullptr);

    static const QStringList &linkTypes(); // the suggestions of "联系方式："

    Dataset *dataset() const { return m_set; }
    FieldBinder *binder() const { return m_binder; }
    QDateEdit *linkDate() const { return m_date; }
    QLineEdit *linkTime() const { return m_time; }
    QComboBox *linkType() const { return m_type; }
    QLineEdit *linkman() const { return m_linkman; }
    QLineEdit *duty() const { return m_duty; }
    QLineEdit *content() const { return m_content; }
    QLineEdit *address() const { return m_address; }
    QLineEdit *charge() const { return m_charge; }
    QPlainTextEdit *memo() const { return m_memo; }
    QList<QWidget *> fieldsInEnterOrder() const;
    QPushButton *button(const QString &objectName) const;

    void BtnNewClick();    // "新增"
    void BtnSaveClick();   // "保存"
    void BtnDeleteClick(); // "删除"
    enum class Move { First, Prior, Next, Last };
    void navigate(Move move);
    void updateButtons();

protected:
    void showEvent(QShowEvent *event) override;
    bool checksPass() override;
    bool store() override;
    void discard() override;

private:
    struct Required {
        QString field;
        QString message;
        QWidget *widget;
    };
    bool nothingTyped() const;
    void showTime();
    void storeTime(const QString &text);

    Dataset *m_set;
    FieldBinder *m_binder;
    QDateEdit *m_date;
    QLineEdit *m_time;
    QComboBox *m_type;
    QLineEdit *m_linkman, *m_duty, *m_content, *m_address, *m_charge;
    QPlainTextEdit *m_memo;
    QVector<Required> m_required;
    QToolButton *m_first, *m_prior, *m_next, *m_last;
    QPushButton *m_new, *m_save, *m_delete, *m_close;
    bool m_showingTime = false;
};
