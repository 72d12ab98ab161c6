#include "results/ResultListData.h"

#include "results/UserDataChanges.h"

#include "database/DbError.h"
#include "database/TableRecordSet.h"

namespace kora {

std::string ResultListData::allCompaniesQuery(Order order)
{
    switch (order) {
    case Order::File:
        return "SELECT rowid, FILE || SEQUENCE FROM PRIME ORDER BY FILE, SEQUENCE";
    case Order::County:
        return "SELECT rowid, CountySort FROM PRIME ORDER BY CountySort";
    case Order::Name:
        break;
    }
    return "SELECT rowid, NameSort FROM PRIME ORDER BY NameSort";
}

std::string ResultListData::lookupRowsQuery(const LookupStatement& lookup,
                                            const std::string& searchField)
{
    const std::string key = searchField == "EXPIRE"
                                ? "substr(EXPIRE, 6, 2) || '/' || substr(EXPIRE, 9, 2) || '/' || "
                                  "substr(EXPIRE, 3, 2)"
                                : searchField;
    return lookup.selecting("rowid, " + key).text();
}

ResultListData::GridRows ResultListData::lookupGridRows(const LookupStatement& lookup,
                                                        const std::string& searchField)
{
    if (searchField != "NAME1")
        return {lookupRowsQuery(lookup, searchField), {}};
    // Equal names go by row id, so both statements give one order.
    LookupStatement byName = lookup.selecting("rowid, NAME1");
    byName.orderBy = " ORDER BY NAME1, rowid";
    GridRows rows{byName.text(), {}};
    // A sample of the first companies stored; a condition that holds for one
    // in fifty of them finds a screenful within a few thousand names.
    constexpr int kSample = 5000;
    constexpr int kMatchesToWalk = kSample / 50;
    if (lookup.condition.empty())
        return rows;
    Statement sample =
        m_db.prepare("SELECT COUNT(*) FROM (SELECT * FROM PRIME LIMIT " + std::to_string(kSample) +
                     ") AS PRIME WHERE " + lookup.condition);
    if (!sample.step() || sample.column(0).toInteger() < kMatchesToWalk)
        return rows;
    // Inside CASE the condition offers the engine no index of its own to
    // start from, which leaves the walk along the names.
    byName.condition = "CASE WHEN (" + lookup.condition + ") THEN 1 ELSE 0 END = 1";
    byName.orderBy = " ORDER BY NameSort, rowid";
    rows.first = byName.text();
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
    query.bind(1, file).bind(2, sequence);
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
