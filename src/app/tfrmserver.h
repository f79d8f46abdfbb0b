#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class Database;
class QLineEdit;
class QPushButton;

// Server settings: which database this workstation works on, a SQLite
// file or a postgresql:// URI. The new database is opened and checked
// before anything changes, so a wrong choice never leaves the workstation
// without a working connection or with a Server.txt that fails next start.
class TfrmServer : public QDialog
{
    Q_OBJECT
public:
    // switchTo receives the newly opened and checked database and returns
    // an empty string, or the reason it could not be used; the current
    // connection must not be used after the call.
    using SwitchTo = std::function<QString(std::unique_ptr<Database>)>;
    // The database the program works on; asked afresh each time, as a
    // failed switch connects the previous one again.
    using Current = std::function<Database *()>;
    TfrmServer(Current current, SwitchTo switchTo, QWidget *parent = nullptr);

    QLineEdit *pathBox() const { return m_path; }

    void BtnBrowseClick(); // "..."
    void BtnSaveClick();   // "保存"

private:
    Current m_current;
    SwitchTo m_switchTo;
    QLineEdit *m_path;
    QPushButton *m_browse;
    QPushButton *m_save;
    QPushButton *m_cancel;
};
