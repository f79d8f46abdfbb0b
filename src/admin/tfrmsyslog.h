#pragma once

#include <QDialog>

class Database;
class QSqlQueryModel;
class QTableView;

// The system log viewer (system users only): every line of all
// workstations, with clearing and export to an INI file.
class TfrmSysLog : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSysLog(Database &db, QWidget *parent = nullptr);

    QTableView *grid() const { return m_grid; }
    int rowCount() const; // of the list as shown, all rows fetched

    void FormShow();
    void BtnClearClick(); // "清空日志"
    void BtnSaveClick();  // "保存日志"

protected:
    void showEvent(QShowEvent *event) override;

private:
    void reopen();

    Database &m_db;
    QSqlQueryModel *m_model;
    QTableView *m_grid;
};
