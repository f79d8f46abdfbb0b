#pragma once

#include <QDialog>

class Database;
class QComboBox;
class QLineEdit;
class QPushButton;

// The login dialog: pick or type a user code, type the password. Four
// failed attempts in a row, over any user codes, end the program.
class TfrmLogin : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmLogin(Database &db, QWidget *parent = nullptr);

    static constexpr int kAllowedFailures = 3;

    QComboBox *userBox() const { return m_user; }
    QLineEdit *passwordBox() const { return m_password; }
    // True after the fourth failure: the dialog was rejected and the
    // program must end.
    bool lockedOut() const { return m_lockedOut; }

    void FormShow();   // fills the user list, resets the counter
    void BtnOkClick(); // "确定"

protected:
    void showEvent(QShowEvent *event) override;

private:
    Database &m_db;
    QComboBox *m_user;
    QLineEdit *m_password;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    int m_failures = 0;
    bool m_lockedOut = false;
};
