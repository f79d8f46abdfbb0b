#include "ui/datagrid.h"

#include "data/apppaths.h"
#include "data/dataset.h"
#include "data/money.h"
#include "data/outputfile.h"
#include "ui/gridmodel.h"
#include "ui/grouppanel.h"
#include "ui/prompts.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QSettings>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A text cell that a spreadsheet would take for a formula (= + - @, or a
// TAB or CR before one) gets a leading ' so that it shows as the text it
// is and runs nothing.
QString neutralised(const QString &text)
{
    static const QString starts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && starts.contains(text.front()) ? QLatin1Char('\'') + text : text;
}

// A number as a spreadsheet reads one: money and other amounts without the
// currency sign and the thousands' commas of the grid, a minus sign first.
QString plainNumber(const QVariant &v, const QString &shown)
{
    if (v.userType() == qMetaTypeId<Money>())
        return v.value<Money>().toGrouped().remove(QLatin1Char(','));
    bool ok = false;
    v.toDouble(&ok);
    return ok ? v.toString() : shown;
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

DataGrid::DataGrid(Dataset *dataset, const QVector<DatasetModel::Column> &columns, const QString &name,
                   QWidget *parent)
    : QWidget(parent), m_name(name), m_saveTimer(new QTimer(this))
{
    setObjectName(name);
    // While a row goes, the selection model moves the view's current row to
    // a neighbour of its own accord. That is no choice of the user's: moving
    // the dataset with it would store the very row being given up. Known
    // before the models hear of it, hence connected before they exist; the
    // grid takes up the dataset's current row once the row is gone (below).
    connect(dataset, &Dataset::rowAboutToBeRemoved, this, [this] { m_rowsGoing = true; });
    m_source = new DatasetModel(dataset, this);
    m_source->setColumns(columns);
    m_model = new GridModel(m_source, this);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_panel = new GroupPanel(this);
    column->addWidget(m_panel);
    m_view = new QTreeView(this);
    m_view->setObjectName(QStringLiteral("DBGrid"));
    m_view->setModel(m_model);
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true); // keeps 100,000 rows cheap to lay out
    m_view->setAlternatingRowColors(true);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    m_view->setAllColumnsShowFocus(true);
    column->addWidget(m_view, 1);

    QHeaderView *header = m_view->header();
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(true);
    header->viewport()->installEventFilter(this);
    m_view->installEventFilter(this);
    // Sorting starts from a click, never by itself: a freshly opened large
    // list stays in the dataset's order and is read lazily.
    connect(header, &QHeaderView::sectionClicked, this, [this, header](int section) {
        const Qt::SortOrder order = m_model->sortColumn() == section && m_model->sortOrder() == Qt::AscendingOrder
                                        ? Qt::DescendingOrder
                                        : Qt::AscendingOrder;
        const int row = this->dataset() ? this->dataset()->currentRow() : -1;
        m_model->sort(section, order);
        header->setSortIndicatorShown(true);
        header->setSortIndicator(section, order);
        followDataset(row);
    });

    m_defaultState = header->saveState();
    restoreLayout();
    m_saveTimer->setSingleShot(true);
    m_saveTimer->setInterval(500);
    connect(m_saveTimer, &QTimer::timeout, this, &DataGrid::saveLayout);
    connect(header, &QHeaderView::sectionResized, m_saveTimer, qOverload<>(&QTimer::start));
    connect(header, &QHeaderView::sectionMoved, m_saveTimer, qOverload<>(&QTimer::start));

    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &DataGrid::rowPicked);
    // A click on a row the dataset could not move to is no click on a row:
    // the dataset stayed where it was.
    connect(m_view, &QTreeView::clicked, this, [this](const QModelIndex &i) {
        const int row = m_model->sourceRow(i);
        if (isCurrent(row))
            emit rowClicked(row);
    });
    connect(m_view, &QTreeView::doubleClicked, this, [this](const QModelIndex &i) {
        const int row = m_model->sourceRow(i);
        if (isCurrent(row))
            emit rowDoubleClicked(row);
    });
    connect(dataset, &Dataset::currentRowChanged, this, &DataGrid::followDataset);
    // After the models have taken the row out.
    connect(dataset, &Dataset::rowRemoved, this, [this] {
        m_rowsGoing = false;
        if (this->dataset())
            followDataset(this->dataset()->currentRow());
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_view->setRootIsDecorated(!m_model->groupFields().isEmpty());
        if (!m_model->groupFields().isEmpty())
            spanGroupHeadings({});
        if (this->dataset())
            followDataset(this->dataset()->currentRow());
    });
    connect(m_view, &QWidget::customContextMenuRequested, this, &DataGrid::showContextMenu);
    connect(m_panel, &GroupPanel::fieldDropped, this, [this](const QString &field) {
        QStringList g = groupFields();
        if (!g.contains(field, Qt::CaseInsensitive))
            groupBy(g << field);
    });
    connect(m_panel, &GroupPanel::fieldRemoved, this, [this](const QString &field) {
        QStringList g = groupFields();
        g.removeAll(field);
        groupBy(g);
    });
}

