#pragma once

#include <QString>

#include <functional>

class QWidget;

// How the main window opens the user-administration dialogs that are built
// beside it: the program fills this at start-up, the main window asks it.
// A window nobody registered is simply not opened.
namespace AdminWindows {
using Opener = std::function<void(QWidget *parent)>;
void setOpener(const QString &window, Opener opener);
bool open(const QString &window, QWidget *parent);
} // namespace AdminWindows
