#pragma once

#include <QKeySequence>
#include <QString>
#include <QStringList>
#include <QVector>

class TfrmMain;

// The pages of the navigation panel, in the order they are shown.
enum class NavPage { None = -1, System, Basic, Business, Analysis, Internal };

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
    void (TfrmMain::*run)(); // nullptr: its window comes with a later issue
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
