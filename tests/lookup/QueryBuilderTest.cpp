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

TEST(QueryBuilder, JoinsAlternativesOfOneFieldAndRequiresTheRest)
{
    EXPECT_EQ(sql({criterion(F::ZipCode, "19000", "19099"), criterion(F::ZipCode, "19300", "19399"),
                   criterion(F::ExperienceMod, "1.000", "9.999"),
                   criterion(F::County, "15", "15", true)}),
              "SELECT * FROM PRIME WHERE [MOD] BETWEEN 1.000 AND 9.999 AND COUNTY NOT BETWEEN '15' "
              "AND '15' AND (ZIP BETWEEN '19000' AND '19099' OR ZIP BETWEEN '19300' AND '19399')");

    // Class part, main list, then the groups in their fixed order; excluded
    // ranges of multi-range fields join the main list.
    EXPECT_EQ(sql({criterion(F::User3Field, "A", "B"), criterion(F::SicCode, "1500", "1599"),
                   criterion(F::AreaCode, "215", "215"), criterion(F::ZipCode, "19000", "19099"),
                   criterion(F::County, "15", "15"), criterion(F::ClassCode, "8810", "8810"),
                   criterion(F::Employees, "3", "5"), criterion(F::Sales, "0", "0", true),
                   criterion(F::FileNumber, "1000000", "1000999", true),
                   criterion(F::IssueYear, "2024", "2024"), criterion(F::User1Field, "M", "N"),
                   criterion(F::User2Field, "X", "Y", true),
                   criterion(F::AreaCode, "610", "610", true), criterion(F::County, "23", "23")}),
              "SELECT * FROM PRIME WHERE FILESEQ IN (SELECT FILESEQ FROM CLASS WHERE CLASS BETWEEN "
              "'8810' AND '8810') AND EMPLOYEES BETWEEN '3' AND '5' AND SALES NOT BETWEEN '0' AND "
              "'0' AND FILE NOT BETWEEN '1000000' AND '1000999' AND ISSUE1 BETWEEN '2024' AND "
              "'2024' AND USER2 NOT BETWEEN 'X' AND 'Y' AND AREA NOT BETWEEN '610' AND '610' AND "
              "(COUNTY BETWEEN '15' AND '15' OR COUNTY BETWEEN '23' AND '23') AND (ZIP BETWEEN "
              "'19000' AND '19099') AND (AREA BETWEEN '215' AND '215') AND (SIC BETWEEN '1500' AND "
              "'1599') AND (USER1 BETWEEN 'M' AND 'N') AND (USER3 BETWEEN 'A' AND 'B')");
}

TEST(QueryBuilder, ExpirationRangesOverTheYearEnd)
{
    EXPECT_EQ(sql({criterion(F::ExpirationDate, "1101", "0228")}),
              "SELECT * FROM PRIME WHERE ((MONTH(EXPIRE)*100+DAY(EXPIRE)) BETWEEN 1101 AND 1231 OR "
              "(MONTH(EXPIRE)*100+DAY(EXPIRE)) BETWEEN 0101 AND 0228)");
    EXPECT_EQ(sql({criterion(F::ExpirationDate, "0301", "0531")}),
              "SELECT * FROM PRIME WHERE (MONTH(EXPIRE)*100+DAY(EXPIRE)) BETWEEN 0301 AND 0531");
    EXPECT_EQ(sql({criterion(F::ExpirationDate, "1101", "0228", true)}),
              "SELECT * FROM PRIME WHERE (MONTH(EXPIRE)*100+DAY(EXPIRE)) NOT BETWEEN 1101 AND 1231 "
              "AND (MONTH(EXPIRE)*100+DAY(EXPIRE)) NOT BETWEEN 0101 AND 0228");
    EXPECT_EQ(
        sql({criterion(F::ExpirationDate, "0301", "0531", true)}),
        "SELECT * FROM PRIME WHERE (MONTH(EXPIRE)*100+DAY(EXPIRE)) NOT BETWEEN 0301 AND 0531");
    EXPECT_EQ(sql({criterion(F::ExpirationDate, "0615", "0615")}),
              "SELECT * FROM PRIME WHERE (MONTH(EXPIRE)*100+DAY(EXPIRE)) BETWEEN 0615 AND 0615");
    // Written without a leading zero, September 15 still comes before December 31.
    EXPECT_EQ(sql({criterion(F::ExpirationDate, "915", "1231")}),
              "SELECT * FROM PRIME WHERE (MONTH(EXPIRE)*100+DAY(EXPIRE)) BETWEEN 915 AND 1231");
    EXPECT_EQ(sql({criterion(F::ExpirationDate, "1231", "915")}),
              "SELECT * FROM PRIME WHERE ((MONTH(EXPIRE)*100+DAY(EXPIRE)) BETWEEN 1231 AND 1231 OR "
              "(MONTH(EXPIRE)*100+DAY(EXPIRE)) BETWEEN 0101 AND 915)");
}

