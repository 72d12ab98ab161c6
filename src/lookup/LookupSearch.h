#pragma once

#include "base/LookupMessage.h"
#include "lookup/GridColumn.h"
#include "lookup/LookupStatement.h"
#include "lookup/SQLPARAMETER.h"

#include <string>
#include <vector>

namespace kora {

class Database;

// The lookup side of the result list: the criteria of the lookup shown, the
// statement that selects its companies (CurSQL, without ORDER BY) and the
// record source, CurSQL with the ORDER BY of the sorted grid column.
class LookupSearch
{
public:
    // What SetUpSQL leaves to the window.
    struct SetUp
    {
        // CurSQL holds the lookup's statement: show the messages, then run
        // sortBy(GridColumn::Name). When false, show the messages and select tab 0.
        bool ready = false;
        std::vector<LookupMessage> messages;
    };

    // state: the open state database's code ("PA", "NJ", ...).
    explicit LookupSearch(std::string state);

    // Reads a lookup file and builds CurSQL from it. A lookup holding an NJ A/R
    // Only criterion is refused on every state but NJ; a file that cannot be
    // read or run (see LookupReader) is refused with its message. An empty
    // condition selects every company and tells "ALL RECORDS SELECTED". With
    // copySqlToClipboard the statement follows as a message of its own, and
    // the window puts CurSQL() on the clipboard.
    SetUp SetUpSQL(const std::string& lookupPath, bool copySqlToClipboard);

    // Sorts by a result grid column: File, Name and Expires set the record
    // source to CurSQL with their ORDER BY; other columns keep the order last
    // chosen. Returns whether the record source is to be run again: false for
    // Effective (not sortable) and before any lookup was set up.
    bool sortBy(GridColumn column);

    const std::vector<SQLPARAMETER>& criteria() const { return m_criteria; }
    const std::string& CurSQL() const { return m_curSql; }
    // CurSQL with the ORDER BY of the sorted grid column, as text and in its parts.
    std::string recordSource() const { return m_curSql.empty() ? std::string() : m_source.text(); }
    const LookupStatement& source() const { return m_source; }

    // The number of companies CurSQL selects, counted without reading their rows.
    long long recordCount(Database& db) const;

    static LookupMessage newJerseyOnlyMessage();

private:
    SetUp refuse(const LookupMessage& message);

    std::string m_state;
    std::vector<SQLPARAMETER> m_criteria;
    std::string m_curSql;
    LookupStatement m_source;
};

} // namespace kora
