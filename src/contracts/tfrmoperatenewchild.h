#pragma once

#include "ui/recorddialog.h"

// "业务子项": one money line of the contract the contract window shows (the
// set tblOperateDetail, which follows the contract list). The total and the
// renminbi are computed as the user leaves the quantity or chooses a
// currency; a line without a currency is converted at its contract's.
class TfrmOperateNewChild : public RecordDialog
{
    Q_OBJECT
public:
    static const QString kCloseQuestion; // "业务子项资料尚未保存，保存吗？"

    explicit TfrmOperateNewChild(QWidget *parent = nullptr);

    // Makes this the record dialog of tblOperateDetail.
    static void install();

    void recompute();          // DTotal and RMB of the line in hand
    void BtnRateQueryClick();  // "汇率查询"

protected:
    bool canStartNew() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};
