#pragma once

#include "ui/recorddialog.h"

class ContractEditor;
class QPushButton;

// "业务（合同）资料": one contract of the current customer, edited from the
// customer window's "业务（合同）资料" page (the set tblOperates, which
// follows the customer list). A contract started here belongs to that
// customer; its linked customer may be any customer.
class TfrmOperateNew1 : public RecordDialog
{
    Q_OBJECT
public:
    static const QString kCloseQuestion; // "业务资料尚未保存，保存吗？"

    explicit TfrmOperateNew1(QWidget *parent = nullptr);

    // Makes this the record dialog of tblOperates.
    static void install();

    ContractEditor *editor() const { return m_editor; }
    QPushButton *printButton() const { return button(QStringLiteral("BtnPrint")); }

    void BtnLinkCustQueryClick(); // "查询..." beside "联系客户："
    void BtnPrintClick();         // "打印"

protected:
    bool canStartNew() override;
    void beforeStore() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ContractEditor *m_editor;
};
