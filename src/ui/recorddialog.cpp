#include "ui/recorddialog.h"

#include "data/dmmain.h"
#include "data/tabledef.h"
#include "data/tablerules.h"
#include "ui/datagrid.h"
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
#include <QVBoxLayout>

RecordButtonStates recordButtonStates(Dataset::State state, const UserRights::Ops &ops, bool newWhileAdding)
{
    const CommandStates c = commandStates(state, ops);
    RecordButtonStates r;
    r.newRecord = c.detailNew || (newWhileAdding && state == Dataset::State::Insert && ops.insert);
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
    if (!desc.title.isEmpty()) {
        auto *title = new QLabel(desc.title, this);
        title->setObjectName(QStringLiteral("Title"));
        QFont f = title->font();
        f.setPointSizeF(f.pointSizeF() * 1.6);
        f.setBold(true);
        title->setFont(f);
        title->setStyleSheet(QStringLiteral("color: #1f4e9c;"));
        left->addWidget(title);
    }
    if (!desc.listColumns.isEmpty()) {
        m_grid = new DataGrid(m_set, desc.listColumns, desc.className + QStringLiteral(".List"), this);
        m_grid->setGroupPanelVisible(false);
        m_grid->setStretchColumns(true);
        left->addWidget(m_grid, 1);
    }
    if (!desc.navigatorHeading.isEmpty()) {
        auto *top = new QHBoxLayout;
        top->addWidget(new QLabel(desc.navigatorHeading, this));
        top->addStretch(1);
        m_navigator = new RecordNavigator(m_set, desc.form, this);
        m_navigator->addTo(top, this);
        left->addLayout(top);
    }
    auto *area = new QWidget(this);
    left->addWidget(area, 1);
    m_form = new Form(desc.form, m_binder, area, desc.pairsPerLine);
    m_side = new QVBoxLayout;
    outer->addLayout(m_side);

    auto *buttons = new QVBoxLayout;
    outer->addLayout(buttons);
    auto add = [&](const QString &caption, const QString &name, const QString &key, auto run) {
        return addDialogButton(buttons, this, caption, name, key, run);
    };
    m_new = add(QStringLiteral("新增"), QStringLiteral("BtnNew"), QStringLiteral("Ctrl+A"), &RecordDialog::BtnNewClick);
    m_save = add(QStringLiteral("保存"), QStringLiteral("BtnSave"), QStringLiteral("Ctrl+S"), &RecordDialog::BtnSaveClick);
    m_delete = add(QStringLiteral("删除"), QStringLiteral("BtnDelete"), {}, &RecordDialog::BtnDeleteClick);
    m_close = add(QStringLiteral("关闭"), QStringLiteral("BtnClose"), {}, &RecordDialog::BtnCloseClick);
    for (const WindowCommand &c : desc.commands) {
        QPushButton *b = add(c.caption, c.name, c.shortcut, [this, run = c.run] {
            if (run)
                run(this);
        });
        if (QPushButton *before = c.before.isEmpty() ? nullptr : button(c.before))
            buttons->insertWidget(buttons->indexOf(before), b);
        m_own.append({b, c});
    }
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
    const RecordButtonStates s =
        recordButtonStates(m_set->state(), UserRights::current().ops(m_desc.rightCode), m_desc.newWhileAdding);
    m_new->setEnabled(s.newRecord);
    m_save->setEnabled(s.save);
    m_delete->setEnabled(s.remove);
    m_form->setEditable(Form::userMayChange(m_set, m_desc.rightCode));
    for (const auto &[b, c] : std::as_const(m_own))
        b->setEnabled(!c.enabled || c.enabled(commandContext(m_set, m_desc.rightCode, c)));
    if (m_navigator)
        m_navigator->update();
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
    if (!recordButtonStates(state, UserRights::current().ops(m_desc.rightCode), m_desc.newWhileAdding).newRecord ||
        !canStartNew())
        return;
    // A row in hand goes through the same checks as "保存" before the next
    // starts; a refused one stays in hand at the field to mend.
    if (m_set->isEditing() && (!checksPass() || !store()))
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
    const auto checks = [this] {
        m_checkingClose = true;
        const bool passed = checksPass();
        m_checkingClose = false;
        return passed;
    };
    if (!settleRecordInHand(m_set, m_desc.closeQuestion, checks, [this] { return store(); }, [this] { discard(); }))
        return;
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

void RecordDialog::navigate(Move move)
{
    if (m_navigator)
        m_navigator->move(move);
    else
        moveRecord(m_set, move, m_desc.form);
}
