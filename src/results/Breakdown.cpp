#include "results/Breakdown.h"

#include "base/Blanks.h"
#include "results/SicMajorGroups.h"

#include <array>

namespace kora {

namespace {

const char* const kNotOmitted = "COALESCE(Omit, '') <> 'Y'";

// The key and label expressions of a breakdown on PRIME.
struct Grouping
{
    const char* key;
    const char* label;
};

Grouping grouping(Breakdown::By by)
{
    switch (by) {
    case Breakdown::By::County:
        return {"COALESCE(COUNTY, '')", "MAX(COALESCE(COUNTYNAME, ''))"};
    case Breakdown::By::SicGroup:
        return {"COALESCE(SUBSTR(SIC, 1, 2), '')", "''"};
    case Breakdown::By::ModBand:
        return {"CASE WHEN [MOD] IS NULL THEN '0' WHEN [MOD] < 0.9 THEN '1' WHEN [MOD] < 1.0 "
                "THEN '2' WHEN [MOD] < 1.1 THEN '3' WHEN [MOD] < 1.25 THEN '4' ELSE '5' END",
                "''"};
    case Breakdown::By::ExpirationMonth:
        return {"COALESCE(SUBSTR(EXPIRE, 6, 2), '')", "''"};
    }
    return {"''", "''"};
}

std::string bandLabel(const std::string& key)
{
    static const std::array<const char*, 6> labels = {"no mod",    "below 0.90", "0.90-0.99",
                                                      "1.00-1.09", "1.10-1.24",  "1.25 and above"};
    const size_t band = key.empty() ? 0 : static_cast<size_t>(key[0] - '0');
    return band < labels.size() ? labels[band] : "";
}

std::string monthLabel(const std::string& key)
{
    static const std::array<const char*, 12> months = {
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", "December"};
    const int month = key.size() == 2 ? std::stoi(key) : 0;
    return month >= 1 && month <= 12 ? months[static_cast<size_t>(month - 1)] : "no date";
}

// The description of a SIC major group: that of its code ending in 00 in the
// state's SIC table, else the group's standard name.
std::string sicLabel(Database& db, const std::string& key)
{
    Statement row = db.prepare("SELECT [DESC] FROM SICCODES WHERE CODE = ?");
    row.readWholeResult().bind(1, key + "00");
    const std::string stated = row.step() ? withoutTrailingBlanks(row.column(0).toString()) : "";
    return stated.empty() ? SicMajorGroups::name(key) : stated;
}

} // namespace

bool Breakdown::byName(const std::string& name, By& by)
{
    if (name == "county")
        by = By::County;
    else if (name == "sic")
        by = By::SicGroup;
    else if (name == "modband")
        by = By::ModBand;
    else if (name == "month")
        by = By::ExpirationMonth;
    else
        return false;
    return true;
}

Breakdown::Counts Breakdown::count(Database& db, const LookupStatement& lookup, By by)
{
    const Grouping group = grouping(by);
    LookupStatement counted = lookup.selecting(std::string(group.key) + " AS GROUPKEY, " +
                                               group.label + " AS GROUPLABEL, COUNT(*)");
    counted.condition =
        lookup.condition.empty() ? kNotOmitted : "(" + lookup.condition + ") AND " + kNotOmitted;
    counted.orderBy = " GROUP BY GROUPKEY ORDER BY GROUPKEY";

    Counts counts;
    Statement rows = db.prepare(counted.text());
    while (rows.step()) {
        Group row{rows.column(0).toString(), withoutTrailingBlanks(rows.column(1).toString()),
                  rows.column(2).toInteger()};
        if (by == By::SicGroup)
            row.label = sicLabel(db, row.key);
        else if (by == By::ModBand)
            row.label = bandLabel(row.key);
        else if (by == By::ExpirationMonth)
            row.label = monthLabel(row.key);
        counts.groups.push_back(std::move(row));
    }

    LookupStatement omitted = lookup.selecting("COUNT(*)");
    omitted.condition =
        lookup.condition.empty() ? "Omit = 'Y'" : "(" + lookup.condition + ") AND Omit = 'Y'";
    omitted.orderBy.clear();
    Statement total = db.prepare(omitted.text());
    if (total.step())
        counts.omitted = total.column(0).toInteger();
    return counts;
}

std::string Breakdown::text(const std::vector<Group>& groups)
{
    std::string lines;
    for (const Group& group : groups)
        lines += group.key + '\t' + group.label + '\t' + std::to_string(group.count) + '\n';
    return lines;
}

} // namespace kora
