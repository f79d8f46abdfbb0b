#pragma once

#include <QMainWindow>

#include <memory>

class Database;
class QLabel;
class QTimer;

// The frame of the program once the login has succeeded. Its creation
// step fixes the application directory and the document root and makes
// the standard folders; it owns the one connection of the run.
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

    Database *database() const { return m_db.get(); }
    void setDatabase(std::unique_ptr<Database> db);

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

signals:
    void databaseChanged(Database *db);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void endProgram();

    std::unique_ptr<Database> m_db;
    QLabel *m_panels[5] = {};
    QTimer *m_clock = nullptr;
    bool m_shown = false;
    bool m_ending = false;
};
