#include "app/adminwindows.h"

#include <QHash>

namespace AdminWindows {

namespace {
QHash<QString, Opener> &openers()
{
    static QHash<QString, Opener> map;
    return map;
}
} // namespace

void setOpener(const QString &window, Opener opener)
{
    openers().insert(window, std::move(opener));
}

bool open(const QString &window, QWidget *parent)
{
    const auto it = openers().constFind(window);
    if (it == openers().constEnd() || !*it)
        return false;
    (*it)(parent);
    return true;
}

} // namespace AdminWindows
