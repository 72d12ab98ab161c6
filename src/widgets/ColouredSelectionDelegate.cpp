#include "widgets/ColouredSelectionDelegate.h"

#include <QHeaderView>
#include <QPainter>
#include <QTableView>

namespace kora {

void ColouredSelectionDelegate::initStyleOption(QStyleOptionViewItem* option,
                                                const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariant colour = index.data(Qt::ForegroundRole);
    if (!colour.canConvert<QBrush>())
        return;
    const QColor text = colour.value<QBrush>().color();
    option->palette.setColor(QPalette::HighlightedText, text);
    // The selection keeps its hue, lightened so the coloured text reads on it.
    option->palette.setColor(QPalette::Highlight,
                             option->palette.color(QPalette::Highlight).lighter(180));
}

void ColouredSelectionDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const auto* grid = qobject_cast<const QTableView*>(option.widget);
    if (!grid || !grid->hasFocus() || grid->currentIndex().row() != index.row())
        return;
    // The outline runs along the row's top and bottom, closed at its first and
    // last shown columns.
    const QHeaderView* header = grid->horizontalHeader();
    const int visual = header->visualIndex(index.column());
    bool first = true;
    bool last = true;
    for (int column = 0; column < header->count(); ++column) {
        if (header->isSectionHidden(column))
            continue;
        first = first && header->visualIndex(column) >= visual;
        last = last && header->visualIndex(column) <= visual;
    }
    painter->save();
    QPen pen(option.palette.color(QPalette::Active, QPalette::Highlight).darker(150));
    pen.setWidth(2);
    painter->setPen(pen);
    const QRect cell = option.rect.adjusted(1, 1, -1, -1);
    painter->drawLine(cell.topLeft(), cell.topRight());
    painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    if (first)
        painter->drawLine(cell.topLeft(), cell.bottomLeft());
    if (last)
        painter->drawLine(cell.topRight(), cell.bottomRight());
    painter->restore();
}

} // namespace kora
