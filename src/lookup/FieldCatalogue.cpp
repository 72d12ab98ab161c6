#include "lookup/FieldCatalogue.h"

#include "base/StateRules.h"
#include <array>
#include <stdexcept>

namespace kora {

namespace {

struct Field
{
    const char* caption;
    const char* code;
    bool mayRepeat;
    FieldCatalogue::ValueForm form;
};

using Form = FieldCatalogue::ValueForm;

constexpr std::array<Field, FieldCatalogue::kCount> kFields = {{
    {"Expiration Date", "EXPIRE", false, Form::MonthDay},
    {"Experience Mod.", "MOD", false, Form::Decimal},
    {"Employer Name", "NAME1", false, Form::Text},
    {"Zip Code", "ZIP", true, Form::Text},
    {"County", "COUNTY", true, Form::CountyCode},
    {"Class Code", "CLASS", true, Form::ClassCode},
    {"SIC Code", "SIC", true, Form::SicCode},
    {"# of Employees", "EMPLOYEES", false, Form::EmployeeBand},
    {"Sales", "SALES", false, Form::SalesBand},
    {"Merit Class", "MERIT", true, Form::MeritRating},
    {"Area Code", "AREA", true, Form::AreaCode},
    {"New Records", "NEWREC", false, Form::None},
    {"NJ A/R Only", "NJARONLY", false, Form::MonthYear},
    {"File #", "FILENUM", false, Form::FileNumber},
    {"User1 Field", "User1", false, Form::Text},
    {"User2 Field", "User2", false, Form::Text},
    {"User3 Field", "User3", false, Form::Text},
    {"Issue Year", "ISSUE1", false, Form::Text},
    {"Renews Within (days)", "RENEWDAYS", false, Form::Days},
    {"Mod Change", "MODCHANGE", false, Form::ModDifference},
    {"Years Mod Over 1.00", "MODYEARS", false, Form::Years},
    {"Changed in Last Update", "LASTUPDATE", false, Form::ChangeKind},
    {"Follow-up Due", "FOLLOWUP", false, Form::DueDays},
}};

const Field& field(int position)
{
    if (position < 0 || position >= FieldCatalogue::kCount)
        throw std::out_of_range("no lookup field at position " + std::to_string(position));
    return kFields[static_cast<size_t>(position)];
}

} // namespace

std::string FieldCatalogue::caption(int position, const std::string& state)
{
    if (position == ExpirationDate && StateRules::isNewYork(state))
        return "Anniversary";
    return field(position).caption;
}

std::string FieldCatalogue::code(int position)
{
    return field(position).code;
}

int FieldCatalogue::position(const std::string& code)
{
    for (size_t position = 0; position < kFields.size(); ++position)
        if (code == kFields[position].code)
            return static_cast<int>(position);
    return -1;
}

bool FieldCatalogue::mayRepeat(int position)
{
    return field(position).mayRepeat;
}

FieldCatalogue::ValueForm FieldCatalogue::valueForm(int position)
{
    return field(position).form;
}

bool FieldCatalogue::availableIn(int position, const std::string& state)
{
    if (position == MeritClass)
        return StateRules::hasMeritClasses(state);
    if (position == NjArOnly)
        return StateRules::hasAssignedRisk(state);
    return true;
}

} // namespace kora
