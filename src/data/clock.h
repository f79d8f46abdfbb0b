#pragma once

#include <QDateTime>

// The time of day as the system sees it; tests put a fixed day in.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }
    QDate today() const { return now().date(); }

    static Clock &instance();
    static void install(Clock *clock); // nullptr restores the real clock
};
