#include "tools/folderchooser.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
// The mounted volumes play the part of drives.
QStringList driveRoots()
{
    QStringList roots{QDir::rootPath()};
    for (const QStorageInfo &s : QStorageInfo::mountedVolumes())
        if (s.isValid() && s.isReady() && !roots.contains(s.rootPath()))
            roots << s.rootPath();
    roots.sort();
    return roots;
}

QString driveOf(const QString &path, const QStringList &roots)
{
    QString best = QDir::rootPath();
    for (const QString &r : roots) {
        const QString withSlash = r.endsWith(QLatin1Char('/')) ? r : r + QLatin1Char('/');
        if ((path == r || path.startsWith(withSlash)) && r.size() > best.size())
            best = r;
    }
    return best;
}
} // namespace

FolderChooser::FolderChooser(QWidget *parent) : QWidget(parent)
{
    m_drives = new QComboBox(this);
    m_drives->setObjectName(QStringLiteral("DriveComboBox"));
    m_drives->addItems(driveRoots());
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QDir::rootPath());
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("DirectoryTree"));
    m_tree->setModel(m_model);
    m_tree->setHeaderHidden(true);
    for (int c = 1; c < m_model->columnCount(); ++c)
        m_tree->hideColumn(c);
    m_tree->setToolTip(QStringLiteral("双击选择文件目录"));
    m_tree->setExpandsOnDoubleClick(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_drives);
    layout->addWidget(m_tree);

    connect(m_tree, &QTreeView::doubleClicked, this, [this](const QModelIndex &i) {
        m_tree->expand(i);
        emit folderChosen(m_model->filePath(i));
    });
    connect(m_drives, &QComboBox::activated, this, [this](int i) {
        const QString root = m_drives->itemText(i);
        showFolder(root);
        emit folderChosen(root);
    });
}

void FolderChooser::showFolder(const QString &path)
{
    QStringList roots;
    for (int i = 0; i < m_drives->count(); ++i)
        roots << m_drives->itemText(i);
    const QString drive = driveOf(QDir(path).absolutePath(), roots);
    m_drives->setCurrentText(drive);
    m_tree->setRootIndex(m_model->index(drive));
    const QModelIndex i = m_model->index(path);
    m_tree->setCurrentIndex(i);
    m_tree->scrollTo(i);
}
