#include "ui/moduleframe.h"

#include "data/dmmain.h"
#include "data/tabledef.h"
#include "data/tablerules.h"
#include "ui/datagrid.h"
#include "ui/fieldbinder.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"
#include "ui/recordcommands.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTreeView>
#include <QScrollArea>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

const QString &ModuleFrame::kCodeInUse = ::kCodeInUse;

namespace {
// The sub-pages under the fields: never lower than a grid needs to be of
// use, and never lower than the page of fields they hold, so that a page
// that does not fit makes the detail page scroll instead of cutting its
// last fields off.
class SubPageTabs : public QTabWidget
{
public:
    using QTabWidget::QTabWidget;
    QSize minimumSizeHint() const override { return QTabWidget::minimumSizeHint().expandedTo(QSize(0, 200)); }
};

ModuleFrame::Printer &printer()
{
    static ModuleFrame::Printer p;
    return p;
}
} // namespace

void ModuleFrame::setPrinter(Printer p)
{
    printer() = std::move(p);
}

bool ModuleFrame::print(Dataset *data, const QString &templateName, QWidget *parent)
{
    return printer() ? printer()(data, templateName, parent) : false;
}

CommandStates commandStates(Dataset::State state, const UserRights::Ops &ops)
{
    using S = Dataset::State;
    const bool active = state != S::Inactive;
    const bool editing = state == S::Edit || state == S::Insert;
    CommandStates c;
    c.listNew = active && ops.insert;
    c.listModify = active && ops.modify;
    c.listDelete = active && ops.remove;
    c.listRefresh = true;
    c.listQuery = ops.query;
    c.listPrint = active && ops.print;
    c.detailNew = active && ops.insert && state != S::Insert;
    // A new row may always be stored by whoever could start it; a changed
    // one only by a holder of the Modify flag. Browsing has nothing to store.
    c.detailSave = state == S::Insert || (state == S::Edit && ops.modify);
    c.detailDelete = active && ops.remove;
    c.detailPrint = active && ops.print;
    c.detailQuery = ops.query;
    c.detailCancel = editing;
    return c;
}

ModuleFrame::ModuleFrame(const ModuleDesc &desc, QWidget *parent)
    : ModulePanel(parent), m_desc(desc), m_set(TdmMain::instance() ? TdmMain::instance()->dataset(desc.dataset) : nullptr)
{
    Q_ASSERT(m_set);
    setObjectName(desc.className);
    if (!desc.orderBy.isEmpty())
        m_set->setOrderBy(desc.orderBy);
    setWindowTitle(desc.caption);
    m_binder = new FieldBinder(m_set, this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pages = new QTabWidget(this);
    layout->addWidget(m_pages);

    auto *list = new QWidget(m_pages);
    list->setObjectName(QStringLiteral("ListPage"));
    auto *listLayout = new QVBoxLayout(list);
    listLayout->setContentsMargins(2, 2, 2, 2);
    listLayout->addWidget(buildListBar());
    m_grid = new DataGrid(m_set, desc.columns, desc.className + QStringLiteral(".List"), list);
    for (int c = 0; c < desc.columns.size(); ++c)
        if (desc.hiddenColumns.contains(desc.columns[c].field, Qt::CaseInsensitive))
            m_grid->view()->header()->hideSection(c);
    listLayout->addWidget(m_grid, 1);
    m_pages->addTab(list, desc.listPage);

    auto *detail = new QWidget(m_pages);
    detail->setObjectName(QStringLiteral("DetailPage"));
    auto *detailLayout = new QVBoxLayout(detail);
    detailLayout->setContentsMargins(2, 2, 2, 2);
    detailLayout->addWidget(buildDetailBar());
    // In a window smaller than the form the page scrolls instead of
    // squeezing the fields until they can no longer be used.
    auto *scroll = new QScrollArea(detail);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *body = new QWidget(scroll);
    auto *bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    m_detailArea = new QWidget(body);
    auto *beside = new QHBoxLayout(m_detailArea);
    beside->setContentsMargins(0, 0, 0, 0);
    auto *formArea = new QWidget(m_detailArea);
    beside->addWidget(formArea, 1);
    m_side = new QVBoxLayout;
    beside->addLayout(m_side);
    if (!desc.form.isEmpty()) {
        m_form = new Form(desc.form, m_binder, formArea, desc.pairsPerLine);
        m_form->applyEnterOrder();
    }
    bodyLayout->addWidget(m_detailArea);
    m_subPages = new SubPageTabs(body);
    m_subPages->setVisible(false);
    bodyLayout->addWidget(m_subPages, 1);
    scroll->setWidget(body);
    detailLayout->addWidget(scroll, 1);
    // Enter, Tab or a click moves the focus; the field that has it is
    // brought into view.
    connect(qApp, &QApplication::focusChanged, this, [scroll, body](QWidget *, QWidget *now) {
        if (now && body->isAncestorOf(now))
            scroll->ensureWidgetVisible(now);
    });
    m_pages->addTab(detail, desc.detailPage);

    // Shortcuts belong to their page: Ctrl+N on the list, Ctrl+A on the detail.
    for (QAction *a : std::as_const(m_commands)) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        bool onList = a->objectName().startsWith(QStringLiteral("List"));
        for (const auto &[own, d] : std::as_const(m_own))
            if (own == a)
                onList = d.place == WindowCommand::Place::ListBar;
        (onList ? list : detail)->addAction(a);
    }
    for (const QString &name : desc.hiddenCommands)
        if (QAction *a = command(name))
            a->setVisible(false);
    if (m_navigator) {
        // A move chooses a row as a click in the list does.
        connect(m_navigator, &RecordNavigator::moved, this, [this] { rowChosen(); });
    }

    connect(m_grid, &DataGrid::rowClicked, this, [this] { rowChosen(); });
    connect(m_grid, &DataGrid::rowDoubleClicked, this, [this] {
        if (command(QStringLiteral("ListModify"))->isEnabled())
            listModify();
    });
    connect(m_set, &Dataset::stateChanged, this, &ModuleFrame::updateCommands);
    for (const SubPageDesc &sub : desc.subPages) {
        auto *page = new SubPage(sub, m_set, desc.className, desc.logPrefix, desc.rightCode, m_subPages);
        m_subPageList << page;
        addSubPage(sub.title, page);
    }
    updateCommands();
}

