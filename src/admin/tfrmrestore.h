#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class Database;
class QLineEdit;
class TdmMain;

// "数据恢复": puts a backup back as the live database. The data module's
// connection is closed for the restore and connected again afterwards,
// whether the restore went through or not.
class TfrmRestore : public QDialog
{
    Q_OBJECT
public:
    // reconnect receives the live database opened again and hands it to the
    // program; it returns empty, or why the program cannot work on it.
    using Reconnect = std::function<QString(std::unique_ptr<Database>)>;
    TfrmRestore(TdmMain *dm, Reconnect reconnect, QWidget *parent = nullptr);

    QLineEdit *pathBox() const { return m_path; }
    void BtnBrowseClick();  // "..."
    void BtnRestoreClick(); // "恢复"

private:
    TdmMain *m_dm;
    Reconnect m_reconnect;
    QLineEdit *m_path;
};
