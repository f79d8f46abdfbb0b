#pragma once

#include "ui/recorddialog.h"

// "佣金结算": one commission settlement of the unit that is current in the
// unit window (the set tblShusongYJ, which follows the unit list). The
// caller puts the set on the row first; a row started here takes the
// unit's code. The amounts are kept as entered; nothing is computed.
class TfrmShusongYJ : public RecordDialog
{
    Q_OBJECT
public:
    static const QString kCloseQuestion; // "输送单位佣金结算资料尚未保存，保存吗？"

    explicit TfrmShusongYJ(QWidget *parent = nullptr);

    // Makes this the record dialog of tblShusongYJ for the unit window's
    // "佣金结算" page.
    static void install();

protected:
    bool canStartNew() override;
};
