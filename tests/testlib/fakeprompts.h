#pragma once

#include "ui/prompts.h"

#include <QStringList>
#include <QVector>

// Answers message boxes and file dialogs from a script and records every
// text shown, so a test can read what the user would have seen.
class FakePrompts : public Prompts
{
public:
    FakePrompts() { Prompts::install(this); }
    ~FakePrompts() override { Prompts::install(nullptr); }

    struct Shown {
        QString kind; // warn, inform, yesno, okcancel, open, save
        QString text;
        QString caption = kCaption; // of questions
        bool defaultNo = false;     // of Yes/No questions
    };

    // Answers to questions, used in order; when they run out, questions
    // are answered with defaultAnswer.
    QVector<bool> answers;
    bool defaultAnswer = true;
    QStringList fileNames; // answers to file dialogs, in order

    QVector<Shown> shown;
    QStringList texts() const;
    QString last() const { return shown.isEmpty() ? QString() : shown.last().text; }
    void clear() { shown.clear(); }

    void warn(const QString &text) override;
    void inform(const QString &text) override;
    bool askYesNo(const QString &text, bool defaultNo = false, const QString &caption = kCaption) override;
    bool askOkCancel(const QString &text, Icon icon = Icon::Question) override;
    QString openFileName(const QString &title, const QString &filter, const QString &startPath = {}) override;
    QString saveFileName(const QString &title, const QString &name, const QString &filter) override;

private:
    bool nextAnswer();
    QString nextFile();
};

#include "data/clock.h"

// A clock that stands still at a given moment.
class FixedClock : public Clock
{
public:
    explicit FixedClock(const QDateTime &at) : m_at(at) { Clock::install(this); }
    ~FixedClock() override { Clock::install(nullptr); }
    QDateTime now() const override { return m_at; }
    void set(const QDateTime &at) { m_at = at; }

private:
    QDateTime m_at;
};
