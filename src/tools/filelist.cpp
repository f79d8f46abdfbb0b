#include "tools/filelist.h"

#include "tools/foldermodel.h"
#include "ui/logcommand.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QStackedWidget>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

FileList::FileList(QWidget *parent) : QWidget(parent), m_model(new FolderModel(this))
{
    m_stack = new QStackedWidget(this);
    m_listView = new QListView(m_stack);
    m_detailView = new QTreeView(m_stack);
    m_listView->setObjectName(QStringLiteral("LvFiles"));
    m_detailView->setObjectName(QStringLiteral("TvFiles"));
    m_listView->setModel(m_model);
    m_detailView->setModel(m_model);
    m_detailView->setRootIsDecorated(false);
    m_detailView->setItemsExpandable(false);
    m_detailView->setUniformRowHeights(true);
    m_detailView->header()->setStretchLastSection(false);
    m_detailView->header()->setSectionResizeMode(FolderModel::Name, QHeaderView::Stretch);
    // One selection for both views, so switching the view keeps it.
    m_detailView->setSelectionModel(m_listView->selectionModel());
    const auto triggers = QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked;
    for (QAbstractItemView *v : {static_cast<QAbstractItemView *>(m_listView),
                                 static_cast<QAbstractItemView *>(m_detailView)}) {
        v->setSelectionMode(QAbstractItemView::ExtendedSelection);
        v->setEditTriggers(triggers);
        v->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(v, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &i) { activate(i.row()); });
        connect(v, &QWidget::customContextMenuRequested, this,
                [this, v](const QPoint &p) { showMenu(v->viewport()->mapToGlobal(p)); });
        m_stack->addWidget(v);
    }
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stack);
    buildMenu();
    setView(View::List);
}

void FileList::setFolder(const QString &path) { m_model->setFolder(path); }
QString FileList::folder() const { return m_model->folder(); }
void FileList::refresh() { m_model->refresh(); }

void FileList::setView(View v)
{
    m_view = v;
    if (v == View::Details) {
        m_stack->setCurrentWidget(m_detailView);
        return;
    }
    const bool large = v == View::LargeIcons;
    m_listView->setViewMode(large ? QListView::IconMode : QListView::ListMode);
    m_listView->setIconSize(large ? QSize(32, 32) : QSize(16, 16));
    // Small icons run in rows, the list in columns, as the desktop's own views do.
    m_listView->setFlow(v == View::List ? QListView::TopToBottom : QListView::LeftToRight);
    m_listView->setWrapping(true);
    m_listView->setResizeMode(QListView::Adjust);
    m_listView->setMovement(QListView::Static);
    m_listView->setGridSize(large ? QSize(84, 64) : QSize());
    m_listView->setWordWrap(large);
    m_stack->setCurrentWidget(m_listView);
}

QStringList FileList::selectedPaths() const
{
    QStringList l;
    for (const QModelIndex &i : m_listView->selectionModel()->selectedRows(FolderModel::Name))
        l << m_model->entry(i.row()).absoluteFilePath();
    l.sort();
    return l;
}

void FileList::activate(int row)
{
    const QFileInfo f = m_model->entry(row);
    if (f.fileName().isEmpty())
        return;
    if (f.isDir()) {
        setFolder(f.absoluteFilePath());
        emit folderChanged(folder());
        return;
    }
    // The desktop decides which program; none at all is not our error.
    QDesktopServices::openUrl(QUrl::fromLocalFile(f.absoluteFilePath()));
}

void FileList::buildMenu()
{
    m_menu = new QMenu(this);
    m_menu->addAction(QStringLiteral("排列方式..."))->setEnabled(false);
    const auto add = [this](const QString &caption, const QString &log, auto run) {
        QAction *a = m_menu->addAction(caption);
        connect(a, &QAction::triggered, this, [log, run] {
            if (logCommand(log))
                run();
        });
        return a;
    };
    // Always by name; the command rereads, so new names fall into place.
    add(QStringLiteral("按名称排列"), QStringLiteral("文件管理-按名称排列"), [this] { refresh(); });
    m_menu->addSeparator();
    add(QStringLiteral("大图标"), QStringLiteral("文件管理-显示大图标"), [this] { setView(View::LargeIcons); });
    add(QStringLiteral("小图标"), QStringLiteral("文件管理-显示小图标"), [this] { setView(View::SmallIcons); });
    add(QStringLiteral("列表..."), QStringLiteral("文件管理-显示列表"), [this] { setView(View::List); });
    add(QStringLiteral("详细资料..."), QStringLiteral("文件管理-显示详细资料"), [this] { setView(View::Details); });
    m_menu->addSeparator();
    add(QStringLiteral("刷新"), QStringLiteral("文件管理-刷新"), [this] { refresh(); });
}

void FileList::showMenu(const QPoint &globalPos)
{
    m_menu->popup(globalPos);
}
