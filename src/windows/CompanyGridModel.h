#pragma once

#include "results/RowReader.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

namespace kora {

class OrderedCompanies;

// A read-only grid of companies that reads its rows as they are shown.
class CompanyGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum class Format
    {
        Text,
        Date,
        Mod // three decimals, right-aligned, as the mods beside the grid
    };
    struct Column
    {
        QString header;
        std::string field;
        Format format = Format::Text;
    };

    // redOmitted: rows whose Omit is "Y" are drawn in red.
    CompanyGridModel(OrderedCompanies& companies, std::vector<Column> columns, bool redOmitted,
                     QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Finds nothing: rows are read as they are shown, and a search through the
    // model would read every company of the state. The search-for box finds rows.
    QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits,
                          Qt::MatchFlags flags) const override;

    // From now on a load shows its first rows at once and the rest when a
    // thread of their own has read them.
    void readRestInBackground(RowReader::Open open, size_t firstRows);
    // Loads the companies of a query (rowid, search text) in display order.
    void load(const RowQuery& all, const std::string& firstRowsSql = {});
    // Adds the rest of the rows of the last load, waiting for them or only
    // when they have been read; emits counted() once every row is known.
    void takeRest(bool wait);
    // One company's row was changed in the database.
    void rowChanged(int row);
    // Any row may have changed in the database: rows are read again as they are shown.
    void refresh();
    // The sorted column's header is marked; -1 marks none.
    void setMarkedColumn(int column);
    // The column the grid is sorted and searched by; -1 before one is chosen.
    int markedColumn() const { return m_markedColumn; }

signals:
    void counted();

private:
    OrderedCompanies& m_companies;
    std::vector<Column> m_columns;
    bool m_redOmitted;
    int m_markedColumn = -1;
};

} // namespace kora
