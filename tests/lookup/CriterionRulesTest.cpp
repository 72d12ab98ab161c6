#include "lookup/CriterionRules.h"

#include "lookup/CriterionEntry.h"
#include "lookup/FieldCatalogue.h"

#include <gtest/gtest.h>

namespace kora {
namespace {

using Field = FieldCatalogue::Position;

// The codes are those of the lookup files; the fields with a code list or an
// area take several ranges.
TEST(FieldCatalogue, CodesAndRepeatableFieldsInEditorOrder)
{
    std::string codes;
    std::vector<int> repeatable;
    for (int position = 0; position < FieldCatalogue::kCount; ++position) {
        codes += FieldCatalogue::code(position) + " ";
        if (FieldCatalogue::mayRepeat(position))
            repeatable.push_back(position);
    }
    EXPECT_EQ(codes, "EXPIRE MOD NAME1 ZIP COUNTY CLASS SIC EMPLOYEES SALES MERIT AREA NEWREC "
                     "NJARONLY FILENUM User1 User2 User3 ISSUE1 RENEWDAYS MODCHANGE MODYEARS "
                     "LASTUPDATE ");
    EXPECT_EQ(repeatable, (std::vector<int>{3, 4, 5, 6, 9, 10}));
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
    } ranges[] = {
        {Field::ExpirationDate, "0101", "1231", ""},
        {Field::ExpirationDate, "101", "1231", "Date must be in the form MMDD!"},
        {Field::ExpirationDate, "1301", "1231", "Month must be from 01 to 12!"},
        {Field::ExpirationDate, "0431", "0501", "Day must be within the month!"},
        {Field::ExpirationDate, "0229", "0229", ""},
        {Field::ExpirationDate, "1101", "0228", ""}, // over the year end
        {Field::ExperienceMod, " 0.25 ", ".9", ""},
        {Field::ExperienceMod, "1.2.3", "2", "Invalid mod!"},
        {Field::ExperienceMod, "1", kManyDigits.c_str(), "Invalid mod!"},
        {Field::ExperienceMod, "10", "9.999", kOrder},
        {Field::Employees, "3", "12", "Invalid employee category!"},
        {Field::Sales, "x", "1", "Invalid sales category!"},
        {Field::NjArOnly, "0795", "795", "Date must be in the form MMYY!"},
        {Field::NjArOnly, "0796", "1295", kOrder},
        {Field::NjArOnly, "1295", "0796", ""},
        {-1, "1", "2", "No field selected!"},
        {Field::ZipCode, "", " ", kBoth},
        {Field::ZipCode, "19300", "19099", kOrder},
        {Field::EmployerName, "smith", "SMITH", ""},
        {Field::EmployerName, "b", "Azure", kOrder},
        {Field::MeritClass, "", "", kBoth},
        {Field::MeritClass, "Neutral", "2", ""},
        {Field::RenewsWithin, "0", "366", ""},
        {Field::RenewsWithin, "ninety", "120", kDays},
        {Field::RenewsWithin, "0", "367", kDays},
        {Field::RenewsWithin, "120", "90", kAbove},
        {Field::ModChange, "-9.999", "9.999", ""},
        {Field::ModChange, "0", "10", "Mod change must be a number from -9.999 to 9.999!"},
        {Field::ModChange, "0.1", "-0.1", kAbove},
        {Field::YearsModOver, "2", "100", "Years must be whole numbers from 0 to 99!"},
        {Field::YearsModOver, "5", "3", kAbove},
        {Field::LastUpdate, "New Mod", "", ""},
        {Field::LastUpdate, "new company", "",
         "Changed in Last Update must be New Company, New Mod or Any Change!"}};
    for (const auto& c : ranges) {
        const auto accepted = CriterionRules::accept(c.position, "NJ", c.from, c.thru, false, {});
        EXPECT_EQ(accepted.message, c.message) << c.position << " " << c.from << " " << c.thru;
        EXPECT_EQ(accepted.criterion.has_value(), std::string(c.message).empty());
    }
}

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

TEST(CriterionEntry, StartingRangeFillsTheBoxesOfTheChosenField)
{
    const struct
    {
        int position;
        int year;
        int month;
        CriterionEntry::Range range;
    } starts[] = {{Field::ExpirationDate, 2026, 12, {"0101", "1231", true}},
                  {Field::ExperienceMod, 2026, 12, {"0.000", "9.999", true}},
                  {Field::MeritClass, 2026, 12, {"", "", false}},
                  {Field::LastUpdate, 2026, 12, {"", "", false}},
                  {Field::ZipCode, 2026, 12, {"", "", true}},
                  // Three months on, across the year end and within the year.
                  {Field::NjArOnly, 2026, 12, {"0795", "0327", true}},
                  {Field::NjArOnly, 2026, 10, {"0795", "0127", true}},
                  {Field::NjArOnly, 2026, 4, {"0795", "0726", true}},
                  {Field::NjArOnly, 2099, 11, {"0795", "0200", true}},
                  {Field::IssueYear, 2026, 12, {"2026", "2026", true}}};
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
    } picks[] = {{Field::County, "  ", "045", "045", ""},
                 {Field::County, "017", "045", "017", "045"},
                 {Field::SicCode, "", "1500", "1500", "1599"},
                 {Field::SicCode, "0700", "1500", "0700", "1599"},
                 {Field::SicCode, "", "1521", "1521", ""}};
    for (const auto& c : picks) {
        const auto range =
            CriterionEntry::afterPick(c.position, {c.from, ""}, c.code, "DESCRIPTION");
        EXPECT_EQ(range.from + "|" + range.thru, std::string(c.pickedFrom) + "|" + c.pickedThru)
            << c.position << " " << c.from << " " << c.code;
    }
}

} // namespace
} // namespace kora
