#include "widgets/RowGrid.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

namespace kora {

QTableView* makeRowGrid(const char* name, QAbstractItemModel* model, QWidget* parent)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setModel(model);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->setWordWrap(false);
    return grid;
}

void sizeRowGridColumns(QTableView* grid, std::initializer_list<int> widths)
{
    constexpr int kNarrowestStretch = 100;
    QHeaderView* header = grid->horizontalHeader();
    int column = 0;
    int narrowest = kNarrowestStretch + grid->verticalScrollBar()->sizeHint().width() + 4;
    for (int width : widths) {
        narrowest += width;
        if (width == 0) {
            header->setSectionResizeMode(column, QHeaderView::Stretch);
        } else {
            header->setSectionResizeMode(column, QHeaderView::Interactive);
            grid->setColumnWidth(column, width);
        }
        ++column;
    }
    grid->setMinimumWidth(narrowest);
}

} // namespace kora
