#include "testlib/fakeprompts.h"

QStringList FakePrompts::texts() const
{
    QStringList l;
    for (const auto &s : shown)
        l << s.text;
    return l;
}

bool FakePrompts::nextAnswer()
{
    if (answers.isEmpty())
        return defaultAnswer;
    return answers.takeFirst();
}

QString FakePrompts::nextFile()
{
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

void FakePrompts::warn(const QString &text) { shown.append({QStringLiteral("warn"), text}); }
void FakePrompts::inform(const QString &text) { shown.append({QStringLiteral("inform"), text}); }

bool FakePrompts::askYesNo(const QString &text, bool defaultNo, const QString &caption)
{
    shown.append({QStringLiteral("yesno"), text, caption, defaultNo});
    return nextAnswer();
}

bool FakePrompts::askOkCancel(const QString &text, Icon)
{
    shown.append({QStringLiteral("okcancel"), text});
    return nextAnswer();
}

QString FakePrompts::openFileName(const QString &title, const QString &, const QString &)
{
    shown.append({QStringLiteral("open"), title});
    return nextFile();
}

QString FakePrompts::saveFileName(const QString &title, const QString &, const QString &)
{
    shown.append({QStringLiteral("save"), title});
    return nextFile();
}
