#include "widgets/RememberedColumns.h"

#include "widgets/Preferences.h"

#include <QAction>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableView>

#include <algorithm>
#include <utility>
#include <vector>

namespace kora {

namespace {

QString headerText(const QTableView* grid, int column)
{
    return grid->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

} // namespace

RememberedColumns::RememberedColumns(QTableView* grid, int firstOptional, const QString& key)
    : QObject(grid), m_grid(grid), m_firstOptional(firstOptional), m_key(key)
{
    QHeaderView* header = grid->horizontalHeader();
    header->setSectionsMovable(true);
    header->setContextMenuPolicy(Qt::ActionsContextMenu);
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (int column = firstOptional; column < grid->model()->columnCount(); ++column) {
        grid->setColumnHidden(column, true);
        auto* action = new QAction(QStringLiteral("Show ") + headerText(grid, column), grid);
        action->setObjectName(QStringLiteral("ShowColumn%1").arg(column));
        action->setCheckable(true);
        connect(action, &QAction::toggled, this,
                [this, column](bool shown) { showColumn(column, shown); });
        header->addAction(action);
        grid->addAction(action);
    }
    restore();
    // Widths change many times a second while a column is dragged wider: they
    // are kept once the dragging pauses, and by save() when the grid closes.
    m_pendingSave.setSingleShot(true);
    m_pendingSave.setInterval(500);
    connect(&m_pendingSave, &QTimer::timeout, this, &RememberedColumns::save);
    connect(header, &QHeaderView::sectionResized, &m_pendingSave, qOverload<>(&QTimer::start));
    connect(header, &QHeaderView::sectionMoved, this, &RememberedColumns::save);
}

void RememberedColumns::showColumn(int column, bool shown)
{
    applyShown(column, shown);
    // A column chosen from the menu is as wide as the rows in view need.
    if (shown)
        m_grid->resizeColumnToContents(column);
    save();
}

void RememberedColumns::applyShown(int column, bool shown)
{
    if (column < m_firstOptional || column >= m_grid->model()->columnCount())
        return;
    m_grid->setColumnHidden(column, !shown);
    for (QAction* action : m_grid->actions())
        if (action->objectName() == QStringLiteral("ShowColumn%1").arg(column)) {
            const QSignalBlocker quiet(action);
            action->setChecked(shown);
        }
}

// Each column is kept as "header<TAB>visual position<TAB>width<TAB>shown".
void RememberedColumns::save()
{
    m_pendingSave.stop();
    const QHeaderView* header = m_grid->horizontalHeader();
    QStringList columns;
    for (int column = 0; column < m_grid->model()->columnCount(); ++column)
        columns << QStringLiteral("%1\t%2\t%3\t%4")
                       .arg(headerText(m_grid, column))
                       .arg(header->visualIndex(column))
                       .arg(header->sectionSize(column))
                       .arg(m_grid->isColumnHidden(column) ? 0 : 1);
    Preferences::setValue(m_key, columns);
}

void RememberedColumns::restore()
{
    // Saved columns are found by their headers, so a list saved before a
    // column was added still brings back the others; new ones follow them.
    QHeaderView* header = m_grid->horizontalHeader();
    const int count = m_grid->model()->columnCount();
    std::vector<std::pair<int, int>> saved; // visual position, column
    for (const QString& entry : Preferences::value(m_key).toStringList()) {
        const QStringList parts = entry.split(QLatin1Char('\t'));
        int column = 0;
        while (column < count && headerText(m_grid, column) != parts.value(0))
            ++column;
        if (parts.size() != 4 || column == count)
            continue;
        saved.emplace_back(parts[1].toInt(), column);
        if (header->sectionResizeMode(column) == QHeaderView::Interactive && parts[2].toInt() > 0)
            header->resizeSection(column, parts[2].toInt());
        applyShown(column, parts[3] == QLatin1String("1"));
    }
    std::sort(saved.begin(), saved.end());
    std::vector<int> order;
    for (const auto& [position, column] : saved)
        order.push_back(column);
    for (int visual = 0; visual < count; ++visual)
        if (std::find(order.begin(), order.end(), header->logicalIndex(visual)) == order.end())
            order.push_back(header->logicalIndex(visual));
    for (int visual = 0; visual < count; ++visual)
        header->moveSection(header->visualIndex(order[static_cast<size_t>(visual)]), visual);
}

} // namespace kora
