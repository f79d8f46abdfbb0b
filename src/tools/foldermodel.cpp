#include "tools/foldermodel.h"

#include "data/format.h"
#include "ui/prompts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QLocale>
#include <QMetaObject>

#include <filesystem>
#include <system_error>

namespace {
const QString kSeparator = QStringLiteral("对不起，文件名称不能包含路径分隔符！");
const QString kExists = QStringLiteral("对不起，该文件已经存在！");

QFileIconProvider &icons()
{
    static QFileIconProvider provider;
    return provider;
}
} // namespace

FolderModel::FolderModel(QObject *parent) : QAbstractTableModel(parent) {}

void FolderModel::setFolder(const QString &path)
{
    QString dir = QDir(path).absolutePath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    m_folder = dir;
    refresh();
}

void FolderModel::refresh()
{
    beginResetModel();
    m_entries.clear();
    if (!m_folder.isEmpty())
        m_entries = QDir(m_folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot,
                                                 QDir::DirsFirst | QDir::Name | QDir::IgnoreCase);
    endResetModel();
}

QStringList FolderModel::names() const
{
    QStringList l;
    for (const QFileInfo &f : m_entries)
        l << f.fileName();
    return l;
}

int FolderModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int FolderModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FolderModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const QFileInfo &f = m_entries.at(index.row());
    if (role == Qt::DecorationRole && index.column() == Name)
        return icons().icon(f);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case Name:
        return f.fileName();
    case Size:
        return f.isDir() ? QString() : QLocale().formattedDataSize(f.size(), 0);
    case Type:
        return icons().type(f);
    case Modified:
        return Format::dateTime(f.lastModified());
    default:
        return {};
    }
}

QVariant FolderModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QString captions[ColumnCount] = {QStringLiteral("名称"), QStringLiteral("大小"),
                                                  QStringLiteral("类型"), QStringLiteral("修改日期")};
    return section >= 0 && section < ColumnCount ? captions[section] : QString();
}

Qt::ItemFlags FolderModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == Name)
        f |= Qt::ItemIsEditable;
    return f;
}

bool FolderModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != Name || role != Qt::EditRole)
        return false;
    return rename(index.row(), value.toString());
}

bool FolderModel::rename(int row, const QString &newName)
{
    if (row < 0 || row >= m_entries.size())
        return false;
    const QFileInfo old = m_entries.at(row);
    if (newName == old.fileName())
        return true;
    if (newName.isEmpty())
        return false; // an emptied name is taken as a change of mind
    Prompts &prompts = Prompts::instance();
    if (newName.contains(QLatin1Char('/')) || newName.contains(QLatin1Char('\\'))) {
        prompts.warn(kSeparator);
        return false;
    }
    const QString target = m_folder + newName;
    // rename(2) would silently replace an existing file or empty folder.
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
        prompts.warn(kExists);
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(old.absoluteFilePath()).toStdString()),
                            std::filesystem::path(QFile::encodeName(target).toStdString()), ec);
    if (ec) {
        prompts.warn(QString::fromLocal8Bit(ec.message()));
        return false;
    }
    m_entries[row] = QFileInfo(target);
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    // Sorted again once the editor has let go of the row.
    QMetaObject::invokeMethod(this, &FolderModel::refresh, Qt::QueuedConnection);
    return true;
}
