#include "widgets/ColouredSelectionDelegate.h"

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

} // namespace kora
