#pragma once

#include <initializer_list>

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace kora {

// A read-only grid over a model, chosen a whole row at a time: no row headers,
// rows one line of text high, no word wrap, headers that do not light up.
QTableView* makeRowGrid(const char* name, QAbstractItemModel* model, QWidget* parent);

// Fixed widths for the short columns; the one column of width 0 takes the rest
// of the grid, so the grid never scrolls sideways. The grid is never narrower
// than its columns with a short stretching column.
void sizeRowGridColumns(QTableView* grid, std::initializer_list<int> widths);

} // namespace kora
