#pragma once

#include "data/dataset.h"
#include "data/userrights.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <functional>

class QWidget;

// What an extra command's enabling rule reads: the window's set and the
// operation flags of the command's right.
struct CommandContext {
    Dataset::State state = Dataset::State::Inactive;
    bool hasRows = false; // the set is open and holds rows
    UserRights::Ops ops;
};

// A command a window has beyond the ones its frame or dialog builds,
// declared in the window's description: the frame or dialog makes it,
// puts it in its place, enables it by its rule and runs its handler.
struct WindowCommand {
    enum class Place {
        ListBar,   // a module's list tool bar
        DetailBar, // a module's detail tool bar
        Buttons,   // a record dialog's column of buttons
    };
    QString name;      // object name: "ListEmailExport", "BtnPrint"
    QString caption;   // "Email地址导出"
    Place place = Place::ListBar;
    QString before;    // the command it stands before ("BtnClose"); empty: after the last
    QString shortcut;  // "Ctrl+P"; empty: none
    QString rightCode; // whose flags the rule reads; empty: the window's own right
    std::function<bool(const CommandContext &)> enabled; // empty: always
    std::function<void(QWidget *window)> run;            // the window it belongs to
};

// The handler of a window class's member, for a description written before
// the window exists.
template <class Window>
std::function<void(QWidget *)> runs(void (Window::*member)())
{
    return [member](QWidget *w) {
        if (auto *window = qobject_cast<Window *>(w))
            (window->*member)();
    };
}

// Enabling rules shared by several windows.
namespace CommandRules {
inline bool printing(const CommandContext &c) { return c.ops.print; }
} // namespace CommandRules

// The context a command's rule is asked with.
CommandContext commandContext(const Dataset *set, const QString &windowRight, const WindowCommand &command);