TEST(QueryBuilder, ClassRangesBecomeSubqueriesOnClass)
{
    EXPECT_EQ(sql({criterion(F::ClassCode, "8810", "8810"),
                   criterion(F::ClassCode, "5183", "5183", true)}),
              "SELECT * FROM PRIME WHERE FILESEQ IN (SELECT FILESEQ FROM CLASS WHERE CLASS BETWEEN "
              "'8810' AND '8810') AND FILESEQ NOT IN (SELECT FILESEQ FROM CLASS WHERE CLASS "
              "BETWEEN '5183' AND '5183')");
    EXPECT_EQ(sql({criterion(F::ExperienceMod, "1.250", "9.999"),
                   criterion(F::ClassCode, "5183", "5199", true),
                   criterion(F::ClassCode, "8810", "8810", true)}),
              "SELECT * FROM PRIME WHERE FILESEQ NOT IN (SELECT FILESEQ FROM CLASS WHERE CLASS "
              "BETWEEN '5183' AND '5199' OR CLASS BETWEEN '8810' AND '8810') AND [MOD] BETWEEN "
              "1.250 AND 9.999");
}

TEST(QueryBuilder, MeritRatingsAndAssignedRiskMonths)
{
    EXPECT_EQ(sql({criterion(F::MeritClass, "Debit", "", true)}),
              "SELECT * FROM PRIME WHERE [MOD] NOT = 9.886");
    EXPECT_EQ(sql({criterion(F::MeritClass, "Neutral", "Neutral"),
                   criterion(F::MeritClass, "Credit", "")}),
              "SELECT * FROM PRIME WHERE [MOD] = 9.884 AND [MOD] = 9.885");
    EXPECT_EQ(QueryBuilder::meritValue("N/Q"), "8.888");
    EXPECT_EQ(QueryBuilder::meritValue("debit"), "0");

    EXPECT_EQ(sql({criterion(F::NjArOnly, "0795", "1296")}),
              "SELECT * FROM PRIME WHERE NJAR BETWEEN 9507 AND 9612");
    EXPECT_EQ(sql({criterion(F::NjArOnly, "0101", "1203", true)}),
              "SELECT * FROM PRIME WHERE NJAR NOT BETWEEN 101 AND 312");
}

TEST(QueryBuilder, QuotesInValuesCannotChangeTheStatement)
{
    EXPECT_EQ(sql({criterion(F::EmployerName, "O'BRIEN", "O'CONNOR")}),
              "SELECT * FROM PRIME WHERE NAME1 BETWEEN 'O''BRIEN' AND 'O''CONNOR'");
    EXPECT_EQ(sql({criterion(F::ZipCode, "1' OR '1'='1", "2")}),
              "SELECT * FROM PRIME WHERE (ZIP BETWEEN '1'' OR ''1''=''1' AND '2')");
    // Mods and dates go in unquoted, so only numbers are taken.
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

TEST(QueryBuilder, CriteriaWithoutClausesSelectEverything)
{
    EXPECT_EQ(sql({criterion(F::NewRecords, "", "")}), "SELECT * FROM PRIME");
    EXPECT_EQ(sql({{"", "Zip Code", "1", "2", "zip", false}}), "SELECT * FROM PRIME");
    EXPECT_EQ(sql({}), "SELECT * FROM PRIME");
}

TEST(QueryBuilder, OrdersByTheSortableGridColumns)
{
    EXPECT_EQ(QueryBuilder::orderBy(kora::GridColumn::File), " ORDER BY FILE");
    EXPECT_EQ(QueryBuilder::orderBy(kora::GridColumn::Effective), "");
    EXPECT_EQ(QueryBuilder::orderBy(kora::GridColumn::Name), " ORDER BY NAME1");
    EXPECT_EQ(QueryBuilder::orderBy(kora::GridColumn::Expires), " ORDER BY MONTH(EXPIRE), DAY(EXPIRE), NAME1");
    EXPECT_EQ(QueryBuilder::orderBy(kora::GridColumn::Omit), "");
}

} // namespace
} // namespace kora::test
