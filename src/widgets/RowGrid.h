#pragma once

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace kora {

// A read-only grid over a model, chosen a whole row at a time: no row headers,
// rows one line of text high, no word wrap, headers that do not light up.
QTableView* makeRowGrid(const char* name, QAbstractItemModel* model, QWidget* parent);

} // namespace kora
