#pragma once

#include <QDialog>

class Database;
class DataGrid;
class Dataset;
class QAbstractItemView;

// The system log viewer (system users only): every line of all
// workstations, with clearing and export to an INI file.
class TfrmSysLog : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSysLog(Database &db, QWidget *parent = nullptr);

    QAbstractItemView *grid() const; // the list as shown
    int rowCount() const;            // of the list as shown, all rows

    void FormShow();
    void BtnClearClick(); // "清空日志"
    void BtnSaveClick();  // "保存日志"

protected:
    void showEvent(QShowEvent *event) override;

private:
    void reopen();

    Database &m_db;
    Dataset *m_log;
    DataGrid *m_grid;
};
