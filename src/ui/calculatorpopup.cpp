#include "ui/calculatorpopup.h"

#include <QAction>
#include <QGridLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStyle>

#include <cmath>

namespace {
QString numberText(double v)
{
    if (!std::isfinite(v))
        return QStringLiteral("0");
    QString s = QString::number(v, 'f', 10);
    while (s.contains(QLatin1Char('.')) && (s.endsWith(QLatin1Char('0')) || s.endsWith(QLatin1Char('.'))))
        s.chop(1);
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}
} // namespace

Calculator::Calculator(double start) : m_display(numberText(start)), m_accumulator(start) {}

void Calculator::apply()
{
    const double operand = m_display.toDouble();
    if (m_pending == QLatin1String("+"))
        m_accumulator += operand;
    else if (m_pending == QLatin1String("-"))
        m_accumulator -= operand;
    else if (m_pending == QLatin1String("*"))
        m_accumulator *= operand;
    else if (m_pending == QLatin1String("/")) {
        if (operand == 0) {
            m_error = true;
            m_display = QStringLiteral("除数不能为零");
            return;
        }
        m_accumulator /= operand;
    } else
        m_accumulator = operand;
    m_display = numberText(m_accumulator);
}

void Calculator::press(const QString &key)
{
    if (key == QLatin1String("C")) {
        *this = Calculator();
        return;
    }
    if (m_error)
        return;
    if (key.size() == 1 && key[0].isDigit()) {
        if (m_fresh || m_display == QLatin1String("0"))
            m_display = key;
        else
            m_display += key;
        m_fresh = false;
    } else if (key == QLatin1String(".")) {
        if (m_fresh) {
            m_display = QStringLiteral("0.");
            m_fresh = false;
        } else if (!m_display.contains(QLatin1Char('.'))) {
            m_display += QLatin1Char('.');
        }
    } else if (key == QLatin1String("<")) {
        if (!m_fresh) {
            m_display.chop(1);
            if (m_display.isEmpty() || m_display == QLatin1String("-"))
                m_display = QStringLiteral("0");
        }
    } else if (key == QLatin1String("=")) {
        if (!m_pending.isEmpty())
            apply();
        m_pending.clear();
        m_accumulator = m_display.toDouble();
        m_fresh = true;
    } else if (QStringLiteral("+-*/").contains(key) && key.size() == 1) {
        // A chain such as 2 + 3 * 4 works left to right, as on a desk calculator.
        if (!m_fresh || m_pending.isEmpty())
            apply();
        m_pending = key;
        m_fresh = true;
    }
}

CalculatorPopup::CalculatorPopup(QLineEdit *target)
    : QFrame(target, Qt::Popup), m_target(target), m_calc(QLocale::c().toDouble(target->text()))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::StyledPanel);
    auto *grid = new QGridLayout(this);
    m_screen = new QLabel(m_calc.display(), this);
    m_screen->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_screen->setFrameShape(QFrame::Panel);
    m_screen->setFrameShadow(QFrame::Sunken);
    grid->addWidget(m_screen, 0, 0, 1, 4);
    const char *const keys[5][4] = {{"C", "<", "/", "*"}, {"7", "8", "9", "-"}, {"4", "5", "6", "+"},
                                    {"1", "2", "3", "="}, {"0", ".", "", ""}};
    const QHash<QString, QString> shown{{"/", "÷"}, {"*", "×"}, {"-", "−"}, {"<", "←"}};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c) {
            const QString key = QString::fromLatin1(keys[r][c]);
            if (key.isEmpty())
                continue;
            auto *b = new QPushButton(shown.value(key, key), this);
            b->setFocusPolicy(Qt::NoFocus);
            b->setFixedSize(36, 28);
            connect(b, &QPushButton::clicked, this, [this, key] { press(key); });
            grid->addWidget(b, r + 1, c);
        }
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setFocusPolicy(Qt::NoFocus);
    connect(ok, &QPushButton::clicked, this, &CalculatorPopup::accept);
    grid->addWidget(ok, 5, 2, 1, 2);
}

void CalculatorPopup::press(const QString &key)
{
    m_calc.press(key);
    m_screen->setText(m_calc.display());
}

void CalculatorPopup::accept()
{
    if (!m_calc.hasError()) {
        m_calc.press(QStringLiteral("="));
        // setText, not typing: the field's binding stores any text change.
        m_target->setText(m_calc.display());
    }
    close();
}

void CalculatorPopup::keyPressEvent(QKeyEvent *event)
{
    const QString t = event->text();
    if (event->key() == Qt::Key_Escape) {
        close();
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
    } else if (event->key() == Qt::Key_Backspace) {
        press(QStringLiteral("<"));
    } else if (t.size() == 1 && (t[0].isDigit() || QStringLiteral(".+-*/=").contains(t))) {
        press(t);
    } else if (t.compare(QLatin1String("c"), Qt::CaseInsensitive) == 0) {
        press(QStringLiteral("C"));
    } else {
        QFrame::keyPressEvent(event);
    }
}

CalculatorPopup *openCalculator(QLineEdit *edit)
{
    if (edit->isReadOnly() || !edit->isEnabled())
        return nullptr;
    auto *popup = new CalculatorPopup(edit);
    popup->move(edit->mapToGlobal(QPoint(0, edit->height())));
    popup->show();
    popup->setFocus();
    return popup;
}

void attachCalculator(QLineEdit *edit)
{
    QAction *a = edit->addAction(edit->style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    a->setToolTip(QStringLiteral("计算器 (F4)"));
    QObject::connect(a, &QAction::triggered, edit, [edit] { openCalculator(edit); });
    auto *f4 = new QAction(edit);
    f4->setShortcut(Qt::Key_F4);
    f4->setShortcutContext(Qt::WidgetShortcut);
    edit->addAction(f4);
    QObject::connect(f4, &QAction::triggered, edit, [edit] { openCalculator(edit); });
}
