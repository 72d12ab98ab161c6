#pragma once

#include <string>

namespace kora {

// The fields a lookup can search, by their position in the editor's
// field list. Captions and codes are those stored in SQLFIELD and SQLEXPR.
class FieldCatalogue
{
public:
    enum Position
    {
        ExpirationDate,
        ExperienceMod,
        EmployerName,
        ZipCode,
        County,
        ClassCode,
        SicCode,
        Employees,
        Sales,
        MeritClass,
        AreaCode,
        NewRecords,
        NjArOnly,
        FileNumber,
        User1Field,
        User2Field,
        User3Field,
        IssueYear,
        RenewsWithin,
        ModChange,
        YearsModOver,
        LastUpdate,
        FollowUpDue,
    };
    static constexpr int kCount = FollowUpDue + 1;

    // What the From and Thru values hold.
    enum class ValueForm
    {
        MonthDay,      // MMDD
        Decimal,       // 0.000 to 9.999
        Text,          // free text
        CountyCode,    // CODE of table COUNTY
        ClassCode,     // CLASS of table CLASSLIST
        SicCode,       // CODE of table SICCODES
        EmployeeBand,  // CODE of table EMPLOYEES
        SalesBand,     // CODE of table SALES
        MeritRating,   // "Neutral", "Credit", "Debit" or "N/Q"; From only
        AreaCode,      // telephone area code
        None,          // no value
        MonthYear,     // MMYY
        FileNumber,    // file number text
        Days,          // whole days 0 to 366
        ModDifference, // -9.999 to 9.999
        Years,         // whole numbers 0 to 99
        ChangeKind,    // "New Company", "New Mod" or "Any Change"; From only
        DueDays,       // whole days from today, -999 to 999; negative for overdue
    };

    // Position 0 reads "Anniversary" on the New York database.
    static std::string caption(int position, const std::string& state);
    static std::string code(int position);
    // The position of a field code; -1 when no field has it.
    static int position(const std::string& code);
    // Zip, county, class, SIC, merit and area ranges may be given more than once.
    static bool mayRepeat(int position);
    static ValueForm valueForm(int position);
    // Merit Class serves the PM and DM databases only, NJ A/R Only the NJ database.
    static bool availableIn(int position, const std::string& state);
};

} // namespace kora
