#pragma once

#include <QDialog>

class DataGrid;
class Dataset;
class FieldBinder;
class Form;
class QAction;
class QPlainTextEdit;
class RecordNavigator;

// "业务员跟踪管理": every customer contact (tblCustomerState) with the staff
// member responsible for the customer, for a system user to review and to
// write a remark on. It never adds or deletes a contact: "修改" only works
// on a contact that is there, and only the remark takes typing.
class TfrmOperaterTrack : public QDialog
{
    Q_OBJECT
public:
    static const QString kCloseQuestion;

    explicit TfrmOperaterTrack(QWidget *parent = nullptr);

    Dataset *dataset() const { return m_set; }
    Form *form() const { return m_form; }
    DataGrid *grid() const { return m_grid; }
    QPlainTextEdit *remark() const;
    QAction *command(const QString &objectName) const;

    void BtnModifyClick(); // "修改"
    void BtnSaveClick();   // "保存"
    void BtnQueryClick();  // "查询"
    void updateCommands();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    Dataset *m_set;
    FieldBinder *m_binder;
    Form *m_form;
    DataGrid *m_grid;
    QList<QAction *> m_commands;
    RecordNavigator *m_navigator;
};
