#pragma once

#include "ui/recorddialog.h"

class QLineEdit;
class QPushButton;

// "联系人": one contact of the current customer, edited from the customer
// window's "联系人资料" page (the set tblLinkmans, which follows the
// customer list). The caller puts the set on the row first: a new row for
// "新增联系人", the current row in editing for "修改"; a row started here
// takes the current customer's code. The customer is shown, not chosen.
class TfrmLinkmanNew1 : public RecordDialog
{
    Q_OBJECT
public:
    static const QString kCloseQuestion; // "联系人资料尚未保存，保存吗？"

    explicit TfrmLinkmanNew1(QWidget *parent = nullptr);

    // Makes this the record dialog of tblLinkmans: the customer window's
    // sub-page opens it, with the second customer set read again first so
    // that the customer's name is current.
    static void install();

    QPushButton *copyButton() const { return button(QStringLiteral("BtnCopy")); }
    QLineEdit *edit(const QString &field) const;

    void BtnCopyClick(); // "复制客户资料"
    void BtnMailClick(); // "发送邮件"
    void BtnOpenClick(); // "打开..."

protected:
    bool canStartNew() override;
    void beforeStore() override;
};