DataGrid::~DataGrid()
{
    if (m_saveTimer->isActive())
        saveLayout();
}

Dataset *DataGrid::dataset() const
{
    return m_source->dataset();
}

void DataGrid::setGroupPanelVisible(bool visible)
{
    m_panel->setVisible(visible);
}

void DataGrid::groupBy(const QStringList &fields)
{
    QStringList captions;
    for (const QString &f : fields)
        captions << m_source->headerData(m_source->columnOf(f), Qt::Horizontal).toString();
    m_panel->setGroups(fields, captions);
    m_model->setGroupFields(fields);
    // Opened groups show their rows at once; a user who wants an overview
    // collapses them.
    if (!fields.isEmpty() && m_model->rowCount() <= 200)
        m_view->expandAll();
}

QStringList DataGrid::groupFields() const
{
    return m_model->groupFields();
}

void DataGrid::sortBy(const QString &field, Qt::SortOrder order)
{
    const int c = m_source->columnOf(field);
    m_model->sort(c, order);
    m_view->header()->setSortIndicatorShown(c >= 0);
    m_view->header()->setSortIndicator(c, order);
}

void DataGrid::setStretchColumns(bool stretch)
{
    m_stretch = stretch;
    m_view->header()->setSectionResizeMode(stretch ? QHeaderView::Stretch : QHeaderView::Interactive);
}

void DataGrid::setColumnDelegate(const QString &field, QAbstractItemDelegate *delegate)
{
    const int column = m_source->columnOf(field);
    if (column < 0)
        return;
    delegate->setParent(m_view);
    m_view->setItemDelegateForColumn(column, delegate);
}

void DataGrid::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A shared set may stand on a row already when its window opens. Taken
    // up here rather than at once: scrolling to a row reads rows, and a
    // grid about to be sorted or grouped would read the wrong ones.
    if (Dataset *set = dataset(); set && !isCurrent(m_model->sourceRow(m_view->currentIndex())))
        followDataset(set->currentRow());
}

bool DataGrid::isCurrent(int row) const
{
    return row >= 0 && dataset() && row == dataset()->currentRow();
}

void DataGrid::rowPicked(const QModelIndex &index)
{
    if (m_following || m_moving || m_rowsGoing || !dataset())
        return;
    const int row = m_model->sourceRow(index);
    if (row >= 0 && row != dataset()->currentRow())
        moveDatasetTo(row);
}

void DataGrid::moveDatasetTo(int row)
{
    Dataset *set = dataset();
    bool refused = false;
    bool rowsWent = false;
    QString why;
    {
        const QScopedValueRollback<bool> moving(m_moving, true);
        const int from = set->currentRow();
        const int rows = set->rowCount();
        if (m_beforeLeaving)
            m_beforeLeaving();
        // A row given up above the target shifts it up.
        if (set->rowCount() < rows && row > from)
            row -= rows - set->rowCount();
        if (row >= 0 && row < set->rowCount() && row != set->currentRow()) {
            // Not a refusal when the store only dropped an empty new row
            // (the set then moves on): nothing to tell. The row refused may
            // be this set's own or a detail row hanging on it.
            if (!set->setCurrentRow(row) && !set->lastPostDropped() && !set->lastError().isEmpty()) {
                refused = true;
                why = set->lastError();
            }
        }
        rowsWent = set->rowCount() != rows;
    }
    followDataset(set->currentRow());
    if (!refused && !rowsWent)
        return;
    // A mouse press selects the row under the pointer after this returns,
    // and a row taken out moved the rows under it: once the event is done
    // the selection goes back onto the dataset's row, and only then does a
    // message box come up (not in the middle of the view's mouse handling).
    QTimer::singleShot(0, this, [this, why] {
        if (Dataset *d = dataset())
            followDataset(d->currentRow());
        if (!why.isEmpty())
            Prompts::instance().warn(why);
    });
}

