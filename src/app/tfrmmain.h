#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <memory>

struct MainAction;
class Database;
class ModuleFrame;
class ModulePanel;
class ModuleHost;
class QAction;
class QLabel;
class QTimer;
class QToolBox;
class TdmMain;
class TfrmPlan;
class TfrmPlanNew;
class TfrmTools;

// The frame of the program once the login has succeeded: the menu, the
// tool strip and the navigation panel, all built from one action table;
// the work area with the schedule area or one module panel; the status
// bar. Its creation step fixes the application directory and the document
// root and makes the standard folders; the connection is the data module's.
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

    void setDataModule(TdmMain *dm);
    Database *database() const;
    // Hands the data module a new connection. When its after-connect step
    // fails, the previous database is connected again and the reason is
    // returned.
    QString switchDatabase(std::unique_ptr<Database> db);

    // The first showing: the configured database file must still be there
    // (false when it is not; the message has been shown and the program
    // ends); then the shared sets are opened for the user now logged in.
    bool FormShow();
    // Shows the window where the user logged in last left it (its size and
    // place, or maximised); the first time at the old screens' size.
    void showAtUsersPlace();
    // Writes down the window's size and place for the user logged in.
    void keepUsersPlace() const;
    static QString placesFile(); // Window.ini in the application directory
    // "退出系统" of the menu and the tool strip: the log line first, then the
    // exit question of closing.
    void exitSystem();

    QAction *action(const QString &id) const { return m_actions.value(id); }
    QToolBox *navigation() const { return m_nav; }
    ModuleHost *workArea() const { return m_host; }
    // The module window of a module action (Act_Customers, ...); nullptr
    // until the action has run once.
    ModuleFrame *module(const QString &actionId) const;
    ModulePanel *panel(const QString &actionId) const { return m_modules.value(actionId); }
    TfrmPlan *schedule() const { return m_plan; }
    TfrmPlan *scheduleList() const { return m_planList; }     // the list window
    TfrmPlanNew *scheduleEditor() const { return m_planNew; } // the editor window

    // Enables every action with a right code exactly while the current user
    // holds it, from the rights in memory. Runs whenever the program is idle.
    void updateActions();
    // Reads the current user's rights again (login, after the rights were
    // saved, after a server change or a restore) and re-checks the actions.
    void reloadRights();

    // The navigation panel with its splitter, and the tick of "系统导航".
    void setNavigationVisible(bool visible);
    // Whatever stands for the tools panel; shown and hidden from here.
    void setToolsPanel(QWidget *panel);
    void setToolsPanelVisible(bool visible);
    bool toolsPanelVisible() const { return m_toolsVisible; }
    // The tools panel "文件及工具栏", made once the login has succeeded and
    // shown beside the window; nullptr before.
    void createToolsPanel();
    TfrmTools *toolsPanel() const;

    void refreshStatusBar();
    void refreshNumLock();

    // The functions of the action table, named after their actions.
    void Act_PasswordExecute();
    void Act_UserExecute();
    void Act_SysLogExecute();
    void Act_UserInfoExecute();
    void Act_ServerExecute();
    void Act_ExitExecute();
    void Act_PlanExecute();
    void Act_TodayExecute();
    void Act_MailExecute();
    void Act_EnvelopExecute();
    void Act_BoardExecute();
    void Act_CalculatorExecute();
    void Act_CalendarExecute();
    void Act_SysInfoExecute();
    void Act_NavigationExecute();
    void Act_ToolsExecute();
    void Act_ToolsButtonExecute();
    void Act_AboutExecute();
    void Act_HelpExecute();
    void Act_HomepageExecute();
    void Act_ContactExecute();
    void Act_NewFileExecute();
    void Act_CutFileExecute();
    void Act_CopyFileExecute();
    // Backup and restore, the hand-over of records and staff tracking.
    void Act_BackupExecute();
    void Act_RestoreExecute();
    void Act_AssignExecute();
    void Act_OperaterTrackExecute();
    // The reference-data windows: dictionaries, currencies, worker classifications.
    void Act_DepartmentExecute();
    void Act_GongzhongExecute();
    void Act_JinengExecute();
    void Act_TijianExecute();
    void Act_RegionExecute();
    void Act_CountryExecute();
    void Act_CurrencyRateExecute();
    void Act_FinanceOrganExecute();
    void Act_OperateStyleExecute();
    void Act_OperateOriginExecute();
    void Act_OperateStateExecute();
    void Act_CustLevelExecute();
    void Act_CustStateExecute();
    void Act_CustOriginExecute();
    void Act_VocationExecute();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildActions();
    void buildToolStrip();
    void buildNavigation();
    void buildStatusBar();
    void openSharedSets();
    void runAction(const MainAction &def, QAction *action);
    void openModule(const MainAction &def);
    void endProgram();

    TdmMain *m_dm = nullptr;
    QHash<QString, QAction *> m_actions;
    QHash<QString, ModulePanel *> m_modules; // by action id; children of the work area
    QToolBox *m_nav = nullptr;
    ModuleHost *m_host = nullptr;
    TfrmPlan *m_plan = nullptr; // the schedule in the work area, made with the data module
    TfrmPlan *m_planList = nullptr;   // its list window and editor window, made with it
    TfrmPlanNew *m_planNew = nullptr;
    QPointer<QWidget> m_toolsPanel;
    bool m_toolsVisible = true;
    QLabel *m_panels[5] = {};
    QTimer *m_clock = nullptr;
    bool m_shown = false;
    bool m_ending = false;
};
