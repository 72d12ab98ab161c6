#pragma once

#include "lookup/GridColumn.h"
#include "lookup/SQLPARAMETER.h"

#include <string>
#include <vector>

namespace kora {

// Turns a lookup into the statement that selects its companies from PRIME, in
// the original SQL dialect. Ranges of one multi-range field (county, zip, area,
// SIC, the user fields) are alternatives; everything else must hold at once;
// class ranges test membership through the CLASS table.
class QueryBuilder
{
public:
    // How a condition tests its included class ranges.
    enum class ClassTest
    {
        // "FILESEQ IN (SELECT FILESEQ FROM CLASS WHERE ...)", the lookup's own
        // text: the engine first lists every company of the ranges.
        List,
        // EXISTS on the company's own class rows, found by its key (CLASS's
        // FILESEQ is FILE followed by SEQUENCE, as PRIME's): nothing to list,
        // quicker where few companies are tested.
        PerCompany
    };

    // The condition, with one clause per criterion in collection order; empty
    // when no criterion adds one. Quotes inside text values are doubled. Throws
    // LookupValueError, naming the field and the value, when a value of a
    // number field is not a number (those go into the statement unquoted) or
    // a Renews Within value is not a whole number of days.
    static std::string condition(const std::vector<SQLPARAMETER>& criteria,
                                 ClassTest classTest = ClassTest::List);
    // The condition the statements reading a lookup's companies run: the
    // class ranges are tested per company where zip ranges, read from their
    // index, leave the engine few companies to test.
    static std::string runCondition(const std::vector<SQLPARAMETER>& criteria);

    // "SELECT * FROM PRIME WHERE " and the condition, or "SELECT * FROM PRIME".
    static std::string statement(const std::string& condition);

    // What sorting by a result grid column appends: column 0 (File), 2 (Name)
    // and 3 (Expires); empty for the others.
    static std::string orderBy(GridColumn column);

    // The MOD value that stands for a merit rating ("Debit" is 9.886); "0" for
    // any other text.
    static std::string meritValue(const std::string& rating);

    // An assigned-risk month typed as MMYY in the form NJAR stores, YYMM
    // ("0795" gives 9507).
    static long long assignedRiskMonth(const std::string& monthYear);
};

} // namespace kora
