#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QTableView;

namespace kora {

// The columns of a grid as the agent left them: columns from a given one on
// are offered in the context menu of the grid and of its header (hidden
// until chosen), columns may be dragged into another order and widened, and
// all of it is kept in the preferences under a key, read back when the grid
// is made again. Columns before the first optional one that start hidden
// stay hidden.
class RememberedColumns : public QObject
{
    Q_OBJECT

public:
    RememberedColumns(QTableView* grid, int firstOptional, const QString& key);

    // Shows or hides an optional column, as its menu entry does.
    void showColumn(int column, bool shown);
    // Keeps the columns as they are now; the grid's owner calls it before
    // closing the grid.
    void save();

private:
    // Shows or hides an optional column and ticks its menu entry to match.
    void applyShown(int column, bool shown);
    void restore();

    QTableView* m_grid;
    int m_firstOptional;
    QString m_key;
    QTimer m_pendingSave;
};

} // namespace kora
