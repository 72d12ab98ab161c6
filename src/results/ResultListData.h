#pragma once

#include "database/Database.h"
#include "lookup/LookupStatement.h"
#include "results/RowReader.h"

#include <string>
#include <vector>

namespace kora {

// What the result list reads from and writes to the state database besides
// the rows of its grids: the statements that order the grids, the Omit mark,
// a company's mods and the data version.
class ResultListData
{
public:
    // The three orders of the all-companies grid, after PRIME's indexes.
    enum class Order
    {
        File,  // PRIMARY
        Name,  // KEY2
        County // KEY3
    };

    // One mod of a company, dates as stored (YYYY-MM-DD).
    struct Mod
    {
        std::string issue;
        std::string effective;
        std::string expire;
        Value mod;
    };

    // The statements of a lookup's grid: all its rows, and where a quicker way
    // to its first rows may exist, a statement for them alone (else empty).
    // That statement's rows are the first rows of all when there are more of
    // them than the grid's first rows; fewer tell nothing.
    struct GridRows
    {
        RowQuery all;
        std::string first;
    };

    explicit ResultListData(Database& db) : m_db(db) {}

    // The grids' statements order equal keys by row id, so that their first
    // rows read alone are the first rows of all of them.
    // The row ids of every company in an order, with the text the search box compares.
    static RowQuery allCompaniesQuery(Order order);
    // The row ids of a lookup's companies in its order, with the text the search
    // box compares: FILE, NAME1 or Omit as stored, the expiration as MM/DD/YY.
    static RowQuery lookupRowsQuery(const LookupStatement& lookup, const std::string& searchField);

    // The grid of a lookup ordered by the search field's column; in name order
    // the first rows may come from a walk along the first names of the state.
    static GridRows lookupGridRows(const LookupStatement& lookup, const std::string& searchField);

    // Marks a company to be left out of output ("Y") or takes the mark away (" ").
    void setOmit(const Value& file, const Value& sequence, bool omit);
    // The company's mods, newest first.
    std::vector<Mod> mods(const Value& file, const Value& sequence);
    // The date of the last company load as MM/DD/YYYY; the stored text when it
    // is no date, empty when there is none or the table cannot be read.
    std::string dataVersion();

private:
    Database& m_db;
};

} // namespace kora
