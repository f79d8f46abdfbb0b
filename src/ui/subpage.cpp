#include "ui/subpage.h"

#include "data/dmmain.h"
#include "data/tabledef.h"
#include "data/tablerules.h"
#include "ui/datagrid.h"
#include "ui/editkeys.h"
#include "ui/fieldbinder.h"
#include "ui/logcommand.h"
#include "ui/moduleframe.h"
#include "ui/prompts.h"
#include "ui/recordcommands.h"
#include "ui/recorddialogs.h"

#include <QAction>
#include <QHeaderView>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

SubCommandStates subCommandStates(bool recordStored, Dataset::State detail, bool formPage, bool hasDialog,
                                  const UserRights::Ops &ops)
{
    SubCommandStates s;
    if (formPage) {
        s.modify = ops.modify && recordStored;
        s.save = ops.modify && (detail == Dataset::State::Edit || detail == Dataset::State::Insert);
    } else {
        s.newRecord = ops.insert && recordStored && hasDialog;
        s.modify = ops.modify && recordStored && hasDialog;
    }
    s.remove = ops.remove;
    s.refresh = true;
    s.print = ops.print;
    return s;
}

SubPage::SubPage(const SubPageDesc &desc, Dataset *master, const QString &gridPrefix, const QString &logPrefix,
                 const QString &rightCode, QWidget *parent)
    : QWidget(parent), m_desc(desc), m_set(TdmMain::instance()->dataset(desc.dataset)), m_master(master),
      m_logPrefix(logPrefix), m_rightCode(rightCode)
{
    Q_ASSERT(m_set);
    setObjectName(desc.dataset);
    if (!desc.orderBy.isEmpty())
        m_set->setOrderBy(desc.orderBy);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const bool formPage = desc.columns.isEmpty();
    if (desc.commands) {
        auto *bar = new QToolBar(this);
        bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
        if (formPage) {
            add(bar, QStringLiteral("修改"), QStringLiteral("Modify"), &SubPage::runModify);
            add(bar, QStringLiteral("保存"), QStringLiteral("Save"), &SubPage::runSave);
            add(bar, QStringLiteral("删除"), QStringLiteral("Delete"), &SubPage::runDelete);
            add(bar, QStringLiteral("打印"), QStringLiteral("Print"), &SubPage::runPrint);
        } else {
            add(bar, desc.newCaption, QStringLiteral("New"), &SubPage::runNew);
            add(bar, QStringLiteral("修改"), QStringLiteral("Modify"), &SubPage::runModify);
            add(bar, QStringLiteral("删除"), QStringLiteral("Delete"), &SubPage::runDelete);
            add(bar, QStringLiteral("刷新"), QStringLiteral("Refresh"), &SubPage::runRefresh);
            // A page without a report of its own offers no "打印".
            add(bar, QStringLiteral("打印"), QStringLiteral("Print"), &SubPage::runPrint)->setVisible(!desc.report.isEmpty());
        }
        layout->addWidget(bar);
    }
    if (formPage) {
        auto *fields = new QWidget(this);
        m_binder = new FieldBinder(m_set, this);
        m_form = new Form(desc.form, m_binder, fields);
        m_form->applyEnterOrder();
        layout->addWidget(fields);
        layout->addStretch(1);
    } else {
        m_grid = new DataGrid(m_set, desc.columns, gridPrefix + QLatin1Char('.') + desc.dataset, this);
        m_grid->setGroupPanelVisible(false);
        for (const QString &hidden : desc.hiddenColumns)
            for (int c = 0; c < desc.columns.size(); ++c)
                if (desc.columns[c].field.compare(hidden, Qt::CaseInsensitive) == 0)
                    m_grid->view()->header()->hideSection(c);
        layout->addWidget(m_grid, 1);
        connect(m_grid, &DataGrid::rowDoubleClicked, this, [this] {
            if (QAction *a = command(QStringLiteral("Modify")); a && a->isEnabled())
                runModify();
        });
    }
    connect(m_set, &Dataset::stateChanged, this, &SubPage::updateCommands);
    if (m_master) {
        connect(m_master, &Dataset::stateChanged, this, &SubPage::updateCommands);
        connect(m_master, &Dataset::currentRowChanged, this, &SubPage::updateCommands);
        // A code being changed holds back new rows until it is saved.
        connect(m_master, &Dataset::fieldChanged, this, &SubPage::updateCommands);
    }
    updateCommands();
}

