#pragma once

#include <QAbstractTableModel>
#include <QFileInfoList>
#include <QString>

// The entries of one folder, folders first, each group by name, read
// synchronously so that a command that just changed the folder sees its
// result at once. Names are editable in place; a rename that fails shows
// why and leaves the entry as it was.
class FolderModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Name, Size, Type, Modified, ColumnCount };

    explicit FolderModel(QObject *parent = nullptr);

    void setFolder(const QString &path); // rereads
    const QString &folder() const { return m_folder; } // absolute, trailing '/'
    void refresh();
    QFileInfo entry(int row) const { return m_entries.value(row); }
    QStringList names() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // Renames one entry of the folder; false (the reason shown) when the
    // name is refused or the system refuses.
    bool rename(int row, const QString &newName);

private:
    QString m_folder;
    QFileInfoList m_entries;
};
