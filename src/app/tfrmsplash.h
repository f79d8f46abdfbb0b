#pragma once

#include <QWidget>

// The start-up picture: a borderless 413×251 window in the middle of the
// screen with the program's title, shown for one second while the program
// gets ready.
class TfrmSplash : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget *parent = nullptr);

    // Shows the window, paints it at once and keeps the program responsive
    // until the one-second timer has fired.
    void showForOneSecond();

protected:
    void paintEvent(QPaintEvent *event) override;
};
