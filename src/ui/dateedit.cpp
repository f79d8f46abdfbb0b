#include "ui/dateedit.h"

#include "data/clock.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {
const QString kFormat = QStringLiteral("yyyy-M-d");

// A small calendar leaf, drawn so that it needs no icon theme or font glyph.
QIcon calendarIcon()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(Qt::white);
    p.drawRect(1, 2, 13, 12);
    p.fillRect(2, 3, 12, 3, QColor(0xC0, 0x39, 0x2B));
    for (int y = 8; y <= 12; y += 2)
        for (int x = 3; x <= 11; x += 3)
            p.fillRect(x, y, 2, 1, QColor(0x40, 0x40, 0x40));
    return QIcon(pm);
}
} // namespace

DateEdit::DateEdit(QWidget *parent) : QLineEdit(parent)
{
    // Digits and the usual separators only; whether they make a date is
    // decided as they are typed.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9./\\-]{0,10}")), this));
    setPlaceholderText(QStringLiteral("年-月-日"));
    QAction *pick = addAction(calendarIcon(), QLineEdit::TrailingPosition);
    pick->setObjectName(QStringLiteral("PickDate"));
    pick->setToolTip(QStringLiteral("选择日期"));
    connect(pick, &QAction::triggered, this, &DateEdit::showCalendar);
    // Any change of the text that is not the field's own counts, typed or
    // put in by an assistive tool.
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!m_showing)
            onTextEdited(text);
    });
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("2026-12-30")) + 44);
}

QDate DateEdit::parse(const QString &text)
{
    const QString t = text.trimmed();
    static const QRegularExpression separated(QStringLiteral("^(\\d{4})[./\\-](\\d{1,2})[./\\-](\\d{1,2})$"));
    static const QRegularExpression compact(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    QRegularExpressionMatch m = separated.match(t);
    if (!m.hasMatch())
        m = compact.match(t);
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

void DateEdit::setDate(const QDate &date)
{
    m_date = date.isValid() ? date : QDate();
    const bool was = m_showing;
    m_showing = true;
    setText(m_date.isValid() ? m_date.toString(kFormat) : QString());
    m_showing = was;
    markValid(true);
}

void DateEdit::take(const QDate &date)
{
    setDate(date);
    emit dateEdited(m_date);
}

void DateEdit::onTextEdited(const QString &text)
{
    if (text.trimmed().isEmpty()) {
        markValid(m_emptyAllowed);
        if (m_emptyAllowed && m_date.isValid()) {
            m_date = {};
            emit dateEdited(m_date);
        }
        return;
    }
    const QDate d = parse(text);
    markValid(d.isValid());
    // Each keystroke that completes a date stores it, as a pick would;
    // the text stays as typed until the field is left.
    if (d.isValid() && d != m_date) {
        m_date = d;
        emit dateEdited(m_date);
    }
}

void DateEdit::markValid(bool valid)
{
    if (valid == !m_marked)
        return;
    if (valid) {
        setPalette(m_unmarked);
    } else {
        m_unmarked = palette();
        QPalette red = m_unmarked;
        red.setColor(QPalette::Text, Qt::red);
        setPalette(red);
    }
    m_marked = !valid;
}

void DateEdit::keyPressEvent(QKeyEvent *event)
{
    if (!isReadOnly()) {
        const bool alt = event->modifiers() & Qt::AltModifier;
        if ((event->key() == Qt::Key_Down && alt) || event->key() == Qt::Key_F4) {
            showCalendar();
            return;
        }
        if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
            const QDate base = m_date.isValid() ? m_date : Clock::instance().today();
            const int step = event->key() == Qt::Key_Up ? 1 : -1;
            take(m_date.isValid() ? base.addDays(step) : base);
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void DateEdit::focusInEvent(QFocusEvent *event)
{
    m_dateOnEntry = m_date;
    QLineEdit::focusInEvent(event);
}

void DateEdit::focusOutEvent(QFocusEvent *event)
{
    // What stays on screen is what the row holds. A text that is no date
    // gives back the date the field had when it was entered, not one that
    // deleting or typing passed through on the way.
    if (!isReadOnly()) {
        const QString t = text().trimmed();
        if (t.isEmpty() && m_emptyAllowed)
            setDate({});
        else if (!t.isEmpty() && parse(t).isValid())
            setDate(m_date);
        else if (m_date != m_dateOnEntry)
            take(m_dateOnEntry);
        else
            setDate(m_date);
    }
    QLineEdit::focusOutEvent(event);
}

void DateEdit::showCalendar()
{
    if (isReadOnly() || !isEnabled())
        return;
    auto *popup = new QWidget(this, Qt::Popup);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(popup);
    layout->setContentsMargins(1, 1, 1, 1);
    m_calendar = new QCalendarWidget(popup);
    m_calendar->setObjectName(QStringLiteral("Calendar"));
    m_calendar->setGridVisible(true);
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    const QDate shown = m_date.isValid() ? m_date : Clock::instance().today();
    m_calendar->setSelectedDate(shown);
    m_calendar->setCurrentPage(shown.year(), shown.month());
    layout->addWidget(m_calendar);
    connect(m_calendar, &QCalendarWidget::activated, this, [this, popup](const QDate &d) {
        take(d);
        popup->close();
    });
    connect(m_calendar, &QCalendarWidget::clicked, this, [this, popup](const QDate &d) {
        take(d);
        popup->close();
    });
    connect(popup, &QObject::destroyed, this, [this] { m_calendar = nullptr; });
    popup->adjustSize();
    popup->move(mapToGlobal(QPoint(0, height())));
    popup->show();
    m_calendar->setFocus();
}
