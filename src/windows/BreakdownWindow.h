#pragma once

#include "lookup/LookupStatement.h"
#include "results/Breakdown.h"

#include <QDialog>

#include <array>
#include <optional>

class QBarSet;
class QChartView;
class QLabel;
class QStandardItemModel;
class QTabWidget;
class QTableView;

namespace kora {

class Database;

// The companies of a result counted by county, SIC group, mod band and
// expiration month, each as a table sorted by its key beside a bar chart.
// A grouping is counted when its page is first shown; Copy Table puts the
// shown table on the clipboard as text, one group a line.
class BreakdownWindow : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kGroupings = 4;

    // title: the caption of the result's tab.
    BreakdownWindow(Database& db, LookupStatement lookup, const QString& title,
                    QWidget* parent = nullptr);

    void showGrouping(Breakdown::By by);
    Breakdown::By shownGrouping() const;
    // A grouping's table and bars; null before it was counted.
    const QStandardItemModel* table(Breakdown::By by) const;
    const QBarSet* bars(Breakdown::By by) const;
    // The shown table as Copy Table puts it on the clipboard.
    QString tableText() const;
    QString omittedText() const;

private:
    struct Page
    {
        QWidget* widget = nullptr;
        QTableView* grid = nullptr;
        QStandardItemModel* model = nullptr;
        QChartView* chart = nullptr;
        QBarSet* bars = nullptr;
        std::optional<Breakdown::Counts> counts;
    };

    QWidget* buildPage(Page& page);
    void countShown();
    void fill(Page& page, const Breakdown::Counts& counts);
    void copyTable();

    Database& m_db;
    LookupStatement m_lookup;
    std::array<Page, kGroupings> m_pages;
    QTabWidget* m_tabs;
    QLabel* m_omitted;
};

} // namespace kora
