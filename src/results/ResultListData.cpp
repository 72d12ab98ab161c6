#include "results/ResultListData.h"

#include "results/UserDataChanges.h"

#include "base/Blanks.h"
#include "base/CaseBlind.h"
#include "database/DbError.h"
#include "database/TableRecordSet.h"

#include <algorithm>
#include <string_view>

namespace kora {

RowQuery ResultListData::allCompaniesQuery(Order order)
{
    // In the order of an index: the engines read it without sorting.
    switch (order) {
    case Order::File:
        return {"SELECT rowid, FILE || SEQUENCE FROM PRIME ORDER BY FILE, SEQUENCE"};
    case Order::County:
        return {"SELECT rowid, CountySort FROM PRIME ORDER BY CountySort, rowid"};
    case Order::Name:
        break;
    }
    return {"SELECT rowid, NameSort FROM PRIME ORDER BY NameSort, rowid"};
}

RowQuery ResultListData::lookupRowsQuery(const LookupStatement& lookup,
                                         const std::string& searchField)
{
    const std::string key = searchField == "EXPIRE"
                                ? "substr(EXPIRE, 6, 2) || '/' || substr(EXPIRE, 9, 2) || '/' || "
                                  "substr(EXPIRE, 3, 2)"
                                : searchField;
    const std::string searchColumns = "rowid, " + key;
    LookupStatement rows = lookup.selecting(searchColumns);
    if (lookup.orderBy.empty())
        return {rows.text()};
    rows.orderBy += ", rowid";
    RowQuery query{rows.text()};
    // A lookup's order is a list of plain terms (QueryBuilder::orderBy); a
    // whole read orders its rows by them itself, taken as further columns.
    // A term that is the search text itself is not read twice: a lookup
    // ordered by name would otherwise carry every name twice.
    std::string columns = searchColumns;
    const std::string_view orderBy = lookup.orderBy;
    std::string_view terms = orderBy.substr(orderBy.find("ORDER BY ") + 9);
    int nextColumn = 2;
    while (!terms.empty()) {
        const size_t comma = terms.find(',');
        const std::string_view term = terms.substr(0, comma);
        terms = comma == std::string_view::npos ? std::string_view() : terms.substr(comma + 1);
        const std::string_view plain = trimBlanks(term);
        if (compareWithoutCase(plain, key) == 0) {
            query.sortColumns.push_back(1);
            continue;
        }
        columns += ", " + std::string(plain);
        query.sortColumns.push_back(nextColumn++);
    }
    rows = lookup.selecting(columns);
    rows.orderBy.clear();
    // As a table of its own the rows come as the engine finds them: a SELECT
    // of PRIME itself is read in row-id order (see SqlDialect), a sort.
    query.unorderedSql = "SELECT * FROM (" + rows.text() + ") AS ROWS";
    return query;
}

ResultListData::GridRows ResultListData::lookupGridRows(const LookupStatement& lookup,
                                                        const std::string& searchField)
{
    GridRows rows{lookupRowsQuery(lookup, searchField), {}};
    if (searchField != "NAME1" || lookup.condition.empty())
        return rows;
    // The first names of the state along the name index (NameSort holds the
    // characters of NAME1): when the condition holds for a screenful of them,
    // those are the lookup's first rows (equal names go by row id in both),
    // found without sorting all it selects.
    constexpr int kNamesWalked = 5000;
    // The names are chosen apart from the condition, whose own subqueries
    // an engine would otherwise be tempted to run once per name.
    // The class ranges are tested on each walked company's own class rows,
    // not by listing every company of the ranges first.
    rows.first = "SELECT rowid, NAME1 FROM PRIME WHERE rowid IN (SELECT rowid FROM PRIME ORDER BY "
                 "NameSort, rowid LIMIT " +
                 std::to_string(kNamesWalked) + ") AND (" + lookup.fewCompaniesCondition() +
                 ") ORDER BY NameSort, rowid";
    return rows;
}

void ResultListData::setOmit(const Value& file, const Value& sequence, bool omit)
{
    m_db.prepare("UPDATE PRIME SET Omit = ? WHERE FILE = ? AND SEQUENCE = ?")
        .bindAll({Value(omit ? "Y" : " "), file, sequence})
        .run();
    UserDataChanges::record();
}

std::vector<ResultListData::Mod> ResultListData::mods(const Value& file, const Value& sequence)
{
    Statement query = m_db.prepare("SELECT ISSUE, EFFECTIVE, EXPIRE, MOD FROM MODS WHERE FILE = ? "
                                   "AND SEQUENCE = ? ORDER BY EFFECTIVE DESC, EXPIRE DESC");
    query.readWholeResult().bind(1, file).bind(2, sequence);
    std::vector<Mod> mods;
    while (query.step())
        mods.push_back({query.column(0).toString(), query.column(1).toString(),
                        query.column(2).toString(), query.column(3)});
    return mods;
}

std::string ResultListData::dataVersion()
{
    try {
        TableRecordSet version(m_db, "VERSION");
        version.setIndex("PRIMARY");
        version.seek("=", {Value("1")});
        const std::string date = version.noMatch() ? "" : version.field("Version").toString();
        if (date.size() != 10)
            return date;
        return date.substr(5, 2) + "/" + date.substr(8, 2) + "/" + date.substr(0, 4);
    } catch (const DbError&) {
        return {};
    }
}

} // namespace kora
