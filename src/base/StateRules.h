#pragma once

#include <array>
#include <string_view>

namespace kora {

// What differs between the state databases, in one place.
class StateRules
{
public:
    // New York's file has its own record layouts, the ADDRESSES table, the
    // INTERSTATE and REVISED marks, and anniversary dates instead of expirations.
    static bool isNewYork(std::string_view state) { return state == "NY"; }
    // New Jersey's file carries the assigned-risk columns (NJAR, the premiums,
    // the plan codes), shown and searched only there.
    static bool hasAssignedRisk(std::string_view state) { return state == "NJ"; }
    // Those columns, in the order the export writes them.
    static constexpr std::array<const char*, 6> kAssignedRiskFields = {
        "NJPPAP", "NJCCPAP", "NJAR", "ARESTPREM", "ARTOTPREM", "ARTOTLOSS"};
    // The PM and DM databases rate by merit class instead of by mod.
    static bool hasMeritClasses(std::string_view state) { return state == "PM" || state == "DM"; }
};

} // namespace kora
