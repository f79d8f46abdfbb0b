#pragma once

#include <QMainWindow>

#include <memory>

class Database;
class TdmMain;
class QLabel;
class QTimer;

// The frame of the program once the login has succeeded. Its creation
// step fixes the application directory and the document root and makes
// the standard folders; the connection is the data module's.
class TfrmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TfrmMain(QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The folders every workstation needs, created when missing, in this
    // order: Files/, Files/Plans, Backup, Log. A folder that cannot be made
    // is not reported: whatever uses it later fails with the system's text.
    static void createStandardFolders();

    void setDataModule(TdmMain *dm) { m_dm = dm; }
    Database *database() const;
    // Hands the data module a new connection. When its after-connect step
    // fails, the previous database is connected again and the reason is
    // returned.
    QString switchDatabase(std::unique_ptr<Database> db);

    // The first showing: the configured database file must still be there.
    // False when it is not; the message has been shown and the program ends.
    bool FormShow();
    // "退出系统" of the menu and the tool strip: the log line first, then the
    // exit question of closing.
    void exitSystem();
    // "服务器设置...": a fresh modal TfrmServer; on success the program
    // works on the new database from then on.
    void openServerSettings();

    void refreshStatusBar();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void endProgram();

    TdmMain *m_dm = nullptr;
    QLabel *m_panels[5] = {};
    QTimer *m_clock = nullptr;
    bool m_shown = false;
    bool m_ending = false;
};
