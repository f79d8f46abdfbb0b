#pragma once

#include <QWidget>

class QComboBox;
class QFileSystemModel;
class QTreeView;

// The drive list and folder tree of the file dialogs. A double click in
// the tree (or another drive) chooses that folder.
class FolderChooser : public QWidget
{
    Q_OBJECT
public:
    explicit FolderChooser(QWidget *parent = nullptr);

    // Shows the folder in the tree without announcing it.
    void showFolder(const QString &path);

signals:
    void folderChosen(const QString &path);

private:
    QComboBox *m_drives;
    QFileSystemModel *m_model;
    QTreeView *m_tree;
};
