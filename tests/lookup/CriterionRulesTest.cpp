#include "lookup/CriterionRules.h"

#include "lookup/CriterionEntry.h"
#include "lookup/FieldCatalogue.h"

#include <gtest/gtest.h>

namespace kora {
namespace {

using Field = FieldCatalogue::Position;

TEST(FieldCatalogue, CaptionsCodesAndRepeatableFieldsInEditorOrder)
{
    std::string captions;
    std::string codes;
    std::vector<int> repeatable;
    for (int position = 0; position < FieldCatalogue::kCount; ++position) {
        captions += FieldCatalogue::caption(position, "PA") + "|";
        codes += FieldCatalogue::code(position) + " ";
        if (FieldCatalogue::mayRepeat(position))
            repeatable.push_back(position);
    }
    EXPECT_EQ(captions, "Expiration Date|Experience Mod.|Employer Name|Zip Code|County|Class Code|"
                        "SIC Code|# of Employees|Sales|Merit Class|Area Code|New Records|NJ A/R "
                        "Only|File #|User1 Field|User2 Field|User3 Field|Issue Year|Renews Within "
                        "(days)|Mod Change|Years Mod Over 1.00|Changed in Last Update|");
    EXPECT_EQ(codes, "EXPIRE MOD NAME1 ZIP COUNTY CLASS SIC EMPLOYEES SALES MERIT AREA NEWREC "
                     "NJARONLY FILENUM User1 User2 User3 ISSUE1 RENEWDAYS MODCHANGE MODYEARS "
                     "LASTUPDATE ");
    EXPECT_EQ(repeatable, (std::vector<int>{3, 4, 5, 6, 9, 10}));
    EXPECT_EQ(FieldCatalogue::caption(0, "NY"), "Anniversary");
}

struct RangeCase
{
    int position;
    const char* from;
    const char* thru;
    const char* message; // empty: accepted
};

const std::string kManyDigits = "1" + std::string(400, '0');
const char* const kOrder = "From must not be greater than Thru!";
const char* const kAbove = "From must not be above Thru!";
const char* const kBoth = "Enter a From value, and a Thru value for a range!";
const char* const kMonth = "Month must be from 01 to 12!";
const char* const kDay = "Day must be within the month!";
const char* const kDays = "Days must be whole numbers from 0 to 366!";
const char* const kChange = "Mod change must be a number from -9.999 to 9.999!";
const char* const kYears = "Years must be whole numbers from 0 to 99!";

class CriterionRangeTest : public ::testing::TestWithParam<RangeCase>
{
};

TEST_P(CriterionRangeTest, RefusesValuesNotOfTheFieldsFormOrImpossibleRanges)
{
    const RangeCase& c = GetParam();
    const auto accepted = CriterionRules::accept(c.position, "NJ", c.from, c.thru, false, {});
    EXPECT_EQ(accepted.message, c.message);
    EXPECT_EQ(accepted.criterion.has_value(), std::string(c.message).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, CriterionRangeTest,
    ::testing::Values(
        RangeCase{Field::ExpirationDate, "0101", "1231", ""},
        RangeCase{Field::ExpirationDate, "101", "1231", "Date must be in the form MMDD!"},
        RangeCase{Field::ExpirationDate, "1301", "1231", kMonth},
        RangeCase{Field::ExpirationDate, "0431", "0501", kDay},
        RangeCase{Field::ExpirationDate, "0229", "0229", ""},
        RangeCase{Field::ExpirationDate, "1101", "0228", ""}, // over the year end
        RangeCase{Field::ExperienceMod, " 0.25 ", ".9", ""},
        RangeCase{Field::ExperienceMod, "1.2.3", "2", "Invalid mod!"},
        RangeCase{Field::ExperienceMod, "1", kManyDigits.c_str(), "Invalid mod!"},
        RangeCase{Field::ExperienceMod, "10", "9.999", kOrder},
        RangeCase{Field::Employees, "3", "12", "Invalid employee category!"},
        RangeCase{Field::Sales, "x", "1", "Invalid sales category!"},
        RangeCase{Field::NjArOnly, "0795", "795", "Date must be in the form MMYY!"},
        RangeCase{Field::NjArOnly, "0796", "1295", kOrder},
        RangeCase{Field::NjArOnly, "1295", "0796", ""},
        RangeCase{-1, "1", "2", "No field selected!"}, RangeCase{Field::ZipCode, "", " ", kBoth},
        RangeCase{Field::ZipCode, "19300", "19099", kOrder},
        RangeCase{Field::EmployerName, "smith", "SMITH", ""},
        RangeCase{Field::EmployerName, "b", "Azure", kOrder},
        RangeCase{Field::MeritClass, "", "", kBoth},
        RangeCase{Field::MeritClass, "Neutral", "2", ""},
        RangeCase{Field::RenewsWithin, "0", "366", ""},
        RangeCase{Field::RenewsWithin, "ninety", "120", kDays},
        RangeCase{Field::RenewsWithin, "0", "367", kDays},
        RangeCase{Field::RenewsWithin, "120", "90", kAbove},
        RangeCase{Field::ModChange, "-9.999", "9.999", ""},
        RangeCase{Field::ModChange, "0", "10", kChange},
        RangeCase{Field::ModChange, "0.1", "-0.1", kAbove},
        RangeCase{Field::YearsModOver, "2", "100", kYears},
        RangeCase{Field::YearsModOver, "5", "3", kAbove},
        RangeCase{Field::LastUpdate, "New Mod", "", ""},
        RangeCase{Field::LastUpdate, "new company", "",
                  "Changed in Last Update must be New Company, New Mod or Any Change!"}));

TEST(CriterionRules, AcceptedCriterionCarriesCaptionCodeAndRange)
{
    const auto alone = CriterionRules::accept(Field::ZipCode, "PA", "19001", " ", true, {});
    ASSERT_TRUE(alone.criterion);
    EXPECT_EQ(*alone.criterion, (SQLPARAMETER{"", "Zip Code", "19001", "19001", "ZIP", true}));
    const auto last = CriterionRules::accept(Field::LastUpdate, "PA", "New Mod", "", false, {});
    EXPECT_EQ(*last.criterion, (SQLPARAMETER{"", "Changed in Last Update", "New Mod", "New Mod",
                                             "LASTUPDATE", false}));

    const auto again = CriterionRules::accept(
        Field::ModChange, "PA", "1", "2", false,
        {*CriterionRules::accept(Field::ModChange, "PA", "0", "1", false, {}).criterion});
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
    EXPECT_EQ(CriterionRules::unavailableMessage(Field::MeritClass, "PA"),
              "This field can only be used with PM & DM Databases.");
    EXPECT_EQ(CriterionRules::unavailableMessage(Field::MeritClass, "PM"), "");
}

struct StartCase
{
    int position;
    int year;
    int month;
    CriterionEntry::Range range;
};

class StartingRangeTest : public ::testing::TestWithParam<StartCase>
{
};

TEST_P(StartingRangeTest, FillsTheBoxesOfTheChosenField)
{
    const StartCase& c = GetParam();
    const auto range = CriterionEntry::startingRange(c.position, c.year, c.month);
    EXPECT_EQ(range.from, c.range.from);
    EXPECT_EQ(range.thru, c.range.thru);
    EXPECT_EQ(range.hasThru, c.range.hasThru);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, StartingRangeTest,
    ::testing::Values(StartCase{Field::ExpirationDate, 2026, 12, {"0101", "1231", true}},
                      StartCase{Field::ExperienceMod, 2026, 12, {"0.000", "9.999", true}},
                      StartCase{Field::MeritClass, 2026, 12, {"", "", false}},
                      StartCase{Field::LastUpdate, 2026, 12, {"", "", false}},
                      StartCase{Field::ZipCode, 2026, 12, {"", "", true}},
                      // Three months on, across the year end and within the year.
                      StartCase{Field::NjArOnly, 2026, 12, {"0795", "0327", true}},
                      StartCase{Field::NjArOnly, 2026, 10, {"0795", "0127", true}},
                      StartCase{Field::NjArOnly, 2026, 4, {"0795", "0726", true}},
                      StartCase{Field::NjArOnly, 2099, 11, {"0795", "0200", true}},
                      StartCase{Field::IssueYear, 2026, 12, {"2026", "2026", true}}));

struct PickCase
{
    int position;
    const char* from;
    const char* code;
    const char* pickedFrom;
    const char* pickedThru;
};

class AfterPickTest : public ::testing::TestWithParam<PickCase>
{
};

TEST_P(AfterPickTest, PutsThePickedCodeInTheRange)
{
    const PickCase& c = GetParam();
    const auto range = CriterionEntry::afterPick(c.position, {c.from, ""}, c.code, "DESCRIPTION");
    EXPECT_EQ(range.from, c.pickedFrom);
    EXPECT_EQ(range.thru, c.pickedThru);
}

// An empty From takes the code, a From given leaves it to Thru; a SIC group
// code stands for the whole group.
INSTANTIATE_TEST_SUITE_P(Picks, AfterPickTest,
                         ::testing::Values(PickCase{Field::County, "  ", "045", "045", ""},
                                           PickCase{Field::County, "017", "045", "017", "045"},
                                           PickCase{Field::SicCode, "", "1500", "1500", "1599"},
                                           PickCase{Field::SicCode, "0700", "1500", "0700", "1599"},
                                           PickCase{Field::SicCode, "", "1521", "1521", ""}));

} // namespace
} // namespace kora
