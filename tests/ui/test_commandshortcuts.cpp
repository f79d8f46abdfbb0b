// A window's commands keep their keys while an edit box has the focus;
// every other key, the editing keys among them, stays with the editor.
#include "ui/commandshortcuts.h"
#include "ui/dateedit.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>
#include <QVBoxLayout>

#include <memory>

namespace {

enum class Editor { Line, Spin, Date, Combo, Memo, RichMemo };

// Where the window's command lives.
enum class Holder {
    None,
    Window,         // an action of the window
    EditorPage,     // an action of the page that holds the editor
    OtherPage,      // an action of a page beside it
    DisabledAction, // an action of the window, disabled
    HiddenAction,   // an action of the window, not visible
    Button,         // a push button's own shortcut
    HiddenButton,
    OtherWindow,    // an action of another window that is open too
};

// A window with two pages; the first holds the editor with the focus.
struct Form {
    QWidget window;
    QWidget *page = nullptr;
    QWidget *other = nullptr;
    QWidget *editor = nullptr;
    std::unique_ptr<QWidget> otherWindow;
    int runs = 0;

    Form(Editor kind, Holder holder, const QKeySequence &command,
         Qt::ShortcutContext context = Qt::WindowShortcut)
    {
        installCommandShortcuts(qobject_cast<QApplication *>(QCoreApplication::instance()));
        window.setWindowTitle("窗口");
        auto *layout = new QVBoxLayout(&window);
        page = new QWidget(&window);
        other = new QWidget(&window);
        layout->addWidget(page);
        layout->addWidget(other);
        (new QVBoxLayout(other))->addWidget(new QLineEdit(other));
        editor = makeEditor(kind);
        (new QVBoxLayout(page))->addWidget(editor);

        auto addAction = [&](QWidget *to) {
            auto *a = new QAction("命令", to);
            a->setShortcut(command);
            a->setShortcutContext(context);
            to->addAction(a);
            QObject::connect(a, &QAction::triggered, [this] { ++runs; });
            return a;
        };
        switch (holder) {
        case Holder::None:
            break;
        case Holder::Window:
            addAction(&window);
            break;
        case Holder::EditorPage:
            addAction(page);
            break;
        case Holder::OtherPage:
            addAction(other);
            break;
        case Holder::DisabledAction:
            addAction(&window)->setEnabled(false);
            break;
        case Holder::HiddenAction:
            addAction(&window)->setVisible(false);
            break;
        case Holder::Button:
        case Holder::HiddenButton: {
            auto *b = new QPushButton("关闭", &window);
            b->setShortcut(command);
            layout->addWidget(b);
            QObject::connect(b, &QPushButton::clicked, [this] { ++runs; });
            b->setVisible(holder == Holder::Button);
            break;
        }
        case Holder::OtherWindow:
            otherWindow = std::make_unique<QWidget>();
            addAction(otherWindow.get());
            otherWindow->show();
            break;
        }
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        editor->setFocus();
    }

    QWidget *makeEditor(Editor kind)
    {
        switch (kind) {
        case Editor::Line:
            return new QLineEdit("hello", page);
        case Editor::Spin:
            return new QSpinBox(page);
        case Editor::Date:
            {
            auto *d = new DateEdit(page);
            d->setDate(QDate(2024, 3, 5));
            return d;
        }
        case Editor::Combo: {
            auto *c = new QComboBox(page);
            c->setEditable(true);
            c->addItems({"甲", "乙"});
            return c;
        }
        case Editor::Memo:
            return new QPlainTextEdit("hello", page);
        case Editor::RichMemo:
            return new QTextEdit("hello", page);
        }
        return nullptr;
    }

    void press(QKeyCombination key) { QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers()); }
};

