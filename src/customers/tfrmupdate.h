#pragma once

#include <QDialog>

// The small window that stands while records are handed over:
// "正在分配资料到目标用户ID，请稍候...".
class TfrmUpdate : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmUpdate(QWidget *parent = nullptr);
    // Shows the window and lets it paint before the work blocks the loop.
    void showNow();
};
