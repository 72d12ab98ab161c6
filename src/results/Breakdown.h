#pragma once

#include "database/Database.h"
#include "lookup/LookupStatement.h"

#include <string>
#include <vector>

namespace kora {

// Counts of a lookup's companies by one of their traits, for prospecting at a
// glance. Companies marked Omit "Y" are counted apart, never in a group.
class Breakdown
{
public:
    enum class By
    {
        County,
        SicGroup, // the first two digits of the SIC code
        ModBand,
        ExpirationMonth,
    };

    struct Group
    {
        std::string key;
        std::string label;
        long long count;
    };

    struct Counts
    {
        std::vector<Group> groups; // ascending by key
        long long omitted = 0;
    };

    // "county", "sic", "modband" or "month"; false for any other name.
    static bool byName(const std::string& name, By& by);
    static Counts count(Database& db, const LookupStatement& lookup, By by);
    // One line per group: key, a tab, label, a tab, count.
    static std::string text(const std::vector<Group>& groups);
};

} // namespace kora
