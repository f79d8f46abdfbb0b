#include "ui/commandshortcuts.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSet>
#include <QShortcut>
#include <QTextEdit>

namespace {

// The key of a key event as a shortcut names it; empty for a lone
// modifier, which no command claims.
QKeySequence keyOf(const QKeyEvent *e)
{
    const int key = e->key();
    if (key == 0 || key == Qt::Key_unknown || (key >= Qt::Key_Shift && key <= Qt::Key_ScrollLock)
        || key == Qt::Key_AltGr)
        return {};
    const Qt::KeyboardModifiers mods =
        e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return QKeySequence(QKeyCombination(mods, Qt::Key(key)));
}

// Whether a command that belongs to w is live for the focus widget, by the
// rules the shortcut map itself applies to the context.
bool inContext(const QWidget *w, Qt::ShortcutContext context, const QWidget *focus, int depth = 0)
{
    if (!w)
        return false;
    if (auto *menu = qobject_cast<const QMenu *>(w)) {
        // A menu item answers where its menu is offered: the menu bar, a
        // tool button, an outer menu.
        if (depth > 8)
            return false;
        const QObjectList holders = menu->menuAction()->associatedObjects();
        for (const QObject *o : holders)
            if (auto *holder = qobject_cast<const QWidget *>(o); holder && inContext(holder, context, focus, depth + 1))
                return true;
        return false;
    }
    if (!w->isVisible() || !w->isEnabled())
        return false;
    switch (context) {
    case Qt::WidgetShortcut:
        return w == focus;
    case Qt::WidgetWithChildrenShortcut:
        for (const QWidget *p = focus; p; p = p->parentWidget()) {
            if (p == w)
                return true;
            if (p->isWindow())
                break;
        }
        return false;
    case Qt::WindowShortcut:
        return w->window() == focus->window();
    case Qt::ApplicationShortcut: {
        const QWidget *modal = QApplication::activeModalWidget();
        return !modal || w->window() == modal;
    }
    }
    return false;
}

bool actionClaims(const QAction *a, const QKeySequence &key, const QWidget *focus)
{
    if (!a->isEnabled() || !a->isVisible() || !a->shortcuts().contains(key))
        return false;
    const QObjectList holders = a->associatedObjects();
    for (const QObject *o : holders)
        if (auto *w = qobject_cast<const QWidget *>(o); w && inContext(w, a->shortcutContext(), focus))
            return true;
    return false;
}

} // namespace

CommandShortcuts::CommandShortcuts(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("CommandShortcuts"));
}

bool CommandShortcuts::isTextEditor(const QWidget *w)
{
    if (!w)
        return false;
    if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QTextEdit *>(w)
        || qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w))
        return true;
    if (auto *combo = qobject_cast<const QComboBox *>(w))
        return combo->isEditable();
    // A memo's page, should it hold the focus itself.
    if (auto *memo = qobject_cast<const QAbstractScrollArea *>(w->parentWidget()))
        return memo->viewport() == w && isTextEditor(memo);
    return false;
}

bool CommandShortcuts::claimedByWindow(QWidget *focus, const QKeySequence &key)
{
    if (!focus || key.isEmpty())
        return false;
    QWidget *window = focus->window();
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    QSet<const QAction *> seen;
    for (const QWidget *w : std::as_const(widgets)) {
        // Buttons take their shortcut for their own window.
        if (auto *b = qobject_cast<const QAbstractButton *>(w); b && b->shortcut() == key && b->isEnabled()
            && b->isVisible() && b->window() == window)
            return true;
        const QList<QAction *> actions = w->actions();
        for (const QAction *a : actions) {
            if (seen.contains(a))
                continue;
            seen.insert(a);
            if (actionClaims(a, key, focus))
                return true;
        }
    }
    const QList<QShortcut *> shortcuts = window->findChildren<QShortcut *>();
    for (const QShortcut *s : shortcuts)
        if (s->isEnabled() && s->keys().contains(key) && inContext(qobject_cast<const QWidget *>(s->parent()), s->context(), focus))
            return true;
    return false;
}

bool CommandShortcuts::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
        return false;
    auto *w = static_cast<QWidget *>(watched);
    QWidget *focus = QApplication::focusWidget();
    if (!focus || (w != focus && !w->isAncestorOf(focus)))
        return false;
    // The focus widget is the first to hear of every key; its parents hear
    // of the same event only when it was not taken.
    if (w == focus || event != m_event) {
        m_event = event;
        m_claimed = isTextEditor(focus) && claimedByWindow(focus, keyOf(static_cast<QKeyEvent *>(event)));
    }
    if (!m_claimed)
        return false;
    // Neither the editor nor a spin box or combo around it may take the
    // key: left untaken, it goes to the window's shortcuts.
    event->ignore();
    return true;
}

void installCommandShortcuts(QApplication *app)
{
    if (!app || app->findChild<CommandShortcuts *>(QString(), Qt::FindDirectChildrenOnly))
        return;
    app->installEventFilter(new CommandShortcuts(app));
}
