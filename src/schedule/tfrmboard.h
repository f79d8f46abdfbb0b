#pragma once

#include "ui/recorddialog.h"

class DataGrid;

// "公告板": the notices, listed above the fields of the current one. After
// the daily agenda only today's notices are listed.
class TfrmBoard : public RecordDialog
{
    Q_OBJECT
public:
    static const QString kCloseQuestion;
    explicit TfrmBoard(QWidget *parent = nullptr);
    DataGrid *grid() const { return m_grid; }

protected:
    void afterShow() override;
    bool store() override;

private:
    DataGrid *m_grid;
};
