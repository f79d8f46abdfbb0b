#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QString>

// Typing into a bound form as the user does: the widget's value, then the
// signal with which the user's own typing or choosing starts editing.
namespace Typing {

inline void type(QWidget *w, const QString &text)
{
    auto *e = qobject_cast<QLineEdit *>(w);
    ASSERT_TRUE(e);
    e->setText(text);
    emit e->textEdited(text);
}

// The entry shown as `shown`; one that is not there fails the test.
inline void choose(QWidget *w, const QString &shown)
{
    auto *c = qobject_cast<QComboBox *>(w);
    ASSERT_TRUE(c);
    const int i = c->findText(shown);
    ASSERT_GE(i, 0) << shown.toStdString();
    c->setCurrentIndex(i);
    emit c->activated(i);
}

} // namespace Typing
