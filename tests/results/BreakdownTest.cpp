#include "results/Breakdown.h"

#include "support/BreakdownDatabase.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

struct BreakdownCase
{
    const char* by;
    const char* condition;
    const char* text;
    long long omitted; // companies the lookup selects that are marked to leave out
};

class BreakdownTest : public testing::TestWithParam<BreakdownCase>
{
protected:
    BreakdownDatabase data;
    Database& db = data.db();
};

TEST_P(BreakdownTest, CountsTheLookupsCompaniesByGroup)
{
    const BreakdownCase& c = GetParam();
    Breakdown::By by{};
    ASSERT_TRUE(Breakdown::byName(c.by, by));
    LookupStatement lookup;
    lookup.condition = c.condition;
    const Breakdown::Counts counts = Breakdown::count(db, lookup, by);
    EXPECT_EQ(Breakdown::text(counts.groups), c.text);
    EXPECT_EQ(counts.omitted, c.omitted);
}

INSTANTIATE_TEST_SUITE_P(
    Groupings, BreakdownTest,
    testing::Values(
        BreakdownCase{"county", "", "003\tALLEGHENY\t2\n101\tPHILADELPHIA\t2\n", 1},
        BreakdownCase{"sic", "", "15\tBUILDING CONSTRUCTION\t2\n58\t\t2\n", 1},
        BreakdownCase{"modband", "",
                      "1\tbelow 0.90\t1\n3\t1.00-1.09\t1\n4\t1.10-1.24\t1\n5\t1.25 and above\t1\n",
                      1},
        BreakdownCase{"month", "", "03\tMarch\t2\n11\tNovember\t2\n", 1},
        BreakdownCase{"county", "[MOD] BETWEEN 1.000 AND 9.999",
                      "003\tALLEGHENY\t1\n101\tPHILADELPHIA\t2\n", 0},
        BreakdownCase{"month", "COUNTY NOT BETWEEN '101' AND '101'", "03\tMarch\t2\n", 0},
        // The company left out is left out of a lookup's groups too.
        BreakdownCase{"county", "[MOD] BETWEEN 0.000 AND 0.999", "003\tALLEGHENY\t1\n", 1}));

TEST(BreakdownNames, AreTheFourOfTheCommandLine)
{
    Breakdown::By by{};
    EXPECT_FALSE(Breakdown::byName("zip", by));
    EXPECT_TRUE(Breakdown::byName("modband", by));
    EXPECT_EQ(by, Breakdown::By::ModBand);
}

} // namespace
} // namespace kora::test
