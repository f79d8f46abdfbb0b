#pragma once

#include "ui/prompts.h"

// The real boxes and dialogs, on the active window.
class QtPrompts : public Prompts
{
public:
    void warn(const QString &text) override;
    void inform(const QString &text) override;
    bool askYesNo(const QString &text, bool defaultNo = false, const QString &caption = kCaption) override;
    bool askOkCancel(const QString &text, Icon icon = Icon::Question) override;
    QString openFileName(const QString &title, const QString &filter, const QString &startPath = {}) override;
    QString saveFileName(const QString &title, const QString &name, const QString &filter) override;
};
