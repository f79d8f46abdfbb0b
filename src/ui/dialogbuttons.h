#pragma once

#include <QBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QString>

// One push button of a dialog's column of buttons, named for tests and
// assistive tools, with its shortcut and its handler. It never becomes the
// default button: Enter in the dialog moves through the fields instead.
template <class Owner, class Handler>
QPushButton *addDialogButton(QBoxLayout *column, Owner *owner, const QString &caption, const QString &name,
                             const QString &shortcut, Handler run)
{
    auto *b = new QPushButton(caption, owner);
    b->setObjectName(name);
    b->setAutoDefault(false);
    if (!shortcut.isEmpty())
        b->setShortcut(QKeySequence(shortcut));
    QObject::connect(b, &QPushButton::clicked, owner, run);
    column->addWidget(b);
    return b;
}