QAction *SubPage::add(QToolBar *bar, const QString &caption, const QString &name, void (SubPage::*run)())
{
    QAction *a = bar->addAction(caption, this, run);
    a->setObjectName(name);
    m_commands << a;
    return a;
}

QAction *SubPage::command(const QString &objectName) const
{
    for (QAction *a : m_commands)
        if (a->objectName() == objectName)
            return a;
    return nullptr;
}

void SubPage::updateCommands()
{
    const bool stored = m_master && m_master->isActive() && m_master->currentRow() >= 0
        && m_master->state() != Dataset::State::Insert && m_set->canAddDetail();
    const SubCommandStates s = subCommandStates(stored, m_set->state(), m_form != nullptr,
                                                RecordDialogs::has(m_desc.recordTable),
                                                UserRights::current().ops(m_rightCode));
    const std::pair<const char *, bool> states[] = {{"New", s.newRecord}, {"Modify", s.modify}, {"Save", s.save},
                                                    {"Delete", s.remove}, {"Refresh", s.refresh}, {"Print", s.print}};
    for (const auto &[name, on] : states)
        if (QAction *a = command(QString::fromLatin1(name)))
            a->setEnabled(on);
    if (m_form)
        m_form->setEditable(Form::userMayChange(m_set, m_rightCode));
}

bool SubPage::begin()
{
    if (!m_set->isActive() && !m_set->open()) {
        Prompts::instance().warn(m_set->lastError());
        return false;
    }
    // The first change of a record without such a row begins it.
    const bool ok = m_set->isEditing() || (m_set->isEmpty() ? m_set->append() : m_set->edit());
    if (!ok)
        Prompts::instance().warn(m_set->lastError());
    return ok;
}

void SubPage::runNew()
{
    const RecordDialogs::Opener open = RecordDialogs::opener(m_desc.recordTable);
    if (!open || !m_set->canAddDetail() || !beginNewRecord(m_set))
        return;
    open(this);
    if (m_set->isEditing())
        m_set->cancel(); // a dialog that neither stored nor dropped its row
}

void SubPage::runModify()
{
    if (m_form) {
        if (begin() && !m_form->enterOrder().isEmpty())
            m_form->enterOrder().first()->setFocus(Qt::OtherFocusReason);
        return;
    }
    const RecordDialogs::Opener open = RecordDialogs::opener(m_desc.recordTable);
    if (!open || !begin())
        return;
    open(this);
    if (m_set->isEditing())
        m_set->cancel();
}

void SubPage::runSave()
{
    const TableRules *rules = m_set->table() ? TdmMain::instance()->rules(m_set->table()->name()) : nullptr;
    if (m_form && rules
        && !m_form->checkRequired(rules->required, [](QWidget *w) { w->setFocus(Qt::OtherFocusReason); }))
        return;
    storeCurrentRecord(m_set, [this](const QString &field) {
        if (QWidget *w = m_form ? m_form->widget(field) : nullptr)
            w->setFocus(Qt::OtherFocusReason);
    });
}

void SubPage::runDelete()
{
    const TableRules *rules = m_set->table() ? TdmMain::instance()->rules(m_set->table()->name()) : nullptr;
    deleteCurrentRecord(m_set, rules, m_desc.deleteQuestion);
}

void SubPage::runRefresh()
{
    const bool ok = m_set->isActive() ? m_set->refresh() : m_set->open();
    if (!ok)
        Prompts::instance().warn(m_set->lastError());
}

void SubPage::runPrint()
{
    if (m_desc.report.isEmpty())
        return;
    if (!logCommand(m_logPrefix + QLatin1Char('-') + m_desc.printLog))
        return;
    ModuleFrame::print(m_set, m_desc.report, this);
}
