#include "lookup/CriterionRules.h"

#include "lookup/FieldCatalogue.h"

#include <gtest/gtest.h>

namespace kora {
namespace {

using Field = FieldCatalogue::Position;

struct RangeCase
{
    int position;
    const char* from;
    const char* thru;
    const char* message; // empty: accepted
};

const std::string kManyDigits = "1" + std::string(400, '0');

class CriterionRangeTest : public ::testing::TestWithParam<RangeCase>
{
};

TEST_P(CriterionRangeTest, RefusesValuesNotOfTheFieldsForm)
{
    const RangeCase& c = GetParam();
    const auto accepted = CriterionRules::accept(c.position, "NJ", c.from, c.thru, false, {});
    EXPECT_EQ(accepted.message, c.message);
    EXPECT_EQ(accepted.criterion.has_value(), std::string(c.message).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CriterionRangeTest,
    ::testing::Values(RangeCase{Field::ExpirationDate, "0101", "1231", ""},
                      RangeCase{Field::ExpirationDate, "101", "1231",
                                "Date must be in the form MMDD!"},
                      RangeCase{Field::ExperienceMod, " 0.25 ", ".9", ""},
                      RangeCase{Field::ExperienceMod, "1.2.3", "2", "Invalid mod!"},
                      // More digits than a number holds.
                      RangeCase{Field::ExperienceMod, "1", kManyDigits.c_str(), "Invalid mod!"},
                      RangeCase{Field::Employees, "3", "12", "Invalid employee category!"},
                      RangeCase{Field::Sales, "x", "1", "Invalid sales category!"},
                      RangeCase{Field::NjArOnly, "0795", "795", "Date must be in the form MMYY!"},
                      RangeCase{-1, "1", "2", "No field selected!"}));

// Ranges of the right form that could never select a company.
INSTANTIATE_TEST_SUITE_P(
    Impossible, CriterionRangeTest,
    ::testing::Values(
        RangeCase{Field::ExperienceMod, "2.000", "1.000", "From must not be greater than Thru!"},
        RangeCase{Field::ExperienceMod, "1.5", "1.50", ""},
        RangeCase{Field::ExperienceMod, "10", "9.999", "From must not be greater than Thru!"},
        RangeCase{Field::ZipCode, "", " ", "Enter a From value, and a Thru value for a range!"},
        RangeCase{Field::ZipCode, "", "19099", ""},
        RangeCase{Field::ZipCode, "19300", "19099", "From must not be greater than Thru!"},
        RangeCase{Field::ZipCode, "19300", "", ""},
        RangeCase{Field::EmployerName, "smith", "SMITH", ""},
        RangeCase{Field::EmployerName, "b", "Azure", "From must not be greater than Thru!"},
        RangeCase{Field::County, "15", "09", "From must not be greater than Thru!"},
        RangeCase{Field::Employees, "5", "3", "From must not be greater than Thru!"},
        RangeCase{Field::IssueYear, "2024", "2021", "From must not be greater than Thru!"},
        RangeCase{Field::MeritClass, "", "", "Enter a From value, and a Thru value for a range!"},
        RangeCase{Field::MeritClass, "Neutral", "2", ""}, RangeCase{Field::NewRecords, "", "", ""},
        RangeCase{Field::ExpirationDate, "1301", "1231", "Month must be from 01 to 12!"},
        RangeCase{Field::ExpirationDate, "0101", "0001", "Month must be from 01 to 12!"},
        RangeCase{Field::ExpirationDate, "0431", "0501", "Day must be within the month!"},
        RangeCase{Field::ExpirationDate, "0100", "0131", "Day must be within the month!"},
        RangeCase{Field::ExpirationDate, "0229", "0229", ""},
        RangeCase{Field::ExpirationDate, "1101", "0228", ""}, // over the year end
        RangeCase{Field::NjArOnly, "1395", "1296", "Month must be from 01 to 12!"},
        RangeCase{Field::NjArOnly, "0796", "1295", "From must not be greater than Thru!"},
        RangeCase{Field::NjArOnly, "1295", "0796", ""}));

TEST(CriterionRules, AcceptedCriterionCarriesCaptionCodeAndRange)
{
    const auto alone = CriterionRules::accept(Field::ZipCode, "PA", "19001", " ", true, {});
    ASSERT_TRUE(alone.criterion);
    EXPECT_EQ(alone.criterion->SQLFIELD, FieldCatalogue::caption(Field::ZipCode, "PA"));
    EXPECT_EQ(alone.criterion->SQLEXPR, FieldCatalogue::code(Field::ZipCode));
    EXPECT_EQ(alone.criterion->SQLFROM, "19001");
    EXPECT_EQ(alone.criterion->SQLTHRU, "19001"); // a value alone is a range through itself
    EXPECT_TRUE(alone.criterion->SQLEXCLUDE);

    const auto again = CriterionRules::accept(
        Field::ExperienceMod, "PA", "1", "2", false,
        {*CriterionRules::accept(Field::ExperienceMod, "PA", "0", "1", false, {}).criterion});
    EXPECT_EQ(again.message, "This field cannot be used more than once in a search.");

    const std::vector<SQLPARAMETER> most(CriterionRules::kMostCriteria, *alone.criterion);
    EXPECT_EQ(CriterionRules::accept(Field::ZipCode, "PA", "19001", "", false, most).message,
              "A search cannot hold more than 200 criteria.");
}

TEST(CriterionRules, PickListsZipsAndSicGroups)
{
    EXPECT_EQ(CriterionRules::pickListQuery(Field::County, 1),
              "SELECT * FROM COUNTY ORDER BY COUNTY.COUNTY");
    EXPECT_EQ(CriterionRules::pickListQuery(Field::ClassCode, 0),
              "SELECT * FROM CLASSLIST ORDER BY CLASSLIST.CLASS");
    EXPECT_EQ(CriterionRules::pickListQuery(Field::MeritClass, 0), "SELECT * FROM MERIT");
    EXPECT_EQ(CriterionRules::pickList(Field::ZipCode), nullptr);
    EXPECT_EQ(CriterionRules::paddedZip("801"), "00801");
    EXPECT_EQ(CriterionRules::paddedZip(""), "");
    EXPECT_EQ(CriterionRules::sicGroupEnd("1500"), "1599");
    EXPECT_EQ(CriterionRules::unavailableMessage(Field::MeritClass, "PA"),
              "This field can only be used with PM & DM Databases.");
    EXPECT_EQ(CriterionRules::unavailableMessage(Field::MeritClass, "PM"), "");
}

} // namespace
} // namespace kora
