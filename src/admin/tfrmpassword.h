#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// Password change for the user who is logged in.
class TfrmPassword : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmPassword(QWidget *parent = nullptr);

    QLineEdit *oldBox() const { return m_old; }
    QLineEdit *newBox() const { return m_new; }
    QLineEdit *confirmBox() const { return m_confirm; }

    void BtnSaveClick();

private:
    bool oldPasswordMatches(const QString &plain, QString *error) const;

    QLineEdit *m_old;
    QLineEdit *m_new;
    QLineEdit *m_confirm;
    QPushButton *m_save;
};
