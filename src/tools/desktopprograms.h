#pragma once

#include <QString>
#include <QStringList>

// The desktop utilities of the tools area and the "工具(&T)" menu. Each
// starts the first of several usual programs that is installed, without
// waiting for it; when none is there nothing happens.
namespace DesktopPrograms {

struct Program {
    QString name;
    QStringList arguments;
};

bool startFirst(const QList<Program> &candidates);
bool calculator();
bool calendar(); // the date and time settings
bool systemInformation();

} // namespace DesktopPrograms
