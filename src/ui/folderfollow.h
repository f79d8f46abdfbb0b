#pragma once

#include <QString>

#include <functional>

// The tools panel follows the document folder of the record in hand. The
// modal dialogs that store records do not know the main window, so they
// tell it through here; the main window installs the follower.
void followFolder(const QString &path);
void setFolderFollower(std::function<void(const QString &)> follower); // empty: nobody follows
