#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QGridLayout;

// The main window's work area. It shows one thing at a time: the main
// window's own schedule area or the main panel of one module window. Panels
// once moved in stay for the rest of the run and are only shown and hidden.
class ModuleHost : public QWidget
{
    Q_OBJECT
public:
    explicit ModuleHost(QWidget *parent = nullptr);

    QWidget *scheduleArea() const { return m_schedule; }

    // Makes the work area the panel's parent, at the top-left corner, and
    // shows it. The panel joins the modules that switches hide.
    void showPanel(QWidget *panel);
    void hidePanel(QWidget *panel);
    // Hides the schedule area and every other module panel, shows this one.
    void switchToModule(QWidget *panel);
    // The reverse: the schedule area, every module panel hidden.
    void showSchedule();

    QWidget *currentPanel() const; // the visible module panel, or nullptr

private:
    void adopt(QWidget *panel);

    QGridLayout *m_layout;
    QWidget *m_schedule;
    QList<QPointer<QWidget>> m_panels;
};
