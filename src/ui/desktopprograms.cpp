#include "ui/desktopprograms.h"

#include <QProcess>
#include <QStandardPaths>

namespace DesktopPrograms {

QString startFirstFound(const QVector<Program> &candidates)
{
    for (const Program &p : candidates) {
        const QString exe = QStandardPaths::findExecutable(p.name);
        if (exe.isEmpty())
            continue;
        QProcess::startDetached(exe, p.args);
        return p.name;
    }
    return {};
}

const QVector<Program> &calculators()
{
    static const QVector<Program> list = {
        {"gnome-calculator", {}}, {"kcalc", {}}, {"mate-calc", {}}, {"galculator", {}},
        {"qalculate-gtk", {}},    {"xcalc", {}},
    };
    return list;
}

const QVector<Program> &dateTimeSettings()
{
    static const QVector<Program> list = {
        {"gnome-control-center", {"datetime"}},
        {"kcmshell6", {"kcm_clock"}},
        {"kcmshell5", {"clock"}},
        {"mate-time-admin", {}},
        {"time-admin", {}},
        {"gnome-calendar", {}},
        {"orage", {}},
    };
    return list;
}

const QVector<Program> &systemMonitors()
{
    static const QVector<Program> list = {
        {"gnome-system-monitor", {}}, {"plasma-systemmonitor", {}}, {"ksysguard", {}},
        {"mate-system-monitor", {}},  {"xfce4-taskmanager", {}},    {"lxtask", {}},
        {"hardinfo", {}},
    };
    return list;
}

} // namespace DesktopPrograms
