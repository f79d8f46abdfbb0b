#include "app/modulehost.h"

#include <QGridLayout>

ModuleHost::ModuleHost(QWidget *parent) : QWidget(parent), m_layout(new QGridLayout(this))
{
    setObjectName(QStringLiteral("WorkArea"));
    m_layout->setContentsMargins(0, 0, 0, 0);
    // Until the schedule arrives with its own window, the area is empty.
    m_schedule = new QWidget(this);
    m_schedule->setObjectName(QStringLiteral("ScheduleArea"));
    m_layout->addWidget(m_schedule, 0, 0);
}

void ModuleHost::adopt(QWidget *panel)
{
    // A panel made with the work area as its parent is already a child but
    // not yet in the layout; it would keep its size hint in the corner.
    if (panel->parentWidget() != this)
        panel->setParent(this);
    if (m_layout->indexOf(panel) < 0)
        // Every panel shares the one cell: only the visible one takes room.
        m_layout->addWidget(panel, 0, 0);
    if (!m_panels.contains(panel))
        m_panels.append(panel);
}

void ModuleHost::showPanel(QWidget *panel)
{
    if (!panel)
        return;
    adopt(panel);
    panel->setVisible(true);
}

void ModuleHost::hidePanel(QWidget *panel)
{
    if (panel)
        panel->setVisible(false);
}

void ModuleHost::switchToModule(QWidget *panel)
{
    if (!panel)
        return;
    adopt(panel);
    m_schedule->setVisible(false);
    for (const QPointer<QWidget> &p : std::as_const(m_panels))
        if (p && p != panel)
            p->setVisible(false);
    showPanel(panel);
}

void ModuleHost::showSchedule()
{
    for (const QPointer<QWidget> &p : std::as_const(m_panels))
        if (p)
            p->setVisible(false);
    m_schedule->setVisible(true);
}

QWidget *ModuleHost::currentPanel() const
{
    for (const QPointer<QWidget> &p : m_panels)
        if (p && !p->isHidden())
            return p;
    return nullptr;
}
