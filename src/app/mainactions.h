#pragma once

#include <QKeySequence>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cstddef>

class ModulePanel;
class QWidget;
class TfrmMain;

// The pages of the navigation panel, in the order they are shown.
enum class NavPage { None = -1, System, Basic, Business, Analysis, Internal };

// Makes a module window with the work area as its parent.
using ModuleFactory = ModulePanel *(*)(QWidget *parent);

// The factory of a module window class, for the action table:
// `moduleWindow<TfrmCustomers>`.
template <class Module>
ModulePanel *moduleWindow(QWidget *parent)
{
    return new Module(parent);
}

// What an action runs: a function of the main window, or a module window,
// which the main window makes on its first opening, keeps for the rest of
// the run and shows in the work area each time. Empty: nothing yet.
struct ActionRun {
    constexpr ActionRun(std::nullptr_t = nullptr) {}
    constexpr ActionRun(void (TfrmMain::*function)()) : function(function) {}
    constexpr ActionRun(ModuleFactory module) : module(module) {}

    void (TfrmMain::*function)() = nullptr;
    ModuleFactory module = nullptr;
};

// One function of the main window. The menu, the tool strip, the
// navigation buttons and the shortcuts are all built from this table, so
// a right or a log line is stated once for every place the function is
// offered.
struct MainAction {
    QString id;            // object name of the QAction, Act_...
    int menu;              // index into mainMenus(), -1: not in the menu
    QString caption;
    QKeySequence shortcut;
    QString right;         // empty: always enabled
    NavPage page;          // selected before the function runs
    QString log;           // empty: writes no log line
    ActionRun run;         // nullptr: its window is not there yet
    bool hidden = false;   // not shown in the menu, its shortcut still works
    bool sysOnly = false;  // refuses users without the Sys flag
    bool checkable = false;
};

const QStringList &mainMenus();
const QVector<MainAction> &mainActions();
const MainAction *mainAction(const QString &id);

struct NavPageDef {
    QString caption;
    QStringList actions; // ids, top to bottom
};
const QVector<NavPageDef> &navPages();

struct ToolButtonDef {
    QString action;
    QString tip;
};
const QVector<ToolButtonDef> &toolButtons();

inline const QString kSysOnlyRefusal = QStringLiteral("对不起，只有系统管理员才享有该权限！");
