#pragma once

#include <QStyledItemDelegate>

namespace kora {

// Draws a selected cell that has a text colour of its own in that colour, on
// a pale selection, instead of the selection's usual colours: a row drawn red
// stays recognisable while it is selected. While the grid has the keyboard
// focus its current row is outlined, so the agent sees where keys will act.
class ColouredSelectionDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace kora
