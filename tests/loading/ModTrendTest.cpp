#include "LoadTestFolder.h"

#include "loading/ModTrend.h"
#include "loading/UpdateRun.h"
#include "lookup/Criteria.h"
#include "lookup/QueryBuilder.h"

#include <gtest/gtest.h>

#include <charconv>
#include <optional>

namespace kora::test {
namespace {

struct StoredMod
{
    const char* effective;
    const char* expire;
    std::optional<double> mod;
};

// The shortest text that reads back as the very same number; "-" for none.
std::string exact(std::optional<double> number)
{
    if (!number)
        return "-";
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, *number).ptr);
}

// Latest, prior, change and years over of mods stored in the order given.
TEST(ModTrendValues, FollowTheOrderOfTheSummary)
{
    const std::pair<std::vector<StoredMod>, std::string> cases[] = {
        {{{"2025-03-01", "2026-03-01", 1.2}}, "1.2|-|-|1"},
        // Stored oldest first: the newest effective date still leads.
        {{{"2024-03-01", "2025-03-01", 0.95}, {"2025-03-01", "2026-03-01", 1.046}},
         "1.046|0.95|0.096|1"},
        {{{"2025-03-01", "2026-03-01", 0.88}, {"2024-03-01", "2025-03-01", 1.0}}, "0.88|1|-0.12|0"},
        // A mod of 1.000 or less ends the run of years over.
        {{{"2025-01-01", "2026-01-01", 1.1},
          {"2024-01-01", "2025-01-01", 1.05},
          {"2023-01-01", "2024-01-01", 0.99},
          {"2022-01-01", "2023-01-01", 1.3}},
         "1.1|1.05|0.05|2"},
        // Same effective date: the later expiration is the newer mod.
        {{{"2025-01-01", "2025-06-01", 1.0}, {"2025-01-01", "2026-01-01", 1.2}}, "1.2|1|0.2|1"},
        // A mod of 1.000 or less with the very same dates does not end the run.
        {{{"2025-01-01", "2026-01-01", 1.2}, {"2025-01-01", "2026-01-01", 0.9}}, "1.2|0.9|0.3|1"},
        // Merit codes are values above 1.000 to the criteria.
        {{{"2025-01-01", "2026-01-01", 9.885}, {"2024-01-01", "2025-01-01", 1.01}},
         "9.885|1.01|8.875|2"},
        {{{"2025-01-01", "2026-01-01", std::nullopt}, {"2024-01-01", "2025-01-01", 1.4}},
         "-|1.4|-|1"}};
    for (const auto& [mods, expected] : cases) {
        ModTrend trend;
        long long order = 0;
        for (const StoredMod& mod : mods)
            trend.add(mod.effective, mod.expire, mod.mod, ++order);
        EXPECT_EQ(exact(trend.latest()) + "|" + exact(trend.prior()) + "|" + exact(trend.change()) +
                      "|" + std::to_string(trend.yearsOver()),
                  expected);
    }
}

// MODTREND as text, one row a company: file, latest, prior, change, years.
Rows trendRows(LoadTestFolder& folder)
{
    return folder.rows("SELECT FILE, ROUND(LATEST, 3), ROUND(PRIOR, 3), ROUND(CHANGE, 3), "
                       "CAST(YEARSOVER AS INTEGER) FROM MODTREND ORDER BY FILE");
}

// The files a lookup condition selects.
Rows selected(LoadTestFolder& folder, const std::vector<SQLPARAMETER>& criteria)
{
    return folder.rows("SELECT FILE FROM PRIME WHERE " + QueryBuilder::condition(criteria) +
                       " ORDER BY FILE");
}

// MODTREND follows every load, and the database of an older release gets it
// filled from the mods it holds; the Mod Change and Years Mod Over lookups
// read it.
TEST(ModTrendLoad, FollowsEveryLoad)
{
    LoadTestFolder folder("PA");
    FixedRecord rising = company("1000001", "RISING CO").mod(0, "250101|250301|260301|1046");
    rising.mod(1, "240101|240301|250301|0950");
    const FixedRecord single = company("1000002", "SINGLE CO").mod(0, "250101|250301|260301|1200");
    FixedRecord none = company("1000003", "NO MODS CO");
    FixedRecord run = company("1000004", "RUN CO").mod(0, "250101|250301|260301|1100");
    run.mod(1, "240101|240301|250301|1050").mod(2, "230101|230301|240301|0990");
    // A company whose second record comes after another company's.
    FixedRecord split = company("1000005", "SPLIT CO");
    folder.loadCompanies({FixedRecord(split).mod(0, "230101|230301|240301|1300"), rising, single,
                          none, run, split.mod(0, "250101|250301|260301|1250")});
    const Rows loaded = {"1000001|1.046|0.95|0.096|1", "1000002|1.2|-|-|1", "1000003|-|-|-|0",
                         "1000004|1.1|1.05|0.05|2", "1000005|1.25|1.3|-0.05|2"};
    EXPECT_EQ(trendRows(folder), loaded);
    // The single mod has no change, so no range selects it, included or excluded.
    EXPECT_EQ(selected(folder, {criterion(FieldCatalogue::ModChange, "-9.999", "9.999")}),
              (Rows{"1000001", "1000004", "1000005"}));
    EXPECT_EQ(selected(folder, {criterion(FieldCatalogue::ModChange, "0.060", "9.999", true)}),
              (Rows{"1000004", "1000005"}));
    EXPECT_EQ(selected(folder, {criterion(FieldCatalogue::YearsModOver, "2", "99")}),
              (Rows{"1000004", "1000005"}));
    EXPECT_EQ(selected(folder, {criterion(FieldCatalogue::YearsModOver, "1", "99", true)}),
              (Rows{"1000003"}));

    folder.db().execute("DROP TABLE MODTREND; DROP TABLE LOADCHANGES");
    UpdateRun::addMissingTables(folder.db());
    EXPECT_EQ(trendRows(folder), loaded);
    EXPECT_EQ(folder.count("LOADCHANGES"), 0);
    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM sqlite_master WHERE name IN "
                           "('MODTREND_CHANGE', 'MODTREND_YEARS')"),
              Value(2));
    // Tables that are there stay as they are.
    folder.db().execute("DELETE FROM MODTREND WHERE FILE = '1000001'");
    UpdateRun::addMissingTables(folder.db());
    EXPECT_EQ(trendRows(folder).size(), loaded.size() - 1);

    // The newest mod of RISING falls; RUN's run ends on a mod of exactly 1.000.
    rising.mod(2, "260101|260301|270301|0900");
    run.mod(3, "260101|260301|270301|1000");
    none.mod(0, "260101|260301|270301|1010");
    folder.loadCompanies({rising, single, none, run});
    EXPECT_EQ(trendRows(folder), (Rows{"1000001|0.9|1.046|-0.146|0", "1000002|1.2|-|-|1",
                                       "1000003|1.01|-|-|1", "1000004|1|1.1|-0.1|0"}));
    EXPECT_EQ(selected(folder, {criterion(FieldCatalogue::ModChange, "-0.146", "-0.146")}),
              (Rows{"1000001"}));
    EXPECT_EQ(selected(folder, {criterion(FieldCatalogue::YearsModOver, "1", "1")}),
              (Rows{"1000002", "1000003"}));

    // A company gone from the file leaves no trend behind.
    folder.loadCompanies({single});
    EXPECT_EQ(trendRows(folder), (Rows{"1000002|1.2|-|-|1"}));
}

} // namespace
} // namespace kora::test