ModuleFrame::~ModuleFrame() = default;

QAction *ModuleFrame::addCommand(QToolBar *bar, const QString &name, const QString &caption, const QKeySequence &key,
                                 void (ModuleFrame::*run)())
{
    QAction *a = bar->addAction(caption, this, run);
    a->setObjectName(name);
    a->setShortcut(key);
    m_commands << a;
    return a;
}

QToolBar *ModuleFrame::buildListBar()
{
    auto *bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addCommand(bar, QStringLiteral("ListNew"), QStringLiteral("新增"), QKeySequence(QStringLiteral("Ctrl+N")), &ModuleFrame::listNew);
    addCommand(bar, QStringLiteral("ListModify"), QStringLiteral("修改"), QKeySequence(QStringLiteral("Ctrl+M")), &ModuleFrame::listModify);
    addCommand(bar, QStringLiteral("ListDelete"), QStringLiteral("删除"), QKeySequence(QStringLiteral("Ctrl+D")), &ModuleFrame::deleteRecord);
    addCommand(bar, QStringLiteral("ListRefresh"), QStringLiteral("刷新"), {}, &ModuleFrame::listRefresh);
    addCommand(bar, QStringLiteral("ListQuery"), QStringLiteral("查询"), QKeySequence(QStringLiteral("Ctrl+Q")), &ModuleFrame::queryRecords);
    addCommand(bar, QStringLiteral("ListPrint"), QStringLiteral("打印"), QKeySequence(QStringLiteral("Ctrl+P")), &ModuleFrame::listPrint);
    addOwnCommands(bar, WindowCommand::Place::ListBar);
    return bar;
}

void ModuleFrame::addOwnCommands(QToolBar *bar, WindowCommand::Place place)
{
    for (const WindowCommand &c : std::as_const(m_desc.commands)) {
        if (c.place != place)
            continue;
        auto *a = new QAction(c.caption, this);
        a->setObjectName(c.name);
        if (!c.shortcut.isEmpty())
            a->setShortcut(QKeySequence(c.shortcut));
        QAction *before = c.before.isEmpty() ? nullptr : command(c.before);
        bar->insertAction(before, a);
        if (c.run)
            connect(a, &QAction::triggered, this, [this, run = c.run] { run(this); });
        m_commands << a;
        m_own.append({a, c});
    }
}

