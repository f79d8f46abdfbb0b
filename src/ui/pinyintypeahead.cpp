#include "ui/pinyintypeahead.h"

#include "data/pinyin.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QRegularExpression>

PinyinTypeAhead::PinyinTypeAhead(QComboBox *combo) : QObject(combo), m_combo(combo)
{
}

void PinyinTypeAhead::install(QComboBox *combo)
{
    auto *t = new PinyinTypeAhead(combo);
    combo->installEventFilter(t);
    combo->view()->installEventFilter(t);
}

int PinyinTypeAhead::find(const QComboBox *combo, const QString &typed)
{
    const QString fromStart = Pinyin::typedPattern(typed, true);
    const QString anywhere = Pinyin::typedPattern(typed);
    const QRegularExpression first(fromStart), inside(anywhere);
    int containing = -1;
    for (int i = 0; i < combo->count(); ++i) {
        const QString text = combo->itemText(i);
        if (text.startsWith(typed, Qt::CaseInsensitive))
            return i;
        const QString key = fromStart.isEmpty() ? QString() : Pinyin::searchKey(text);
        if (!fromStart.isEmpty() && first.match(key).hasMatch())
            return i;
        if (containing < 0
            && (text.contains(typed, Qt::CaseInsensitive) || (!anywhere.isEmpty() && inside.match(key).hasMatch())))
            containing = i;
    }
    return containing;
}

bool PinyinTypeAhead::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || m_combo->isEditable() || m_combo->count() <= m_combo->maxVisibleItems())
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const QString text = key->text();
    if (text.size() != 1 || !text[0].isLetter() || text[0].unicode() > 0x7f
        || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    if (!m_last.isValid() || m_last.elapsed() > QApplication::keyboardInputInterval())
        m_typed.clear();
    m_last.restart();
    m_typed += text.toLower();
    const int row = find(m_combo, m_typed);
    if (row < 0)
        return true; // nothing begins so: the choice stays where it was
    if (watched == m_combo->view()) {
        m_combo->view()->setCurrentIndex(m_combo->model()->index(row, m_combo->modelColumn(), m_combo->rootModelIndex()));
    } else if (row != m_combo->currentIndex()) {
        m_combo->setCurrentIndex(row);
        emit m_combo->activated(row);
    }
    return true;
}
