#include "lookup/QueryBuilder.h"
#include "lookup/Criteria.h"
#include "lookup/LookupValueError.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

using F = FieldCatalogue;

std::string sql(const std::vector<SQLPARAMETER>& criteria)
{
    return QueryBuilder::statement(QueryBuilder::condition(criteria));
}

TEST(QueryBuilder, WritesTheExactConditionOfEachKindOfRange)
{
    const std::string monthDay = "(MONTH(EXPIRE)*100+DAY(EXPIRE))";
    const struct
    {
        std::vector<SQLPARAMETER> criteria;
        std::string condition;
    } cases[] = {
        // Class part, main list, then the groups in their fixed order; excluded
        // ranges of multi-range fields join the main list.
        {{criterion(F::User3Field, "A", "B"), criterion(F::SicCode, "1500", "1599"),
          criterion(F::AreaCode, "215", "215"), criterion(F::ZipCode, "19000", "19099"),
          criterion(F::County, "15", "15"), criterion(F::ClassCode, "8810", "8810"),
          criterion(F::Employees, "3", "5"), criterion(F::Sales, "0", "0", true),
          criterion(F::FileNumber, "1000000", "1000999", true),
          criterion(F::IssueYear, "2024", "2024"), criterion(F::User1Field, "M", "N"),
          criterion(F::User2Field, "X", "Y", true), criterion(F::AreaCode, "610", "610", true),
          criterion(F::County, "23", "23")},
         "FILESEQ IN (SELECT FILESEQ FROM CLASS WHERE CLASS BETWEEN '8810' AND '8810') AND "
         "EMPLOYEES BETWEEN '3' AND '5' AND SALES NOT BETWEEN '0' AND '0' AND FILE NOT BETWEEN "
         "'1000000' AND '1000999' AND ISSUE1 BETWEEN '2024' AND '2024' AND USER2 NOT BETWEEN 'X' "
         "AND 'Y' AND AREA NOT BETWEEN '610' AND '610' AND (COUNTY BETWEEN '15' AND '15' OR "
         "COUNTY BETWEEN '23' AND '23') AND (ZIP BETWEEN '19000' AND '19099') AND (AREA BETWEEN "
         "'215' AND '215') AND (SIC BETWEEN '1500' AND '1599') AND (USER1 BETWEEN 'M' AND 'N') "
         "AND (USER3 BETWEEN 'A' AND 'B')"},
        // Expiration ranges may run over the year end.
        {{criterion(F::ExpirationDate, "1101", "0228")},
         "(" + monthDay + " BETWEEN 1101 AND 1231 OR " + monthDay + " BETWEEN 0101 AND 0228)"},
        {{criterion(F::ExpirationDate, "0301", "0531")}, monthDay + " BETWEEN 0301 AND 0531"},
        {{criterion(F::ExpirationDate, "1101", "0228", true)},
         monthDay + " NOT BETWEEN 1101 AND 1231 AND " + monthDay + " NOT BETWEEN 0101 AND 0228"},
        // Written without a leading zero, September 15 still comes before December 31.
        {{criterion(F::ExpirationDate, "915", "1231")}, monthDay + " BETWEEN 915 AND 1231"},
        {{criterion(F::ExpirationDate, "1231", "915")},
         "(" + monthDay + " BETWEEN 1231 AND 1231 OR " + monthDay + " BETWEEN 0101 AND 915)"},
        {{criterion(F::ClassCode, "8810", "8810"), criterion(F::ClassCode, "5183", "5183", true)},
         "FILESEQ IN (SELECT FILESEQ FROM CLASS WHERE CLASS BETWEEN '8810' AND '8810') AND "
         "FILESEQ NOT IN (SELECT FILESEQ FROM CLASS WHERE CLASS BETWEEN '5183' AND '5183')"},
        {{criterion(F::ExperienceMod, "1.250", "9.999"),
          criterion(F::ClassCode, "5183", "5199", true),
          criterion(F::ClassCode, "8810", "8810", true)},
         "FILESEQ NOT IN (SELECT FILESEQ FROM CLASS WHERE CLASS BETWEEN '5183' AND '5199' OR "
         "CLASS BETWEEN '8810' AND '8810') AND [MOD] BETWEEN 1.250 AND 9.999"},
        {{criterion(F::MeritClass, "Neutral", "Neutral"), criterion(F::MeritClass, "Credit", "")},
         "[MOD] = 9.884 AND [MOD] = 9.885"},
        {{criterion(F::NjArOnly, "0795", "1296")}, "NJAR BETWEEN 9507 AND 9612"},
        {{criterion(F::NjArOnly, "0101", "1203", true)}, "NJAR NOT BETWEEN 101 AND 312"},
        // Quotes in values cannot change the statement.
        {{criterion(F::EmployerName, "O'BRIEN", "O'CONNOR")},
         "NAME1 BETWEEN 'O''BRIEN' AND 'O''CONNOR'"},
        {{criterion(F::ZipCode, "1' OR '1'='1", "2")}, "(ZIP BETWEEN '1'' OR ''1''=''1' AND '2')"},
        // A code no field has adds no clause.
        {{{"", "Zip Code", "1", "2", "zip", false}}, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(QueryBuilder::condition(c.criteria), c.condition) << c.criteria[0].SQLFROM;

    EXPECT_EQ(sql({criterion(F::MeritClass, "Debit", "", true)}),
              "SELECT * FROM PRIME WHERE [MOD] NOT = 9.886");
    EXPECT_EQ(sql({}), "SELECT * FROM PRIME");
    EXPECT_EQ(QueryBuilder::meritValue("N/Q"), "8.888");
    EXPECT_EQ(QueryBuilder::meritValue("debit"), "0");
}

TEST(QueryBuilder, RefusesValuesThatAreNotNumbersWhereNumbersGoUnquoted)
{
    EXPECT_THROW(sql({criterion(F::ExperienceMod, "0 OR 1=1", "9.999")}), LookupValueError);
    EXPECT_THROW(sql({criterion(F::ExpirationDate, "0101", "")}), LookupValueError);
    EXPECT_NO_THROW(sql({criterion(F::ExperienceMod, ".5", "1E1")}));

    // Values no number holds are told with their field and value.
    const std::string huge = "1" + std::string(400, '0');
    const std::pair<SQLPARAMETER, std::string> refused[] = {
        {criterion(F::ExpirationDate, huge, "0101"),
         "The Expiration Date value \"" + huge + "\" is not a number."},
        {criterion(F::RenewsWithin, "0", "2147483648"),
         "The Renews Within (days) value \"2147483648\" is not a number of days."}};
    for (const auto& [criterion, message] : refused) {
        try {
            sql({criterion});
            ADD_FAILURE() << message;
        } catch (const LookupValueError& error) {
            EXPECT_EQ(error.what(), message);
        }
    }
}

} // namespace
} // namespace kora::test
