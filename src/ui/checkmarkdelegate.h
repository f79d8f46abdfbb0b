#pragma once

#include <QStyledItemDelegate>

// Draws a yes/no column of a grid as a check box, ticked for yes, and no
// text; read only like the rest of the grid.
class CheckMarkDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static bool ticked(const QModelIndex &index); // the stored value as yes/no

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