TEST(CommandShortcuts, TheWindowsCommandWinsOnlyForItsExactKeyInItsContext)
{
    const QKeyCombination ctrlA(Qt::ControlModifier, Qt::Key_A), ctrlX(Qt::ControlModifier, Qt::Key_X),
        ctrlC(Qt::ControlModifier, Qt::Key_C), ctrlS(Qt::ControlModifier, Qt::Key_S);
    struct Case {
        const char *name;
        Editor editor;
        Holder holder;
        Qt::ShortcutContext context;
        QKeyCombination command, pressed;
        bool runs;
    };
    const Case cases[] = {
        {"window action over select-all", Editor::Line, Holder::Window, Qt::WindowShortcut, ctrlA, ctrlA, true},
        {"button over cut", Editor::Line, Holder::Button, Qt::WindowShortcut, ctrlX, ctrlX, true},
        {"a command may claim copy too", Editor::Line, Holder::Window, Qt::WindowShortcut, ctrlC, ctrlC, true},
        {"the page of the editor", Editor::Line, Holder::EditorPage, Qt::WidgetWithChildrenShortcut, ctrlA, ctrlA,
         true},
        {"a page beside the editor's", Editor::Line, Holder::OtherPage, Qt::WidgetWithChildrenShortcut, ctrlA,
         ctrlA, false},
        {"the editor's own shortcut context", Editor::Line, Holder::EditorPage, Qt::WidgetShortcut, ctrlA, ctrlA,
         false},
        {"a disabled command", Editor::Line, Holder::DisabledAction, Qt::WindowShortcut, ctrlA, ctrlA, false},
        {"a hidden command", Editor::Line, Holder::HiddenAction, Qt::WindowShortcut, ctrlA, ctrlA, false},
        {"a hidden button", Editor::Line, Holder::HiddenButton, Qt::WindowShortcut, ctrlX, ctrlX, false},
        {"another window's command", Editor::Line, Holder::OtherWindow, Qt::WindowShortcut, ctrlA, ctrlA, false},
        {"another key than the command's", Editor::Line, Holder::Window, Qt::WindowShortcut, ctrlS, ctrlA, false},
        {"spin box", Editor::Spin, Holder::Window, Qt::WindowShortcut, ctrlA, ctrlA, true},
        {"date box", Editor::Date, Holder::Window, Qt::WindowShortcut, ctrlA, ctrlA, true},
        {"editable combo", Editor::Combo, Holder::Window, Qt::WindowShortcut, ctrlA, ctrlA, true},
        {"memo", Editor::Memo, Holder::Window, Qt::WindowShortcut, ctrlA, ctrlA, true},
        {"rich memo", Editor::RichMemo, Holder::Button, Qt::WindowShortcut, ctrlX, ctrlX, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Form f(c.editor, c.holder, QKeySequence(c.command), c.context);
        f.press(c.pressed);
        // A button's shortcut clicks it after a short visible press.
        if (c.holder == Holder::Button || c.holder == Holder::HiddenButton)
            QTest::qWait(300);
        EXPECT_EQ(f.runs, c.runs ? 1 : 0);
        if (auto *line = qobject_cast<QLineEdit *>(f.editor); line && c.pressed == ctrlA) {
            EXPECT_EQ(line->selectedText(), c.runs ? "" : "hello");
        }
    }
}

TEST(CommandShortcuts, EditingKeysStayWithTheEditor)
{
    // A window whose commands claim Ctrl+A and Ctrl+S: every other key edits.
    Form f(Editor::Line, Holder::Window, QKeySequence(Qt::CTRL | Qt::Key_S));
    auto *add = new QAction("新增", &f.window);
    add->setShortcut(Qt::CTRL | Qt::Key_A);
    f.window.addAction(add);
    auto *line = qobject_cast<QLineEdit *>(f.editor);
    line->setCursorPosition(5);
    QTest::keyClicks(line, "xy");
    EXPECT_EQ(line->text(), "helloxy");
    QTest::keyClick(line, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(line->selectedText(), "y");
    QTest::keyClick(line, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "y");
    QTest::keyClick(line, Qt::Key_Home);
    QTest::keyClick(line, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(line->text(), "yhelloxy");
    QTest::keyClick(line, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(line->text(), "helloxy");
    QTest::keyClick(line, Qt::Key_Home);
    QTest::keyClick(line, Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClick(line, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(line->text(), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "helloxy");
    EXPECT_EQ(f.runs, 0);
}

TEST(CommandShortcuts, APlainDialogKeepsSelectAllAndCut)
{
    Form f(Editor::Line, Holder::None, {});
    auto *line = qobject_cast<QLineEdit *>(f.editor);
    f.press(QKeyCombination(Qt::ControlModifier, Qt::Key_A));
    EXPECT_EQ(line->selectedText(), "hello");
    f.press(QKeyCombination(Qt::ControlModifier, Qt::Key_X));
    EXPECT_EQ(line->text(), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "hello");
}

} // namespace
