#include "tools/desktopprograms.h"

#include <QProcess>
#include <QStandardPaths>

namespace DesktopPrograms {

bool startFirst(const QList<Program> &candidates)
{
    for (const Program &p : candidates) {
        const QString exe = QStandardPaths::findExecutable(p.name);
        if (!exe.isEmpty())
            return QProcess::startDetached(exe, p.arguments);
    }
    return false;
}

bool calculator()
{
    return startFirst({{QStringLiteral("gnome-calculator"), {}},
                       {QStringLiteral("kcalc"), {}},
                       {QStringLiteral("mate-calc"), {}},
                       {QStringLiteral("galculator"), {}},
                       {QStringLiteral("qalculate-gtk"), {}},
                       {QStringLiteral("xcalc"), {}}});
}

bool calendar()
{
    return startFirst({{QStringLiteral("gnome-control-center"), {QStringLiteral("datetime")}},
                       {QStringLiteral("kcmshell6"), {QStringLiteral("kcm_clock")}},
                       {QStringLiteral("kcmshell5"), {QStringLiteral("clock")}},
                       {QStringLiteral("mate-time-admin"), {}},
                       {QStringLiteral("time-admin"), {}},
                       {QStringLiteral("gnome-calendar"), {}},
                       {QStringLiteral("orage"), {}}});
}

bool systemInformation()
{
    return startFirst({{QStringLiteral("hardinfo"), {}},
                       {QStringLiteral("gnome-system-monitor"), {}},
                       {QStringLiteral("plasma-systemmonitor"), {}},
                       {QStringLiteral("mate-system-monitor"), {}},
                       {QStringLiteral("xfce4-taskmanager"), {}}});
}

} // namespace DesktopPrograms
