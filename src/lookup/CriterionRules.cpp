#include "lookup/CriterionRules.h"

#include "base/Blanks.h"
#include "lookup/FieldCatalogue.h"
#include "lookup/LookupNumber.h"

#include <algorithm>
#include <cctype>

namespace kora {

namespace {

using Field = FieldCatalogue::Position;

const CriterionRules::PickList kPickLists[] = {
    {"COUNTY", "CODE", "COUNTY", "Code", "County"},
    {"CLASSLIST", "CLASS", "DESC", "Class", "Description"},
    {"SICCODES", "CODE", "DESC", "SIC", "Description"},
    {"EMPLOYEES", "CODE", "DESCRIPTION", "Code", "Employees"},
    {"SALES", "CODE", "DESCRIPTION", "Code", "Sales"},
    {"MERIT", "CODE", "DESCRIPTION", "Code", "Merit Class"},
};

const char* const kHints[FieldCatalogue::kCount] = {
    "Month and day as MMDD, 0101 to 1231.",
    "Mods from 0.000 to 9.999.",
    "Employer names from From through Thru, in alphabetical order.",
    "Zip codes; a From shorter than five digits is filled with leading zeros.",
    "Click a county for From, then one for Thru, and Accept.",
    "Click a class code for From, then one for Thru, and Accept.",
    "Click a SIC code for From, then one for Thru, and Accept. A code ending in 00 takes its "
    "whole group.",
    "Pick an employee band from the From box's list, then one from Thru's, and Accept.",
    "Pick a sales band from the From box's list, then one from Thru's, and Accept.",
    "Pick a merit class from the From box's list and Accept.",
    "Telephone area codes.",
    "This field takes no values.",
    "Assigned-risk months as MMYY.",
    "File numbers from From through Thru.",
    "User field texts from From through Thru.",
    "User field texts from From through Thru.",
    "User field texts from From through Thru.",
    "Issue years in four digits.",
    "Days from today, 0 to 366: 90 to 120 finds the renewals to call about now.",
    "Newest mod minus the one before, -9.999 to 9.999: 0.001 to 9.999 finds rising mods.",
    "Newest mods above 1.00 in a row, 0 to 99.",
    "Pick New Company, New Mod or Any Change from the From box's list: what the latest company "
    "load found.",
    "Days from today of the follow-up, negative for overdue: -999 to 0 finds every follow-up "
    "due by today.",
};

bool isFourDigits(const std::string& text)
{
    return text.size() == 4 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isBand(const std::string& text)
{
    return text.size() == 1 && text[0] >= '0' && text[0] <= '9';
}

// The message when the values are not of the field's form; empty when they are.
std::string formMessage(FieldCatalogue::ValueForm form, const std::string& from,
                        const std::string& thru)
{
    using Form = FieldCatalogue::ValueForm;
    auto both = [&from, &thru](auto valid) { return bool(valid(from)) && bool(valid(thru)); };
    switch (form) {
    case Form::MonthDay:
        return both(isFourDigits) ? "" : "Date must be in the form MMDD!";
    case Form::Decimal:
        return both(LookupNumber::decimal) ? "" : "Invalid mod!";
    case Form::EmployeeBand:
        return both(isBand) ? "" : "Invalid employee category!";
    case Form::SalesBand:
        return both(isBand) ? "" : "Invalid sales category!";
    case Form::MonthYear:
        return both(isFourDigits) ? "" : "Date must be in the form MMYY!";
    default:
        return {};
    }
}

int twoDigitNumber(const std::string& text, size_t at)
{
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

// MMDD or MMYY: the month must exist, and for MMDD the day within it
// (29 February included, as the expiration date recurs every year).
std::string calendarMessage(const std::string& value, bool withDay)
{
    static const int kDaysInMonth[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int month = twoDigitNumber(value, 0);
    if (month < 1 || month > 12)
        return "Month must be from 01 to 12!";
    const int day = twoDigitNumber(value, 2);
    if (withDay && (day < 1 || day > kDaysInMonth[month - 1]))
        return "Day must be within the month!";
    return {};
}

// Text comparisons of the database ignore the case of letters.
std::string folded(const std::string& text)
{
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// Whether From lies above Thru in the order the query compares them.
bool fromAboveThru(FieldCatalogue::ValueForm form, const std::string& from, const std::string& thru)
{
    using Form = FieldCatalogue::ValueForm;
    switch (form) {
    case Form::Decimal:
        return LookupNumber::decimal(from).value_or(0) > LookupNumber::decimal(thru).value_or(0);
    case Form::MonthYear: // compared as YYMM
        return twoDigitNumber(from, 2) * 100 + twoDigitNumber(from, 0) >
               twoDigitNumber(thru, 2) * 100 + twoDigitNumber(thru, 0);
    case Form::MonthDay:    // runs over the year end when From is above Thru
    case Form::MeritRating: // From only
    case Form::None:
    case Form::Days: // the prospecting forms have their own checks
    case Form::ModDifference:
    case Form::Years:
    case Form::ChangeKind:
    case Form::DueDays:
        return false;
    default:
        return folded(from) > folded(thru);
    }
}

// A whole number or decimal within limits.
std::optional<double> boundedNumber(const std::string& text, bool whole, double low, double high)
{
    std::optional<double> value;
    if (!whole)
        value = LookupNumber::decimal(text);
    else if (const std::optional<int> number = LookupNumber::signedWhole(text))
        value = *number;
    if (!value || *value < low || *value > high)
        return std::nullopt;
    return value;
}

// The message for the prospecting fields' values; empty when they are valid.
std::string prospectingMessage(FieldCatalogue::ValueForm form, const std::string& from,
                               const std::string& thru)
{
    using Form = FieldCatalogue::ValueForm;
    if (form == Form::ChangeKind)
        return CriterionRules::isChangeKind(from)
                   ? ""
                   : "Changed in Last Update must be New Company, New Mod or Any Change!";
    struct Limits
    {
        bool whole;
        double low;
        double high;
        const char* message;
    };
    Limits limits{};
    if (form == Form::Days)
        limits = {true, 0, 366, "Days must be whole numbers from 0 to 366!"};
    else if (form == Form::ModDifference)
        limits = {false, -9.999, 9.999, "Mod change must be a number from -9.999 to 9.999!"};
    else if (form == Form::Years)
        limits = {true, 0, 99, "Years must be whole numbers from 0 to 99!"};
    else if (form == Form::DueDays)
        limits = {true, -999, 999, "Days must be whole numbers from -999 to 999!"};
    else
        return {};
    const auto low = boundedNumber(from, limits.whole, limits.low, limits.high);
    const auto high = boundedNumber(thru, limits.whole, limits.low, limits.high);
    if (!low || !high)
        return limits.message;
    return *low > *high ? "From must not be above Thru!" : "";
}

} // namespace

std::string CriterionRules::impossibleRangeMessage(int position, const std::string& from,
                                                   const std::string& thru)
{
    using Form = FieldCatalogue::ValueForm;
    const Form form = FieldCatalogue::valueForm(position);
    if (form == Form::None)
        return {};
    if (trimBlanks(from).empty() && trimBlanks(thru).empty())
        return "Enter a From value, and a Thru value for a range!";
    if (form == Form::MonthDay || form == Form::MonthYear)
        for (const std::string* value : {&from, &thru})
            if (std::string message = calendarMessage(*value, form == Form::MonthDay);
                !message.empty())
                return message;
    if (fromAboveThru(form, from, thru))
        return "From must not be greater than Thru!";
    return {};
}

std::string CriterionRules::valueMessage(int position, const std::string& from,
                                         const std::string& thru)
{
    const FieldCatalogue::ValueForm form = FieldCatalogue::valueForm(position);
    if (std::string message = formMessage(form, from, thru); !message.empty())
        return message;
    return prospectingMessage(form, from, thru);
}

const std::vector<std::string>& CriterionRules::changeKinds()
{
    static const std::vector<std::string> kinds = {"New Company", "New Mod", "Any Change"};
    return kinds;
}

bool CriterionRules::isChangeKind(const std::string& text)
{
    const auto& kinds = changeKinds();
    return std::find(kinds.begin(), kinds.end(), text) != kinds.end();
}

const CriterionRules::PickList* CriterionRules::pickList(int position)
{
    if (position < Field::County || position > Field::MeritClass)
        return nullptr;
    return &kPickLists[position - Field::County];
}

std::string CriterionRules::pickListQuery(int position, int sortColumn)
{
    const PickList* list = pickList(position);
    if (!list)
        return {};
    std::string sql = std::string("SELECT * FROM ") + list->table;
    if (position != Field::MeritClass)
        sql += std::string(" ORDER BY ") + list->table + "." +
               (sortColumn == 0 ? list->code : list->description);
    return sql;
}

std::string CriterionRules::hint(int position)
{
    return position >= 0 && position < FieldCatalogue::kCount ? kHints[position] : "";
}

std::string CriterionRules::unavailableMessage(int position, const std::string& state)
{
    if (FieldCatalogue::availableIn(position, state))
        return {};
    return position == Field::MeritClass ? "This field can only be used with PM & DM Databases."
                                         : "This field can only be used with New Jersey.";
}

std::string CriterionRules::sicGroupEnd(const std::string& code)
{
    return code.substr(0, 2) + "99";
}

std::string CriterionRules::paddedZip(const std::string& from)
{
    if (trimBlanks(from).empty() || from.size() >= 5)
        return from;
    return std::string(5 - from.size(), '0') + from;
}

CriterionRules::Accepted CriterionRules::accept(int position, const std::string& state,
                                                const std::string& from, const std::string& thru,
                                                bool exclude,
                                                const std::vector<SQLPARAMETER>& criteria,
                                                int editedRow)
{
    if (position < 0)
        return {std::nullopt, "No field selected!"};
    if (editedRow < 0 && criteria.size() >= kMostCriteria)
        return {std::nullopt,
                "A search cannot hold more than " + std::to_string(kMostCriteria) + " criteria."};
    const FieldCatalogue::ValueForm form = FieldCatalogue::valueForm(position);
    const std::string thruOrFrom = trimBlanks(thru).empty() ? from : thru;
    if (std::string message = formMessage(form, from, thru); !message.empty())
        return {std::nullopt, message};
    if (std::string message = prospectingMessage(form, from, thruOrFrom); !message.empty())
        return {std::nullopt, message};
    if (std::string message = impossibleRangeMessage(position, from, thruOrFrom); !message.empty())
        return {std::nullopt, message};
    const std::string caption = FieldCatalogue::caption(position, state);
    int row = 0;
    if (!FieldCatalogue::mayRepeat(position) &&
        std::any_of(criteria.begin(), criteria.end(),
                    [&caption, &row, editedRow](const SQLPARAMETER& criterion) {
                        return row++ != editedRow && criterion.SQLFIELD == caption;
                    }))
        return {std::nullopt, "This field cannot be used more than once in a search."};
    SQLPARAMETER criterion{{}, caption, from, thruOrFrom, FieldCatalogue::code(position), exclude};
    return {std::move(criterion), {}};
}

} // namespace kora
