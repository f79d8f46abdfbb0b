#pragma once

#include <QDate>
#include <QLineEdit>
#include <QPalette>

class QCalendarWidget;

// A date field a clerk can type into: "2026-12-10", "2026-1-5", "2026/1/5",
// "2026.1.5" or "20260105". It can be empty (no date), Up and Down step a
// day (from today when empty), and the button at its end or Alt+Down opens
// a calendar on the shown date, or on today when there is none. While the
// text is not a date it shows red; leaving the field then puts back the
// date it had when it was entered, so a half-typed date is never taken.
class DateEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit DateEdit(QWidget *parent = nullptr);

    // The date shown; invalid when the field is empty.
    QDate date() const { return m_date; }
    // Shows date as yyyy-M-d; an invalid date empties the field.
    void setDate(const QDate &date);
    // Whether an empty field is a value; when not, clearing puts back the
    // last date (a period's bounds always hold one).
    void setEmptyAllowed(bool allowed) { m_emptyAllowed = allowed; }

    // The date a typed text stands for, or an invalid date.
    static QDate parse(const QString &text);

    void showCalendar();
    QCalendarWidget *calendar() const { return m_calendar; }

signals:
    // The user typed, stepped, picked or cleared a date (invalid = cleared).
    void dateEdited(const QDate &date);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void onTextEdited(const QString &text);
    void take(const QDate &date);
    void markValid(bool valid);

    QDate m_date;
    QDate m_dateOnEntry;
    bool m_emptyAllowed = true;
    bool m_showing = false; // the field sets its own text
    bool m_marked = false; // shown red: the text is not a date
    QPalette m_unmarked;
    QCalendarWidget *m_calendar = nullptr;
};
