#include "results/Breakdown.h"

#include "support/BreakdownDatabase.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

TEST(Breakdown, CountsTheLookupsCompaniesByGroupLeavingOutTheOmitted)
{
    // The last column: companies the lookup selects that are marked to leave out.
    const std::tuple<const char*, const char*, const char*, long long> cases[] = {
        {"county", "", "003\tALLEGHENY\t2\n101\tPHILADELPHIA\t2\n", 1},
        // Group 58 has no row of its own in the state's SIC table: its standard name.
        {"sic", "", "15\tBUILDING CONSTRUCTION\t2\n58\tEating and Drinking Places\t2\n", 1},
        {"modband", "",
         "1\tbelow 0.90\t1\n3\t1.00-1.09\t1\n4\t1.10-1.24\t1\n5\t1.25 and above\t1\n", 1},
        {"month", "", "03\tMarch\t2\n11\tNovember\t2\n", 1},
        {"county", "[MOD] BETWEEN 1.000 AND 9.999", "003\tALLEGHENY\t1\n101\tPHILADELPHIA\t2\n", 0},
        {"month", "COUNTY NOT BETWEEN '101' AND '101'", "03\tMarch\t2\n", 0},
        {"county", "[MOD] BETWEEN 0.000 AND 0.999", "003\tALLEGHENY\t1\n", 1}};
    BreakdownDatabase data;
    for (const auto& [name, condition, text, omitted] : cases) {
        SCOPED_TRACE(std::string(name) + " " + condition);
        Breakdown::By by{};
        ASSERT_TRUE(Breakdown::byName(name, by));
        LookupStatement lookup;
        lookup.condition = condition;
        const Breakdown::Counts counts = Breakdown::count(data.db(), lookup, by);
        EXPECT_EQ(Breakdown::text(counts.groups), text);
        EXPECT_EQ(counts.omitted, omitted);
    }
    Breakdown::By by{};
    EXPECT_FALSE(Breakdown::byName("zip", by));
}

} // namespace
} // namespace kora::test
