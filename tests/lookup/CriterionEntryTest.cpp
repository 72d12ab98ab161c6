#include "lookup/CriterionEntry.h"

#include "lookup/FieldCatalogue.h"

#include <gtest/gtest.h>

namespace kora {
namespace {

using Field = FieldCatalogue::Position;

struct StartCase
{
    int position;
    int year;
    int month;
    const char* from;
    const char* thru;
    bool hasThru;
};

class StartingRangeTest : public ::testing::TestWithParam<StartCase>
{
};

TEST_P(StartingRangeTest, FillsTheBoxesOfTheChosenField)
{
    const StartCase& c = GetParam();
    const CriterionEntry::Range range = CriterionEntry::startingRange(c.position, c.year, c.month);
    EXPECT_EQ(range.from, c.from);
    EXPECT_EQ(range.thru, c.thru);
    EXPECT_EQ(range.hasThru, c.hasThru);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, StartingRangeTest,
    ::testing::Values(StartCase{Field::ExpirationDate, 2026, 12, "0101", "1231", true},
                      StartCase{Field::ExperienceMod, 2026, 12, "0.000", "9.999", true},
                      StartCase{Field::MeritClass, 2026, 12, "", "", false},
                      StartCase{Field::LastUpdate, 2026, 12, "", "", false},
                      StartCase{Field::ZipCode, 2026, 12, "", "", true},
                      // Three months on, across the year end and within the year.
                      StartCase{Field::NjArOnly, 2026, 12, "0795", "0327", true},
                      StartCase{Field::NjArOnly, 2026, 10, "0795", "0127", true},
                      StartCase{Field::NjArOnly, 2026, 4, "0795", "0726", true},
                      StartCase{Field::NjArOnly, 2099, 11, "0795", "0200", true},
                      StartCase{Field::IssueYear, 2026, 12, "2026", "2026", true}));

struct PickCase
{
    int position;
    const char* from;
    const char* thru;
    const char* code;
    const char* description;
    const char* pickedFrom;
    const char* pickedThru;
};

class AfterPickTest : public ::testing::TestWithParam<PickCase>
{
};

TEST_P(AfterPickTest, PutsThePickedCodeInTheRange)
{
    const PickCase& c = GetParam();
    const CriterionEntry::Range range =
        CriterionEntry::afterPick(c.position, {c.from, c.thru}, c.code, c.description);
    EXPECT_EQ(range.from, c.pickedFrom);
    EXPECT_EQ(range.thru, c.pickedThru);
}

INSTANTIATE_TEST_SUITE_P(Picks, AfterPickTest,
                         ::testing::Values(
                             // An empty From takes the code; a From given leaves the code to Thru.
                             PickCase{Field::County, "", "", "045", "DELAWARE", "045", ""},
                             PickCase{Field::County, "  ", "", "045", "DELAWARE", "045", ""},
                             PickCase{Field::County, "017", "", "045", "DELAWARE", "017", "045"},
                             // A SIC group code stands for the whole group, as From and as Thru.
                             PickCase{Field::SicCode, "", "", "1500", "BUILDING", "1500", "1599"},
                             PickCase{Field::SicCode, "0700", "", "1500", "BUILDING", "0700",
                                      "1599"},
                             PickCase{Field::SicCode, "", "", "1521", "HOUSES", "1521", ""}));

} // namespace
} // namespace kora
