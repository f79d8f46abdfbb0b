#include "ui/recorddialog.h"

#include "data/dmmain.h"
#include "data/tabledef.h"
#include "data/tablerules.h"
#include "ui/dialogbuttons.h"
#include "ui/fieldbinder.h"
#include "ui/logcommand.h"
#include "ui/moduleframe.h"
#include "ui/prompts.h"
#include "ui/recordcommands.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

RecordButtonStates recordButtonStates(Dataset::State state, const UserRights::Ops &ops)
{
    const CommandStates c = commandStates(state, ops);
    RecordButtonStates r;
    r.newRecord = c.detailNew;
    r.save = c.detailSave && (state == Dataset::State::Edit || state == Dataset::State::Insert);
    r.remove = c.detailDelete;
    return r;
}

RecordDialog::RecordDialog(const RecordDialogDesc &desc, QWidget *parent)
    : QDialog(parent), m_desc(desc), m_set(TdmMain::instance()->dataset(desc.dataset))
{
    Q_ASSERT(m_set);
    setObjectName(desc.className);
    setWindowTitle(desc.caption);
    m_binder = new FieldBinder(m_set, this);

    auto *outer = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    outer->addLayout(left, 1);
    if (!desc.navigatorHeading.isEmpty()) {
        auto *top = new QHBoxLayout;
        top->addWidget(new QLabel(desc.navigatorHeading, this));
        top->addStretch(1);
        const std::tuple<const char *, const char *, QStyle::StandardPixmap, Move> moves[] = {
            {"NavFirst", "第一条", QStyle::SP_MediaSkipBackward, Move::First},
            {"NavPrior", "上一条", QStyle::SP_MediaSeekBackward, Move::Prior},
            {"NavNext", "下一条", QStyle::SP_MediaSeekForward, Move::Next},
            {"NavLast", "最后一条", QStyle::SP_MediaSkipForward, Move::Last}};
        for (const auto &[name, tip, icon, move] : moves) {
            auto *b = new QToolButton(this);
            b->setObjectName(QString::fromLatin1(name));
            b->setIcon(style()->standardIcon(icon));
            b->setToolTip(QString::fromUtf8(tip));
            b->setAccessibleName(QString::fromUtf8(tip));
            b->setFocusPolicy(Qt::NoFocus);
            connect(b, &QToolButton::clicked, this, [this, m = move] { navigate(m); });
            top->addWidget(b);
            m_navigator << b;
        }
        left->addLayout(top);
    }
    auto *area = new QWidget(this);
    left->addWidget(area, 1);
    m_form = new Form(desc.form, m_binder, area, desc.pairsPerLine);

    auto *buttons = new QVBoxLayout;
    outer->addLayout(buttons);
    auto add = [&](const QString &caption, const QString &name, const QString &key, auto run) {
        return addDialogButton(buttons, this, caption, name, key, run);
    };
    m_new = add(QStringLiteral("新增"), QStringLiteral("BtnNew"), QStringLiteral("Ctrl+A"), &RecordDialog::BtnNewClick);
    m_save = add(QStringLiteral("保存"), QStringLiteral("BtnSave"), QStringLiteral("Ctrl+S"), &RecordDialog::BtnSaveClick);
    m_delete = add(QStringLiteral("删除"), QStringLiteral("BtnDelete"), {}, &RecordDialog::BtnDeleteClick);
    m_close = add(QStringLiteral("关闭"), QStringLiteral("BtnClose"), {}, &RecordDialog::BtnCloseClick);
    buttons->addStretch(1);

    m_form->applyEnterOrder();
    connect(m_set, &Dataset::stateChanged, this, &RecordDialog::updateButtons);
    connect(m_set, &Dataset::currentRowChanged, this, &RecordDialog::updateButtons);
    connect(m_set, &Dataset::rowsReset, this, &RecordDialog::updateButtons);
    updateButtons();
}

RecordDialog::~RecordDialog() = default;

QPushButton *RecordDialog::button(const QString &objectName) const
{
    return findChild<QPushButton *>(objectName);
}

const TableRules *RecordDialog::rules() const
{
    return m_set->table() ? TdmMain::instance()->rules(m_set->table()->name()) : nullptr;
}

void RecordDialog::updateButtons()
{
    const RecordButtonStates s = recordButtonStates(m_set->state(), UserRights::current().ops(m_desc.rightCode));
    m_new->setEnabled(s.newRecord);
    m_save->setEnabled(s.save);
    m_delete->setEnabled(s.remove);
    m_form->setEditable(Form::userMayChange(m_set, m_desc.rightCode));
    const bool rows = m_set->isActive() && m_set->rowCount() > 0;
    for (QToolButton *b : std::as_const(m_navigator))
        b->setEnabled(rows);
}

void RecordDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    updateButtons();
    afterShow();
    const QList<QWidget *> order = m_form->enterOrder();
    if (!order.isEmpty())
        order.first()->setFocus(Qt::OtherFocusReason);
}

bool RecordDialog::log(const QString &command) const
{
    return m_desc.logPrefix.isEmpty() || logCommand(m_desc.logPrefix + QLatin1Char('-') + command);
}

void RecordDialog::focusField(const QString &field)
{
    if (QWidget *w = m_form->widget(field))
        w->setFocus(Qt::OtherFocusReason);
}

void RecordDialog::BtnNewClick()
{
    if (!log(QStringLiteral("新增")))
        return;
    // The set may not be open yet; the rule then counts it as browsing.
    Dataset::State state = m_set->isActive() ? m_set->state() : Dataset::State::Browse;
    if (!recordButtonStates(state, UserRights::current().ops(m_desc.rightCode)).newRecord || !canStartNew())
        return;
    if (!beginNewRecord(m_set))
        return;
    afterNew();
    const QList<QWidget *> order = m_form->enterOrder();
    if (!order.isEmpty())
        order.first()->setFocus(Qt::OtherFocusReason);
}

bool RecordDialog::checksPass()
{
    const TableRules *r = rules();
    if (!r)
        return true;
    QVector<RequiredField> required = r->required;
    if (m_checkingClose)
        for (RequiredField &f : required)
            for (const RequiredField &c : std::as_const(m_desc.closeMessages))
                if (c.field.compare(f.field, Qt::CaseInsensitive) == 0)
                    f.message = c.message;
    const auto focus = [](QWidget *w) { w->setFocus(Qt::OtherFocusReason); };
    for (const QString &field : std::as_const(m_desc.checkOrder))
        for (qsizetype i = 0; i < required.size(); ++i)
            if (required[i].field.compare(field, Qt::CaseInsensitive) == 0) {
                if (!m_form->checkRequired({required[i]}, focus))
                    return false;
                required.removeAt(i);
                break;
            }
    if (!m_form->checkRequired(required, focus))
        return false;
    const HookResult check = r->runSaveChecks(*m_set);
    if (check.kind != HookResult::Refuse)
        return true;
    Prompts::instance().warn(check.message);
    focusField(check.field);
    return false;
}

bool RecordDialog::store()
{
    beforeStore();
    return storeCurrentRecord(m_set, [this](const QString &field) { focusField(field); });
}

void RecordDialog::discard()
{
    m_set->cancel();
}

void RecordDialog::BtnSaveClick()
{
    if (!log(QStringLiteral("保存")))
        return;
    if (checksPass())
        store();
}

void RecordDialog::BtnDeleteClick()
{
    if (!log(QStringLiteral("删除")))
        return;
    if (!m_set->isActive() || m_set->isEmpty() || m_set->currentRow() < 0)
        return;
    if (!recordButtonStates(m_set->state(), UserRights::current().ops(m_desc.rightCode)).remove)
        return;
    if (m_set->state() == Dataset::State::Insert) {
        discard(); // never stored: nothing depends on it
        return;
    }
    deleteCurrentRecord(m_set, rules());
}

void RecordDialog::BtnCloseClick()
{
    if (m_set->isEditing()) {
        if (!Prompts::instance().askYesNo(m_desc.closeQuestion)) {
            discard();
        } else {
            m_checkingClose = true;
            const bool passed = checksPass();
            m_checkingClose = false;
            if (!passed || !store())
                return;
        }
    }
    m_closing = true;
    accept();
}

void RecordDialog::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    event->ignore();
    BtnCloseClick();
}

void RecordDialog::reject()
{
    if (m_closing) {
        QDialog::reject();
        return;
    }
    BtnCloseClick();
}

bool RecordDialog::nothingTyped() const
{
    for (const FormRow &row : m_desc.form)
        if (!row.field.isEmpty() && !m_set->isBlank(row.field))
            return false;
    return true;
}

void RecordDialog::navigate(Move move)
{
    if (!m_set->isActive() || m_set->currentRow() < 0)
        return;
    const int current = m_set->currentRow();
    int target = 0;
    switch (move) {
    case Move::First: target = 0; break;
    case Move::Prior: target = current - 1; break;
    case Move::Next: target = current + 1; break;
    case Move::Last: target = m_set->rowCount() - 1; break;
    }
    // Leaving the row ends its editing either way: an untouched new row is
    // dropped, anything else is stored as moving in the set stores it.
    if (m_set->state() == Dataset::State::Insert && nothingTyped()) {
        discard();
    } else if (m_set->isEditing() && !m_set->post()) {
        Prompts::instance().warn(m_set->lastError());
        return;
    }
    if (m_set->rowCount() == 0)
        return;
    m_set->setCurrentRow(std::clamp(target, 0, m_set->rowCount() - 1));
}
