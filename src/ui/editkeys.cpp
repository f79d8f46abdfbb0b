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
    EnterFilter(const QList<QWidget *> &following, QObject *parent) : QObject(parent)
    {
        for (QWidget *w : following)
            m_following << w;
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        if (!m_following.isEmpty()) {
            // A field that cannot take the focus now (the linked customer
            // while its box is unticked) is passed over for the next one.
            for (const QPointer<QWidget> &next : std::as_const(m_following))
                if (next && next->isEnabled() && !next->isHidden()) {
                    next->setFocus(Qt::TabFocusReason);
                    break;
                }
            return true;
        }
        if (auto *button = qobject_cast<QAbstractButton *>(watched)) {
            button->click();
            return true;
        }
        return false;
    }

private:
    QList<QPointer<QWidget>> m_following;
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
    for (int i = 0; i < order.size(); ++i)
        order[i]->installEventFilter(new EnterFilter(order.mid(i + 1), order[i]));
}

void maskWithStars(QLineEdit *edit)
{
    auto *style = new StarStyle;
    style->setParent(edit);
    edit->setStyle(style);
    edit->setEchoMode(QLineEdit::Password);
}
