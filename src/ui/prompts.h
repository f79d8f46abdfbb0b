#pragma once

#include <QString>

inline const QString kCaption = QStringLiteral("系统提示");

// Every message box and file dialog of the system goes through here, so
// that tests can answer them. The caption is "系统提示" unless a question
// names its own (the exit question says "系统退出确认").
class Prompts
{
public:
    enum class Icon { Information, Warning, Question };

    virtual ~Prompts() = default;
    virtual void warn(const QString &text) = 0;
    virtual void inform(const QString &text) = 0;
    // Yes/No with the question icon; defaultNo makes No the default button.
    virtual bool askYesNo(const QString &text, bool defaultNo = false, const QString &caption = kCaption) = 0;
    virtual bool askOkCancel(const QString &text, Icon icon = Icon::Question) = 0;
    virtual QString openFileName(const QString &title, const QString &filter, const QString &startPath = {}) = 0;
    virtual QString saveFileName(const QString &title, const QString &name, const QString &filter) = 0;

    static Prompts &instance();
    static void install(Prompts *p); // nullptr restores the real boxes
};
