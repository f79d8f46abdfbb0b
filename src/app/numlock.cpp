#include "app/numlock.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <optional>

#ifdef BREVIA_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace NumLock {

namespace {

#ifdef BREVIA_HAVE_X11
// Our own connection: the toolkit's may not speak Xlib. Opened once and
// kept for the run; the clock asks every second.
std::optional<bool> fromX11()
{
    static Display *dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return std::nullopt;
    static const Atom numLock = XInternAtom(dpy, "Num Lock", False);
    Bool on = False;
    if (!XkbGetNamedIndicator(dpy, numLock, nullptr, &on, nullptr, nullptr))
        return std::nullopt;
    return on == True;
}
#endif

// Any keyboard whose Num Lock LED is lit.
bool fromLeds()
{
    const QDir leds(QStringLiteral("/sys/class/leds"));
    const QStringList names = leds.entryList({QStringLiteral("*numlock*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        QFile f(leds.filePath(name + QStringLiteral("/brightness")));
        if (f.open(QIODevice::ReadOnly) && f.readAll().trimmed().toInt() > 0)
            return true;
    }
    return false;
}

} // namespace

bool isOn()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return false;
#ifdef BREVIA_HAVE_X11
    if (platform == QLatin1String("xcb"))
        if (const auto on = fromX11())
            return *on;
#endif
    return fromLeds();
}

} // namespace NumLock
