#include "results/CompanySummary.h"
#include "results/ModHistory.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

// Mods newest first, one a year back from 2026, as the mods grid holds them.
std::vector<ResultListData::Mod> mods(const std::vector<Value>& values)
{
    std::vector<ResultListData::Mod> list;
    int year = 2026;
    for (const Value& value : values) {
        const std::string date = std::to_string(year--) + "-07-01";
        list.push_back({date, date, date, value});
    }
    return list;
}

TEST(CompanySummary, ModTrendGivesLatestChangeAndYearsOver)
{
    const std::pair<std::vector<Value>, const char*> cases[] = {
        {{1.046, 1.0, 1.2}, "Latest mod 1.046, +0.046 from the prior mod, 1 year over 1.00"},
        {{0.88, 1.0}, "Latest mod 0.880, \u22120.120 from the prior mod, 0 years over 1.00"},
        {{1.1, 1.1, 1.3}, "Latest mod 1.100, 0.000 from the prior mod, 3 years over 1.00"},
        // A mod of 1.000 ends the run; older mods above it do not count.
        {{1.2, 1.15, 1.0, 1.4, 1.5},
         "Latest mod 1.200, +0.050 from the prior mod, 2 years over 1.00"},
        {{1.3}, "Latest mod 1.300, no prior mod, 1 year over 1.00"},
        {{}, "No mods on file"},
        // A merit rating or a mod without a value is no experience.
        {{9.886, 1.05, Value(), 0.95},
         "Latest mod 1.050, +0.100 from the prior mod, 1 year over 1.00"},
        {{8.888}, "No mods on file"}};
    for (const auto& [values, line] : cases)
        EXPECT_EQ(CompanySummary::modTrend(mods(values)), line);
}

TEST(ModHistory, PointsRunOldestFirst)
{
    const ModHistory history(mods({1.046, 9.884, 0.9}));
    ASSERT_EQ(history.oldestFirst().size(), 2u);
    EXPECT_EQ(history.oldestFirst()[0].effective, "2024-07-01");
    EXPECT_DOUBLE_EQ(history.oldestFirst()[0].mod, 0.9);
    EXPECT_EQ(history.oldestFirst()[1].effective, "2026-07-01");
    EXPECT_DOUBLE_EQ(history.oldestFirst()[1].mod, 1.046);
}

} // namespace
} // namespace kora::test