QToolBar *ModuleFrame::buildDetailBar()
{
    auto *bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addCommand(bar, QStringLiteral("DetailNew"), QStringLiteral("新增"), QKeySequence(QStringLiteral("Ctrl+A")), &ModuleFrame::detailNew);
    addCommand(bar, QStringLiteral("DetailSave"), QStringLiteral("保存"), QKeySequence(QStringLiteral("Ctrl+S")), &ModuleFrame::detailSave);
    addCommand(bar, QStringLiteral("DetailDelete"), QStringLiteral("删除"), {}, &ModuleFrame::deleteRecord);
    addCommand(bar, QStringLiteral("DetailPrint"), QStringLiteral("打印"), {}, &ModuleFrame::detailPrint);
    QAction *query = addCommand(bar, QStringLiteral("DetailQuery"), QStringLiteral("查询"), {}, &ModuleFrame::queryRecords);
    query->setVisible(m_desc.detailQuery);
    if (m_desc.queryBeforePrint) {
        bar->removeAction(query);
        bar->insertAction(command(QStringLiteral("DetailPrint")), query);
    }
    addCommand(bar, QStringLiteral("DetailCancel"), QStringLiteral("放弃"), {}, &ModuleFrame::detailCancel);
    addOwnCommands(bar, WindowCommand::Place::DetailBar);
    if (m_desc.navigator) {
        bar->addSeparator();
        m_navigator = new RecordNavigator(m_set, m_desc.form, this);
        m_navigator->addTo(bar);
        m_commands << m_navigator->actions();
    }
    return bar;
}

QAction *ModuleFrame::command(const QString &objectName) const
{
    for (QAction *a : m_commands)
        if (a->objectName() == objectName)
            return a;
    return nullptr;
}

void ModuleFrame::updateCommands()
{
    const CommandStates c = commandStates(m_set->state(), UserRights::current().ops(m_desc.rightCode));
    const std::pair<const char *, bool> states[] = {
        {"ListNew", c.listNew},         {"ListModify", c.listModify},     {"ListDelete", c.listDelete},
        {"ListRefresh", c.listRefresh}, {"ListQuery", c.listQuery},       {"ListPrint", c.listPrint},
        {"DetailNew", c.detailNew},     {"DetailSave", c.detailSave},     {"DetailDelete", c.detailDelete},
        {"DetailPrint", c.detailPrint}, {"DetailQuery", c.detailQuery || m_desc.detailQueryAlways},
        {"DetailCancel", c.detailCancel},
    };
    for (const auto &[name, on] : states)
        command(QString::fromLatin1(name))->setEnabled(on);
    for (const auto &[action, own] : std::as_const(m_own))
        action->setEnabled(!own.enabled || own.enabled(commandContext(m_set, m_desc.rightCode, own)));
    if (m_navigator)
        m_navigator->update();
    if (m_form)
        m_form->setEditable(Form::userMayChange(m_set, m_desc.rightCode));
    for (SubPage *p : std::as_const(m_subPageList))
        p->updateCommands();
}

const TableRules *ModuleFrame::rules() const
{
    return m_set->table() ? TdmMain::instance()->rules(m_set->table()->name()) : nullptr;
}

SubPage *ModuleFrame::subPage(const QString &dataset) const
{
    for (SubPage *p : m_subPageList)
        if (p->description().dataset.compare(dataset, Qt::CaseInsensitive) == 0)
            return p;
    return nullptr;
}

void ModuleFrame::open()
{
    openSets();
    updateCommands();
}

void ModuleFrame::showFolder()
{
    const ModuleDesc::FolderRule &f = m_desc.folder;
    if (!f.family)
        return;
    QString folder = f.family();
    if (f.record && m_set->isActive() && !m_set->isEmpty() && m_set->currentRow() >= 0) {
        const QString code = (f.typedCode ? m_set->value(f.codeField) : m_set->storedValue(f.codeField)).toString();
        if (!code.isEmpty())
            folder = f.record(code);
    }
    emit folderChosen(folder);
}

bool ModuleFrame::openSets()
{
    if (!m_set->isActive() && !m_set->open()) {
        Prompts::instance().warn(m_set->lastError());
        return false;
    }
    for (SubPage *p : std::as_const(m_subPageList))
        if (p->description().followsModule && !p->dataset()->isActive() && !p->dataset()->open())
            Prompts::instance().warn(p->dataset()->lastError());
    return true;
}

void ModuleFrame::showEvent(QShowEvent *event)
{
    updateCommands();
    QWidget::showEvent(event);
}

