#pragma once

#include <QDialog>

class QPushButton;

// "关于Brevia2003": the version, the maker and its home page, which a
// click opens in the browser.
class TfrmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget *parent = nullptr);

    QPushButton *okButton() const { return m_ok; }

private:
    QPushButton *m_ok;
};
