#include "ui/editkeys.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>

namespace {

class EnterFilter : public QObject
{
public:
    EnterFilter(QWidget *next, QObject *parent) : QObject(parent), m_next(next) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        if (m_next) {
            m_next->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (auto *button = qobject_cast<QAbstractButton *>(watched)) {
            button->click();
            return true;
        }
        return false;
    }

private:
    QPointer<QWidget> m_next;
};

class StarStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *ret) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

} // namespace

void setEnterOrder(const QList<QWidget *> &order)
{
    for (int i = 0; i < order.size(); ++i) {
        QWidget *next = i + 1 < order.size() ? order[i + 1] : nullptr;
        order[i]->installEventFilter(new EnterFilter(next, order[i]));
    }
}

void maskWithStars(QLineEdit *edit)
{
    auto *style = new StarStyle;
    style->setParent(edit);
    edit->setStyle(style);
    edit->setEchoMode(QLineEdit::Password);
}