void DataGrid::followDataset(int row)
{
    if (m_following || m_moving)
        return;
    const QModelIndex i = m_model->indexOfSourceRow(row);
    m_following = true;
    if (i.isValid()) {
        m_view->setCurrentIndex(i);
        m_view->scrollTo(i);
    } else {
        m_view->selectionModel()->clearSelection();
    }
    m_following = false;
}

QStringList DataGrid::visibleFields() const
{
    const QHeaderView *header = m_view->header();
    QStringList out;
    for (int v = 0; v < header->count(); ++v) {
        const int logical = header->logicalIndex(v);
        if (!header->isSectionHidden(logical))
            out << m_source->fieldAt(logical);
    }
    return out;
}

QString DataGrid::selectedText() const
{
    std::vector<int> rows;
    for (const QModelIndex &i : m_view->selectionModel()->selectedRows()) {
        const int r = m_model->sourceRow(i);
        if (r >= 0)
            rows.push_back(r);
    }
    const std::vector<int> order = m_model->rowsInOrder();
    std::vector<int> position(order.size());
    for (int i = 0; i < int(order.size()); ++i)
        position[order[i]] = i;
    std::sort(rows.begin(), rows.end(), [&](int a, int b) { return position[a] < position[b]; });
    QStringList lines;
    const QStringList fields = visibleFields();
    for (int r : rows) {
        QStringList cells;
        for (const QString &f : fields)
            cells << m_source->data(m_source->index(r, m_source->columnOf(f))).toString();
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

void DataGrid::copySelection() const
{
    QApplication::clipboard()->setText(selectedText());
}

QString DataGrid::writeCsv(const QString &path) const
{
    if (const QString refused = OutputFile::refusal(path); !refused.isEmpty())
        return refused;
    if (Dataset *set = dataset())
        set->loadAllRows(); // one read rather than a page per 200 rows
    QList<int> cols;
    for (const QString &f : visibleFields())
        cols << m_source->columnOf(f);
    QString out;
    QStringList cells;
    for (int c : cols)
        cells << csvField(m_source->headerData(c, Qt::Horizontal).toString());
    out += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    if (m_source->canFetchMore({}) && dataset())
        dataset()->fetchAll();
    for (int r : m_model->rowsInOrder()) {
        cells.clear();
        for (int c : cols) {
            const QModelIndex i = m_source->index(r, c);
            const QString shown = m_source->data(i).toString();
            // The grid right-aligns exactly the number and money columns.
            const bool number = m_source->data(i, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight;
            cells << csvField(number ? plainNumber(m_source->data(i, Qt::EditRole), shown) : neutralised(shown));
        }
        out += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return OutputFile::write(path, QByteArray("\xEF\xBB\xBF") + out.toUtf8());
}

void DataGrid::exportCsv()
{
    const QString path =
        Prompts::instance().saveFileName(QStringLiteral("导出Excel/CSV"), objectName().section(QLatin1Char('.'), 0, 0) + QStringLiteral(".csv"),
                                         QStringLiteral("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    const QString error = writeCsv(path);
    if (error.isEmpty())
        Prompts::instance().inform(QStringLiteral("导出成功！"));
    else
        Prompts::instance().warn(error);
}

QString DataGrid::settingsPath()
{
    return AppPaths::path(QStringLiteral("Layout.ini"));
}

void DataGrid::saveLayout() const
{
    QSettings s(settingsPath(), QSettings::IniFormat);
    s.setValue(m_name + QStringLiteral("/header"), m_view->header()->saveState());
}

void DataGrid::setDefaultColumnWidths(const QList<QPair<QString, int>> &widths)
{
    QHeaderView *header = m_view->header();
    for (const auto &[field, width] : widths) {
        const int column = m_model->sourceModel()->columnOf(field);
        if (column >= 0)
            header->resizeSection(column, width);
    }
    m_saveTimer->stop(); // not the user's own widths: nothing to keep
    m_defaultState = header->saveState();
    restoreLayout(); // widths the user set himself win
}

void DataGrid::fitColumnsToContents(int widest)
{
    QSettings s(settingsPath(), QSettings::IniFormat);
    if (s.contains(m_name + QStringLiteral("/header")))
        return;
    QHeaderView *header = m_view->header();
    for (int c = 0; c < header->count(); ++c) {
        if (header->isSectionHidden(c))
            continue;
        const int before = header->sectionSize(c);
        m_view->resizeColumnToContents(c); // its caption and the rows in view
        const int want = header->sectionSize(c);
        header->resizeSection(c, want < before ? before : std::min(want, std::max(widest, before)));
    }
    m_saveTimer->stop(); // not the user's own widths
}

void DataGrid::spanGroupHeadings(const QModelIndex &parent)
{
    // A group's heading ("币别: USD (3)") reads across the row instead of
    // being cut at the first column's edge.
    for (int r = 0; r < m_model->rowCount(parent); ++r) {
        const QModelIndex i = m_model->index(r, 0, parent);
        if (!m_model->hasChildren(i))
            continue;
        m_view->setFirstColumnSpanned(r, parent, true);
        spanGroupHeadings(i);
    }
}

void DataGrid::restoreLayout()
{
    QSettings s(settingsPath(), QSettings::IniFormat);
    const QByteArray state = s.value(m_name + QStringLiteral("/header")).toByteArray();
    if (!state.isEmpty())
        m_view->header()->restoreState(state);
}

void DataGrid::restoreDefaultLayout()
{
    m_saveTimer->stop();
    QSettings s(settingsPath(), QSettings::IniFormat);
    s.remove(m_name);
    QHeaderView *header = m_view->header();
    header->restoreState(m_defaultState);
    if (m_stretch)
        header->setSectionResizeMode(QHeaderView::Stretch);
    m_model->sort(-1);
    header->setSortIndicatorShown(false);
    m_saveTimer->stop();
}

void DataGrid::showContextMenu(const QPoint &pos)
{
    QMenu menu(this);
    menu.addAction(QStringLiteral("复制"), this, &DataGrid::copySelection);
    menu.addAction(QStringLiteral("导出Excel/CSV..."), this, &DataGrid::exportCsv);
    menu.addSeparator();
    menu.addAction(m_panel->isVisible() ? QStringLiteral("隐藏分组栏") : QStringLiteral("显示分组栏"), this,
                   [this] { setGroupPanelVisible(!m_panel->isVisible()); });
    if (!groupFields().isEmpty()) {
        menu.addAction(QStringLiteral("全部展开"), m_view, &QTreeView::expandAll);
        menu.addAction(QStringLiteral("全部折叠"), m_view, &QTreeView::collapseAll);
    }
    menu.addAction(QStringLiteral("恢复默认列设置"), this, &DataGrid::restoreDefaultLayout);
    menu.exec(m_view->viewport()->mapToGlobal(pos));
}

void DataGrid::startHeaderDrag(int section)
{
    QHeaderView *header = m_view->header();
    // The header was about to move the column; end that where it began.
    const QPoint origin(header->sectionViewportPosition(section) + 2, header->height() / 2);
    QMouseEvent release(QEvent::MouseButtonRelease, origin, header->viewport()->mapToGlobal(origin), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(header->viewport(), &release);
    auto *mime = new QMimeData;
    mime->setData(GroupPanel::kMimeType, m_source->fieldAt(section).toUtf8());
    auto *drag = new QDrag(header);
    drag->setMimeData(mime);
    const QRect r(header->sectionViewportPosition(section), 0, header->sectionSize(section), header->height());
    drag->setPixmap(header->viewport()->grab(r));
    drag->exec(Qt::MoveAction);
}

bool DataGrid::eventFilter(QObject *watched, QEvent *event)
{
    QHeaderView *header = m_view->header();
    if (watched == header->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto *e = static_cast<QMouseEvent *>(event);
            m_pressedSection = e->button() == Qt::LeftButton ? header->logicalIndexAt(e->position().toPoint()) : -1;
        } else if (event->type() == QEvent::MouseMove && m_pressedSection >= 0) {
            auto *e = static_cast<QMouseEvent *>(event);
            // Pulled up out of the header: towards the group panel.
            if ((e->buttons() & Qt::LeftButton) && e->position().y() < -6 && m_panel->isVisible()) {
                const int section = m_pressedSection;
                m_pressedSection = -1;
                startHeaderDrag(section);
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            m_pressedSection = -1;
        }
    } else if (watched == m_view && event->type() == QEvent::KeyPress) {
        if (static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
            copySelection();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
