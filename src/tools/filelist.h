#pragma once

#include <QWidget>

class FolderModel;
class QListView;
class QMenu;
class QModelIndex;
class QStackedWidget;
class QTreeView;

// The file list of the tools panel and of the file dialogs: one folder,
// sorted by name, several items selectable, names editable in place, in
// one of four views. A double click opens a folder in the list, or a file
// with the desktop's program for it. The right-click menu switches the
// view; its commands write their log lines first.
class FileList : public QWidget
{
    Q_OBJECT
public:
    enum class View { LargeIcons, SmallIcons, List, Details };

    explicit FileList(QWidget *parent = nullptr);

    void setFolder(const QString &path);
    QString folder() const;
    void refresh();
    void setView(View v);
    View view() const { return m_view; }

    FolderModel *model() const { return m_model; }
    QStringList selectedPaths() const;
    QMenu *contextMenu() const { return m_menu; }
    // What a double click on the entry of that row does.
    void activate(int row);

signals:
    void folderChanged(const QString &path); // a folder was opened from the list

private:
    void buildMenu();
    void showMenu(const QPoint &globalPos);

    FolderModel *m_model;
    QStackedWidget *m_stack;
    QListView *m_listView;
    QTreeView *m_detailView;
    QMenu *m_menu = nullptr;
    View m_view = View::List;
};
