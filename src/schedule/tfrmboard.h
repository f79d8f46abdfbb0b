#pragma once

#include "ui/recorddialog.h"

// "公告板": the notices, listed above the fields of the current one. After
// the daily agenda only today's notices are listed.
class TfrmBoard : public RecordDialog
{
    Q_OBJECT
public:
    static const QString kCloseQuestion;
    // A notice's fields, wherever a notice is shown.
    static FormSpec fields();
    explicit TfrmBoard(QWidget *parent = nullptr);

protected:
    void afterShow() override;
    bool store() override;
};
