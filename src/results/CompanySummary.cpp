#include "results/CompanySummary.h"

#include "base/Blanks.h"
#include "base/ExclamationTest.h"
#include "base/StateRules.h"
#include "results/ModHistory.h"

#include <cstdio>

namespace kora {

namespace {

// A text is filled when it compares above the given threshold ("!" or blanks
// followed by "!"), which counts texts of blanks as empty.
bool above(const Value& value, const std::string& threshold)
{
    return !value.isNull() && value.toString() > threshold;
}

std::string threeDecimals(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::string signedChange(double change)
{
    if (change > 0)
        return "+" + threeDecimals(change);
    if (change < 0)
        return "\u2212" + threeDecimals(-change);
    return threeDecimals(0);
}

} // namespace

std::string CompanySummary::text(const CompanyRow& row, Tab tab)
{
    std::string summary = withoutTrailingBlanks(row.text("NAME1")) + "\r\n";
    const std::string name2Threshold = tab == Tab::Lookup ? "          !" : "   !";
    if (above(row.field("NAME2"), name2Threshold))
        summary += withoutTrailingBlanks(row.text("NAME2")) + "\r\n";
    summary += row.text("STREET") + "\r\n";
    summary +=
        withoutTrailingBlanks(row.text("CITY")) + ", " + row.text("ST") + "  " + row.text("ZIP");
    if (passesExclamationTest(row.text("ZIPEXT")))
        summary += "-" + row.text("ZIPEXT");
    return summary;
}

CompanySummary::Contacts CompanySummary::contacts(const CompanyRow& row, Tab tab)
{
    // A user value wins when it is filled; on the all-companies tab a box left
    // holding only the blanks of its width gets the delivered value back.
    auto pick = [&](const UserOverride& field, size_t blankWidth) {
        const char* delivered = field.delivered;
        const char* user = field.user;
        std::string value = row.text(delivered);
        if (passesExclamationTest(row.text(user))) {
            value = row.text(user);
            if (tab == Tab::AllCompanies && value == std::string(blankWidth, ' '))
                value = row.text(delivered);
        }
        return value;
    };
    // kUserOverrides holds phone, fax, contact and title; the fax box is the narrow one.
    return {pick(kUserOverrides[0], 50), pick(kUserOverrides[1], 12), pick(kUserOverrides[2], 50),
            pick(kUserOverrides[3], 50)};
}

bool CompanySummary::addressOverridden(const CompanyRow& row)
{
    return row.text("User1") == "!&";
}

bool CompanySummary::assignedRisk(const CompanyRow& row, Tab tab, const std::string& state)
{
    if (tab == Tab::Lookup && !StateRules::hasAssignedRisk(state))
        return false;
    return row.field("NJAR").toDouble() >= 1;
}

std::string CompanySummary::modTrend(const std::vector<ResultListData::Mod>& mods)
{
    const ModHistory history(mods);
    const auto latest = history.latest();
    if (!latest)
        return "No mods on file";
    const auto change = history.change();
    const int years = history.yearsOver();
    return "Latest mod " + threeDecimals(*latest) + ", " +
           (change ? signedChange(*change) + " from the prior mod" : "no prior mod") + ", " +
           std::to_string(years) + (years == 1 ? " year" : " years") + " over 1.00";
}

std::string CompanySummary::markCaption(const CompanyRow& row)
{
    return row.text("Omit") == "Y" ? "Include" : "Exclude";
}

} // namespace kora
