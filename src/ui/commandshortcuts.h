#pragma once

#include <QKeySequence>
#include <QObject>

class QApplication;
class QEvent;
class QWidget;

// The windows' commands keep their keys while a field has the focus. A
// line edit claims Ctrl+A (select all), Ctrl+X (cut) and other editing
// keys before any shortcut is tried, which would make "新增" Ctrl+A or
// "关闭" Ctrl+X dead in every form. This filter, installed once on the
// application, lets the shortcut go to the window whenever an enabled
// command of the focus widget's window claims that exact key in its
// context (a QAction, a QShortcut or a button's shortcut); any other key,
// plain typing and the editing keys alike, stays with the editor.
class CommandShortcuts : public QObject
{
    Q_OBJECT
public:
    explicit CommandShortcuts(QObject *parent = nullptr);

    // Whether a command of focus's window would take this key while focus
    // has the focus: enabled, shown, and in its shortcut context.
    static bool claimedByWindow(QWidget *focus, const QKeySequence &key);
    // Line edits, memos, spin and date boxes, editable combos, and the
    // inner line edit of any of them.
    static bool isTextEditor(const QWidget *w);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A key event travels from the focus widget up through its parents;
    // the answer found at the focus widget holds for the whole way.
    const QEvent *m_event = nullptr;
    bool m_claimed = false;
};

// Installs the filter on the application; a second call changes nothing.
void installCommandShortcuts(QApplication *app);
