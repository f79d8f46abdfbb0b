#pragma once

#include <QList>
#include <QPair>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include "data/datasetmodel.h"

#include <functional>

class Dataset;
class GridModel;
class GroupPanel;
class QAbstractItemDelegate;
class QModelIndex;
class QTimer;
class QTreeView;

// The grid of every module list and sub-page: whole rows, sorting by a
// click on a header (Chinese by pinyin), the group panel above it into
// which the user drags column headers to group the rows, column widths
// and order remembered per grid, Ctrl+C and "导出Excel/CSV...".
//
// It follows the dataset's current row and moves it when the user picks
// a row. Moving stores the row in hand; when that is refused (another
// workstation changed it, a store hook or the database says no) the grid
// stays on the dataset's row, so that the row shown selected is always the
// row the commands act on, and says why once the click or key is done.
//
// The layout lives in Layout.ini under the application directory, the one
// settings file of the program, because it is each workstation's own taste
// and no business data.
class DataGrid : public QWidget
{
    Q_OBJECT
public:
    // name keys the remembered layout ("TfrmOperaters.List").
    DataGrid(Dataset *dataset, const QVector<DatasetModel::Column> &columns, const QString &name,
             QWidget *parent = nullptr);
    ~DataGrid() override;

    Dataset *dataset() const;
    GridModel *model() const { return m_model; }
    QTreeView *view() const { return m_view; }
    GroupPanel *groupPanel() const { return m_panel; }
    void setGroupPanelVisible(bool visible);
    // Every column takes an equal share of the width: for short lists of
    // a few columns. Kept when the user goes back to the default layout.
    void setStretchColumns(bool stretch);
    // Widths of a wide list's columns, so that more of it shows at once;
    // what the user set himself and "恢复默认列设置" still apply.
    void setDefaultColumnWidths(const QList<QPair<QString, int>> &widths);
    // Widens each column to its caption and the rows in view, up to widest
    // pixels (a long title), never narrower than it is; the list scrolls
    // sideways when they no longer fit. Widths the user set himself stay.
    void fitColumnsToContents(int widest = 260);
    // Draws the column of a field with a delegate of the owner's (a colour
    // swatch, ...); the grid's view takes it over.
    void setColumnDelegate(const QString &field, QAbstractItemDelegate *delegate);
    // Runs when the user picks another row, before the dataset is moved
    // there and so before it stores the row in hand: the owner may give
    // that row up instead (cancel()), e.g. a new row still without its code.
    //   grid->setBeforeLeavingRow([set] {
    //       if (set->state() == Dataset::State::Insert && set->isBlank("LevelID"))
    //           set->cancel();
    //   });
    void setBeforeLeavingRow(std::function<void()> hook) { m_beforeLeaving = std::move(hook); }

    void groupBy(const QStringList &fields); // outermost first; empty: flat
    QStringList groupFields() const;
    void sortBy(const QString &field, Qt::SortOrder order = Qt::AscendingOrder);

    // Visible columns in their current order, as fields and as captions.
    QStringList visibleFields() const;
    // Selected dataset rows in shown order, as tab-separated lines.
    QString selectedText() const;
    void copySelection() const; // to the clipboard
    // The visible columns in their current order, every row in shown
    // order, as UTF-8 with a byte-order mark (so spreadsheet programs on a
    // Chinese desktop read it right). Numbers and money stay numbers; a
    // text that a spreadsheet would run as a formula gets a leading '.
    // Empty on success, else the message for the user.
    QString writeCsv(const QString &path) const;
    void exportCsv(); // "导出Excel/CSV...": asks for the file through Prompts

    void saveLayout() const;
    void restoreDefaultLayout(); // "恢复默认列设置"
    static QString settingsPath();

signals:
    void rowClicked(int datasetRow);
    void rowDoubleClicked(int datasetRow);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void spanGroupHeadings(const QModelIndex &parent);
    void restoreLayout();
    void followDataset(int row);
    void rowPicked(const QModelIndex &index);
    void moveDatasetTo(int row);
    bool isCurrent(int row) const;
    void showContextMenu(const QPoint &pos);
    void startHeaderDrag(int section);

    DatasetModel *m_source;
    GridModel *m_model;
    QTreeView *m_view;
    GroupPanel *m_panel;
    QString m_name;
    QByteArray m_defaultState;
    QTimer *m_saveTimer;
    int m_pressedSection = -1;
    std::function<void()> m_beforeLeaving;
    bool m_stretch = false;
    bool m_following = false; // the view is being put on the dataset's row
    bool m_moving = false;    // the grid is moving the dataset
    bool m_rowsGoing = false; // the dataset is taking rows out
};
