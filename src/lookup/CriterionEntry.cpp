#include "lookup/CriterionEntry.h"

#include "base/Blanks.h"
#include "lookup/CriterionRules.h"
#include "lookup/FieldCatalogue.h"

#include <cstdio>

namespace kora {

namespace {

using Field = FieldCatalogue::Position;

// MMYY of the month three months after the given one.
std::string threeMonthsOn(int year, int month)
{
    const int later = month + 2; // zero-based month three months on
    char text[8];
    std::snprintf(text, sizeof text, "%02d%02d", later % 12 + 1, (year + later / 12) % 100);
    return text;
}

} // namespace

CriterionEntry::Range CriterionEntry::startingRange(int position, int year, int month)
{
    switch (position) {
    case Field::ExpirationDate:
        return {"0101", "1231"};
    case Field::ExperienceMod:
        return {"0.000", "9.999"};
    case Field::MeritClass:
    case Field::LastUpdate:
        return {"", "", false};
    case Field::NjArOnly:
        return {"0795", threeMonthsOn(year, month)};
    case Field::IssueYear:
        return {std::to_string(year), std::to_string(year)};
    case Field::FollowUpDue:
        return {"-999", "0"};
    default:
        return {};
    }
}

CriterionEntry::Range CriterionEntry::afterPick(int position, const Range& typed,
                                                const std::string& code)
{
    Range range = typed;
    const bool wholeGroup = position == Field::SicCode && code.size() >= 2 &&
                            code.compare(code.size() - 2, 2, "00") == 0;
    const std::string pickedEnd = wholeGroup ? CriterionRules::sicGroupEnd(code) : code;
    if (trimBlanks(range.from).empty()) {
        range.from = code;
        if (wholeGroup)
            range.thru = pickedEnd;
    } else {
        range.thru = pickedEnd;
    }
    return range;
}

} // namespace kora
