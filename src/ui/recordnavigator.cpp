#include "ui/recordnavigator.h"

#include "data/dataset.h"
#include "ui/prompts.h"
#include "ui/recordcommands.h"

#include <QAction>
#include <QBoxLayout>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

namespace {
bool nothingTyped(const Dataset *set, const FormSpec &form)
{
    for (const FormRow &row : form)
        if (!row.field.isEmpty() && !set->isBlank(row.field))
            return false;
    return true;
}
} // namespace

bool navigatorEnabled(const Dataset *set)
{
    return set && set->isActive() && set->rowCount() > 0;
}

bool moveRecord(Dataset *set, RecordMove move, const FormSpec &form)
{
    if (!set || !set->isActive() || set->isEmpty() || set->currentRow() < 0)
        return false;
    const int before = set->currentRow();
    if (set->state() == Dataset::State::Insert && nothingTyped(set, form)) {
        set->cancel();
    } else if (!storeCurrentRecord(set)) {
        return false;
    }
    if (set->isEmpty() || set->currentRow() < 0)
        return false;
    const int row = set->currentRow();
    bool ok = true;
    switch (move) {
    case RecordMove::First: ok = set->first(); break;
    case RecordMove::Prior: ok = row <= 0 || set->prior(); break;
    case RecordMove::Next: ok = (row + 1 >= set->rowCount() && !set->canFetchMore()) || set->next(); break;
    case RecordMove::Last: ok = set->last(); break;
    }
    if (!ok) {
        Prompts::instance().warn(set->lastError());
        return false;
    }
    return set->currentRow() != before;
}

RecordNavigator::RecordNavigator(Dataset *set, FormSpec form, QWidget *owner)
    : QObject(owner), m_set(set), m_form(std::move(form))
{
    const std::tuple<const char *, const char *, const char *, QStyle::StandardPixmap, RecordMove> moves[] = {
        {"NavFirst", "|◀", "第一条", QStyle::SP_MediaSkipBackward, RecordMove::First},
        {"NavPrior", "◀", "上一条", QStyle::SP_MediaSeekBackward, RecordMove::Prior},
        {"NavNext", "▶", "下一条", QStyle::SP_MediaSeekForward, RecordMove::Next},
        {"NavLast", "▶|", "最后一条", QStyle::SP_MediaSkipForward, RecordMove::Last}};
    for (const auto &[name, text, tip, icon, where] : moves) {
        auto *a = new QAction(QString::fromUtf8(text), owner);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(QString::fromUtf8(tip));
        a->setIcon(owner->style()->standardIcon(icon));
        connect(a, &QAction::triggered, this, [this, m = where] { move(m); });
        m_actions << a;
    }
    for (auto signal : {&Dataset::rowsReset, &Dataset::contentChanged})
        connect(set, signal, this, &RecordNavigator::update);
    connect(set, &Dataset::stateChanged, this, &RecordNavigator::update);
    connect(set, &Dataset::rowsAppended, this, &RecordNavigator::update);
    connect(set, &Dataset::rowRemoved, this, &RecordNavigator::update);
    update();
}

void RecordNavigator::addTo(QToolBar *bar) const
{
    for (QAction *a : m_actions) {
        bar->addAction(a);
        // A tool bar of text shows the arrows; the name is said aloud.
        if (QWidget *b = bar->widgetForAction(a))
            b->setAccessibleName(a->toolTip());
    }
}

void RecordNavigator::addTo(QBoxLayout *row, QWidget *parent) const
{
    for (QAction *a : m_actions) {
        auto *b = new QToolButton(parent);
        b->setDefaultAction(a);
        b->setObjectName(a->objectName());
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setAccessibleName(a->toolTip());
        b->setFocusPolicy(Qt::NoFocus);
        row->addWidget(b);
    }
}

void RecordNavigator::update()
{
    const bool on = navigatorEnabled(m_set);
    for (QAction *a : std::as_const(m_actions))
        a->setEnabled(on);
}

void RecordNavigator::move(RecordMove where)
{
    if (moveRecord(m_set, where, m_form))
        emit moved();
    update();
}
