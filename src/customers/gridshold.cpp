#include "customers/gridshold.h"

#include "data/dataset.h"
#include "ui/datagrid.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QTreeView>

GridsHeld::GridsHeld(Dataset *set)
{
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget *w : widgets) {
        auto *grid = qobject_cast<DataGrid *>(w);
        if (!grid || grid->dataset() != set || !grid->view()->selectionModel())
            continue;
        m_blockers.push_back(std::make_unique<QSignalBlocker>(grid->view()->selectionModel()));
        m_views.emplace_back(grid->view());
    }
}

GridsHeld::~GridsHeld()
{
    m_blockers.clear();
    for (const QPointer<QAbstractItemView> &v : m_views)
        if (v)
            v->viewport()->update();
}