QWidget *ModuleFrame::listPage() const { return m_pages->widget(0); }
QWidget *ModuleFrame::detailPage() const { return m_pages->widget(1); }
bool ModuleFrame::showingDetail() const { return m_pages->currentIndex() == 1; }
void ModuleFrame::showList() { m_pages->setCurrentIndex(0); }
void ModuleFrame::showDetail() { m_pages->setCurrentIndex(1); }

void ModuleFrame::addSubPage(const QString &title, QWidget *page)
{
    m_subPages->addTab(page, title);
    m_subPages->setVisible(true);
}

void ModuleFrame::focusField(const QString &field)
{
    QWidget *w = m_form ? m_form->widget(field) : nullptr;
    if (!w)
        w = m_binder->widgetFor(field);
    if (w) {
        // The field may sit on a page that is not shown.
        showDetail();
        w->setFocus(Qt::OtherFocusReason);
    }
}

bool ModuleFrame::log(const QString &command) const
{
    return logCommand(m_desc.logPrefix + QLatin1Char('-') + command);
}

void ModuleFrame::listNew()
{
    if (!log(QStringLiteral("新增")))
        return;
    if (!beginNewRecord(m_set))
        return;
    afterNew();
    emit detailOpened();
    focusField(m_desc.keyField);
}

void ModuleFrame::listModify()
{
    if (!log(QStringLiteral("修改")))
        return;
    // Nothing to change yet: the user meant to begin the first row.
    const bool fresh = m_set->isEmpty();
    if (fresh ? !beginNewRecord(m_set) : !m_set->edit()) {
        if (!fresh)
            Prompts::instance().warn(m_set->lastError());
        return;
    }
    if (fresh)
        afterNew();
    else
        afterModify();
    emit detailOpened();
    focusField(m_desc.keyField);
}

void ModuleFrame::deleteRecord()
{
    if (!log(QStringLiteral("删除")))
        return;
    if (m_set->isEmpty() || m_set->currentRow() < 0)
        return;
    const bool fresh = m_set->state() == Dataset::State::Insert;
    deleteCurrentRecord(m_set, rules(), m_desc.deleteQuestion);
    if (fresh)
        afterCancel();
    else
        rowChosen();
}

void ModuleFrame::listRefresh()
{
    if (!log(QStringLiteral("刷新")))
        return;
    const bool ok = m_set->isActive() ? m_set->refresh() : m_set->open();
    if (!ok)
        Prompts::instance().warn(m_set->lastError());
    for (SubPage *p : std::as_const(m_subPageList))
        if (p->description().followsModule)
            p->runRefresh();
    afterRefresh();
}

void ModuleFrame::queryRecords()
{
    if (!log(QStringLiteral("查询")))
        return;
    openQuery();
}

void ModuleFrame::listPrint()
{
    if (!log(QStringLiteral("打印")))
        return;
    print(m_set, m_desc.listReport, this);
}

void ModuleFrame::detailNew()
{
    listNew();
}

void ModuleFrame::detailPrint()
{
    if (!log(QStringLiteral("打印")))
        return;
    Dataset *data = m_set;
    if (!m_desc.detailReportSet.isEmpty())
        if (TdmMain *dm = TdmMain::instance())
            data = dm->dataset(m_desc.detailReportSet);
    print(data, m_desc.detailReport, this);
}

void ModuleFrame::detailCancel()
{
    m_set->cancel();
    m_binder->refresh();
    afterCancel();
}

void ModuleFrame::detailSave()
{
    const QString &prefix = m_desc.saveLogPrefix.isEmpty() ? m_desc.logPrefix : m_desc.saveLogPrefix;
    if (!logCommand(prefix + QStringLiteral("-保存")))
        return;
    if (!runSaveChecks())
        return;
    beforeStore();
    if (storeRow())
        afterStore();
}

bool ModuleFrame::runSaveChecks()
{
    const TableRules *r = rules();
    if (r && m_form && !m_form->checkRequired(r->required, [this](QWidget *w) {
            showDetail();
            w->setFocus(Qt::OtherFocusReason);
        }))
        return false;
    if (r && m_set->isEditing()) {
        const HookResult check = r->runSaveChecks(*m_set);
        if (check.kind == HookResult::Refuse) {
            Prompts::instance().warn(check.message);
            focusField(check.field);
            return false;
        }
    }
    return checkSave();
}

bool ModuleFrame::storeRow()
{
    return storeCurrentRecord(m_set, [this](const QString &field) { focusField(field); });
}
