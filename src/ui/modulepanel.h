#pragma once

#include <QString>
#include <QWidget>

// What the main window's work area holds for a module: a panel made on the
// first opening and kept for the run. open() is what the module's action
// runs after its log line; the signals move the tools panel, hide the
// navigation panel and give the work area back to the schedule.
class ModulePanel : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void open() {}
    // The main window tells its panels whether its navigation panel is
    // shown, on opening and whenever that changes.
    virtual void navigationShown(bool /*visible*/) {}

signals:
    // The tools panel should show this folder.
    void folderChosen(const QString &path);
    // "新增" and "修改" hide the main window's navigation panel and select a page.
    void detailOpened();
    // "关闭": the main window shows its own work pages again.
    void closeRequested();
    // The panel's own menu shows or hides the main window's navigation panel.
    void navigationRequested(bool visible);
};
