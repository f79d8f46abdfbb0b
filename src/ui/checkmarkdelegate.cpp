#include "ui/checkmarkdelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

bool CheckMarkDelegate::ticked(const QModelIndex &index)
{
    const QVariant v = index.data(Qt::EditRole);
    if (v.typeId() == QMetaType::QString)
        return v.toString() == QStringLiteral("是") || v.toString() == QStringLiteral("1")
            || v.toString().compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0;
    return v.toBool();
}

void CheckMarkDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // The row's background and selection as every other cell has them.
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    cell.text.clear();
    QStyle *style = cell.widget ? cell.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);
    if (!index.data(Qt::EditRole).isValid() && index.data(Qt::DisplayRole).toString().isEmpty())
        return; // a group heading's row has no value to show
    QStyleOptionButton box;
    box.state = QStyle::State_Enabled | (ticked(index) ? QStyle::State_On : QStyle::State_Off);
    const QRect mark = style->subElementRect(QStyle::SE_CheckBoxIndicator, &box, cell.widget);
    box.rect = QRect(option.rect.x() + (option.rect.width() - mark.width()) / 2,
                     option.rect.y() + (option.rect.height() - mark.height()) / 2, mark.width(), mark.height());
    style->drawControl(QStyle::CE_CheckBox, &box, painter, cell.widget);
}
