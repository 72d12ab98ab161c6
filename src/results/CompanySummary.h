#pragma once

#include "results/CompanyRow.h"
#include "results/ResultListData.h"

#include <string>

namespace kora {

// What the result list shows of the selected company: the address summary,
// the contact boxes with the user's own values winning, and the flags.
class CompanySummary
{
public:
    // The all-companies tab and the lookup tabs differ in small ways.
    enum class Tab
    {
        AllCompanies,
        Lookup
    };

    struct Contacts
    {
        std::string phone;
        std::string fax;
        std::string contact;
        std::string title;
    };

    // Name, second name when filled, street, and "CITY, ST  ZIP-EXT", joined by CR LF.
    static std::string text(const CompanyRow& row, Tab tab);
    static Contacts contacts(const CompanyRow& row, Tab tab);
    // The summary box turns light yellow when User1 is exactly "!&" (all-companies tab).
    static bool addressOverridden(const CompanyRow& row);
    static bool assignedRisk(const CompanyRow& row, Tab tab, const std::string& state);
    // The mod trend under the summary: "Latest mod 1.046, +0.046 from the prior
    // mod, 3 years over 1.00"; the change falls with a minus sign (U+2212).
    // mods: newest first.
    static std::string modTrend(const std::vector<ResultListData::Mod>& mods);
    // The mark button names the action of its next click.
    static std::string markCaption(const CompanyRow& row);
};

} // namespace kora
