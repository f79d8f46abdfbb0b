#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// "数据备份": a copy of the live database into the file in the path box
// (Backup/HKP30.hdb at first) and, once a day, into the day's folder.
// The copy itself is DatabaseBackup's; this window asks, and says how it went.
class TfrmBackup : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmBackup(QWidget *parent = nullptr);

    QLineEdit *pathBox() const { return m_path; }
    void BtnBrowseClick(); // "..."
    void BtnBackupClick(); // "备份"

private:
    QLineEdit *m_path;
};
