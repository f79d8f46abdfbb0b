#pragma once

#include <QDialog>

class DataGrid;
class Dataset;
class FieldBinder;
class Form;
class QCheckBox;
class QComboBox;
class QLineEdit;

// User management (system users only): the users with their department,
// position, state and system flag. Passwords are set here only for new
// users; the rights are assigned in TfrmRight.
class TfrmUser : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmUser(QWidget *parent = nullptr);

    DataGrid *grid() const { return m_grid; }
    QWidget *field(const QString &name) const; // the edit bound to a column

    void FormShow();
    void BtnAddClick();
    void BtnSaveClick();
    void BtnDeleteClick();
    void BtnCloseClick();
    void BtnRightClick();

    void reject() override; // Esc and the window's close box act as "关闭"

protected:
    void showEvent(QShowEvent *event) override;
    // Opens the rights window for a stored user; a seam for tests.
    virtual void openRights(const QString &userId);

private:
    bool storeRow();
    bool storedCodeIsAdmin() const;
    void updateCodeReadOnly();
    void showCurrentRow();
    void leaveRow();

    Dataset *m_users;
    Form *m_form = nullptr;
    FieldBinder *m_binder;
    DataGrid *m_grid;
    QLineEdit *m_code;
    QString m_rowCode; // the stored code of the current row, "" for a new one
    bool m_rowSys = false; // and its stored system flag
};
