#include "lookup/QueryBuilder.h"
#include "lookup/Criteria.h"
#include "lookup/CriterionEntry.h"
#include "lookup/CriterionRules.h"
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

const std::string kManyDigits = "1" + std::string(400, '0');
const char* const kOrder = "From must not be greater than Thru!";
const char* const kAbove = "From must not be above Thru!";
const char* const kBoth = "Enter a From value, and a Thru value for a range!";
const char* const kDays = "Days must be whole numbers from 0 to 366!";

TEST(CriterionRules, RefusesValuesNotOfTheFieldsFormOrImpossibleRanges)
{
    const struct
    {
        int position;
        const char* from;
        const char* thru;
        const char* message; // empty: accepted
    } ranges[] = {{F::ExpirationDate, "0101", "1231", ""},
                  {F::ExpirationDate, "101", "1231", "Date must be in the form MMDD!"},
                  {F::ExpirationDate, "1301", "1231", "Month must be from 01 to 12!"},
                  {F::ExpirationDate, "0431", "0501", "Day must be within the month!"},
                  {F::ExpirationDate, "0229", "0229", ""},
                  {F::ExpirationDate, "1101", "0228", ""}, // over the year end
                  {F::ExperienceMod, " 0.25 ", ".9", ""},
                  {F::ExperienceMod, "1.2.3", "2", "Invalid mod!"},
                  {F::ExperienceMod, "1", kManyDigits.c_str(), "Invalid mod!"},
                  {F::ExperienceMod, "10", "9.999", kOrder},
                  {F::Employees, "3", "12", "Invalid employee category!"},
                  {F::Sales, "x", "1", "Invalid sales category!"},
                  {F::NjArOnly, "0795", "795", "Date must be in the form MMYY!"},
                  {F::NjArOnly, "0796", "1295", kOrder},
                  {F::NjArOnly, "1295", "0796", ""},
                  {-1, "1", "2", "No field selected!"},
                  {F::ZipCode, "", " ", kBoth},
                  {F::ZipCode, "19300", "19099", kOrder},
                  {F::EmployerName, "smith", "SMITH", ""},
                  {F::EmployerName, "b", "Azure", kOrder},
                  {F::MeritClass, "", "", kBoth},
                  {F::MeritClass, "Neutral", "2", ""},
                  {F::RenewsWithin, "0", "366", ""},
                  {F::RenewsWithin, "ninety", "120", kDays},
                  {F::RenewsWithin, "0", "367", kDays},
                  {F::RenewsWithin, "120", "90", kAbove},
                  {F::ModChange, "-9.999", "9.999", ""},
                  {F::ModChange, "0", "10", "Mod change must be a number from -9.999 to 9.999!"},
                  {F::ModChange, "0.1", "-0.1", kAbove},
                  {F::YearsModOver, "2", "100", "Years must be whole numbers from 0 to 99!"},
                  {F::YearsModOver, "5", "3", kAbove},
                  {F::LastUpdate, "New Mod", "", ""},
                  {F::FollowUpDue, "-999", "-5", ""},
                  {F::FollowUpDue, "-1000", "0", "Days must be whole numbers from -999 to 999!"},
                  {F::FollowUpDue, "5", "-5", kAbove},
                  {F::LastUpdate, "new company", "",
                   "Changed in Last Update must be New Company, New Mod or Any Change!"}};
    for (const auto& c : ranges) {
        const auto accepted = CriterionRules::accept(c.position, "NJ", c.from, c.thru, false, {});
        EXPECT_EQ(accepted.message, c.message) << c.position << " " << c.from << " " << c.thru;
        EXPECT_EQ(accepted.criterion.has_value(), std::string(c.message).empty());
    }
}

