#pragma once

#include "testlib/fakeprompts.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Driving modal windows: the call that opens one runs its own loop, so
// what the test does inside is queued before that call and runs once the
// window is up.
namespace Modal {

// Answers the next modal window once it is up.
inline void whenUp(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget *w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        act(w);
    });
}

// Triggers a command that opens a record dialog D and works in it with
// act; a dialog act leaves open is closed with its change dropped (the
// question whether to save answered No). The command must be enabled and
// the dialog must come.
template <typename D>
void withDialog(FakePrompts &prompts, QAction *command, std::function<void(D &)> act)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *dlg = qobject_cast<D *>(QApplication::activeModalWidget());
        seen = dlg != nullptr;
        if (!dlg)
            return;
        act(*dlg);
        if (dlg->isVisible()) {
            prompts.answers = {false};
            dlg->BtnCloseClick();
        }
    });
    ASSERT_TRUE(command->isEnabled());
    command->trigger();
    EXPECT_TRUE(seen);
}

} // namespace Modal
