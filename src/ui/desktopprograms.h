#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The desktop's own utilities, started by the main window's "工具(&T)"
// menu and by the tools panel: the first installed program of a list,
// without waiting for it; when none is installed nothing happens.
namespace DesktopPrograms {

struct Program {
    QString name; // looked up on PATH
    QStringList args;
};

// Starts the first installed program and returns its name; empty when
// none is.
QString startFirstFound(const QVector<Program> &candidates);

const QVector<Program> &calculators();
const QVector<Program> &dateTimeSettings();
const QVector<Program> &systemMonitors();

} // namespace DesktopPrograms