TEST(CriterionRules, AcceptedCriterionCarriesCaptionCodeAndRange)
{
    const auto alone = CriterionRules::accept(F::ZipCode, "PA", "19001", " ", true, {});
    ASSERT_TRUE(alone.criterion);
    EXPECT_EQ(*alone.criterion, (SQLPARAMETER{"", "Zip Code", "19001", "19001", "ZIP", true}));
    const auto last = CriterionRules::accept(F::LastUpdate, "PA", "New Mod", "", false, {});
    EXPECT_EQ(*last.criterion, (SQLPARAMETER{"", "Changed in Last Update", "New Mod", "New Mod",
                                             "LASTUPDATE", false}));

    const auto again = CriterionRules::accept(
        F::ModChange, "PA", "1", "2", false,
        {*CriterionRules::accept(F::ModChange, "PA", "0", "1", false, {}).criterion});
    EXPECT_EQ(again.message, "This field cannot be used more than once in a search.");
    EXPECT_TRUE(
        CriterionRules::accept(F::ZipCode, "PA", "19300", "", false, {*alone.criterion}).criterion);
    const std::vector<SQLPARAMETER> most(CriterionRules::kMostCriteria, *alone.criterion);
    EXPECT_EQ(CriterionRules::accept(F::ZipCode, "PA", "19001", "", false, most).message,
              "A search cannot hold more than 200 criteria.");
}

TEST(CriterionRules, PickListsZipsAndSicGroups)
{
    EXPECT_EQ(CriterionRules::pickListQuery(F::County, 1),
              "SELECT * FROM COUNTY ORDER BY COUNTY.COUNTY");
    EXPECT_EQ(CriterionRules::pickListQuery(F::ClassCode, 0),
              "SELECT * FROM CLASSLIST ORDER BY CLASSLIST.CLASS");
    EXPECT_EQ(CriterionRules::pickListQuery(F::MeritClass, 0), "SELECT * FROM MERIT");
    EXPECT_EQ(CriterionRules::pickList(F::ZipCode), nullptr);
    EXPECT_EQ(CriterionRules::paddedZip("801"), "00801");
    EXPECT_EQ(CriterionRules::paddedZip(""), "");
    EXPECT_EQ(CriterionRules::unavailableMessage(F::MeritClass, "PA"),
              "This field can only be used with PM & DM Databases.");
    EXPECT_EQ(CriterionRules::unavailableMessage(F::MeritClass, "PM"), "");
}

TEST(CriterionEntry, StartingRangeFillsTheBoxesOfTheChosenField)
{
    const struct
    {
        int position;
        int year;
        int month;
        CriterionEntry::Range range;
    } starts[] = {{F::ExpirationDate, 2026, 12, {"0101", "1231", true}},
                  {F::ExperienceMod, 2026, 12, {"0.000", "9.999", true}},
                  {F::MeritClass, 2026, 12, {"", "", false}},
                  {F::LastUpdate, 2026, 12, {"", "", false}},
                  {F::ZipCode, 2026, 12, {"", "", true}},
                  // Three months on, across the year end and within the year.
                  {F::NjArOnly, 2026, 12, {"0795", "0327", true}},
                  {F::NjArOnly, 2026, 10, {"0795", "0127", true}},
                  {F::NjArOnly, 2026, 4, {"0795", "0726", true}},
                  {F::NjArOnly, 2099, 11, {"0795", "0200", true}},
                  {F::IssueYear, 2026, 12, {"2026", "2026", true}}};
    for (const auto& c : starts) {
        SCOPED_TRACE(std::to_string(c.position) + " " + std::to_string(c.month));
        const auto range = CriterionEntry::startingRange(c.position, c.year, c.month);
        EXPECT_EQ(range.from, c.range.from);
        EXPECT_EQ(range.thru, c.range.thru);
        EXPECT_EQ(range.hasThru, c.range.hasThru);
    }
}

// An empty From takes the code, a From given leaves it to Thru; a SIC group
// code stands for the whole group.
TEST(CriterionEntry, AfterPickPutsThePickedCodeInTheRange)
{
    const struct
    {
        int position;
        const char* from;
        const char* code;
        const char* pickedFrom;
        const char* pickedThru;
    } picks[] = {{F::County, "  ", "045", "045", ""},
                 {F::County, "017", "045", "017", "045"},
                 {F::SicCode, "", "1500", "1500", "1599"},
                 {F::SicCode, "0700", "1500", "0700", "1599"},
                 {F::SicCode, "", "1521", "1521", ""}};
    for (const auto& c : picks) {
        const auto range = CriterionEntry::afterPick(c.position, {c.from, ""}, c.code);
        EXPECT_EQ(range.from + "|" + range.thru, std::string(c.pickedFrom) + "|" + c.pickedThru)
            << c.position << " " << c.from << " " << c.code;
    }
}

} // namespace
} // namespace kora::test
