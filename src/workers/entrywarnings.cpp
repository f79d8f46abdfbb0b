#include "workers/entrywarnings.h"

#include "data/dataset.h"
#include "ui/prompts.h"

#include <QLineEdit>

EntryWarnings::EntryWarnings(Dataset *set, QObject *parent) : QObject(parent), m_set(set) {}

void EntryWarnings::watch(QLineEdit *edit, const QString &field, Check plausible, const QString &message)
{
    if (!edit)
        return;
    m_watched.append({edit, field, std::move(plausible), message, {}});
    const int index = int(m_watched.size()) - 1;
    connect(edit, &QLineEdit::editingFinished, this, [this, index] { check(m_watched[index]); });
}

void EntryWarnings::warnPending()
{
    for (Watched &w : m_watched)
        check(w);
}

void EntryWarnings::check(Watched &w)
{
    if (!m_set->isActive() || !m_set->isEditing())
        return;
    const QString text = m_set->value(w.field).toString().trimmed();
    if (text.isEmpty() || text == w.warned || w.plausible(text))
        return;
    if (m_set->state() == Dataset::State::Edit && text == m_set->storedValue(w.field).toString().trimmed())
        return;
    w.warned = text;
    Prompts::instance().warn(w.message);
}
