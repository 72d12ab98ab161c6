#include "CompanyRecords.h"
#include "LoadTestFolder.h"

#include "loading/ModTrend.h"
#include "loading/UpdateRun.h"
#include "lookup/Criteria.h"
#include "lookup/QueryBuilder.h"

#include <gtest/gtest.h>

#include <optional>

namespace kora::test {
namespace {

using Rows = std::vector<std::string>;

struct StoredMod
{
    const char* effective;
    const char* expire;
    std::optional<double> mod;
};

struct TrendCase
{
    const char* name;
    std::vector<StoredMod> mods; // in the order stored
    std::optional<double> latest;
    std::optional<double> prior;
    std::optional<double> change;
    int yearsOver;
};

class ModTrendValues : public testing::TestWithParam<TrendCase>
{
};

TEST_P(ModTrendValues, FollowTheOrderOfTheSummary)
{
    const TrendCase& c = GetParam();
    ModTrend trend;
    long long order = 0;
    for (const StoredMod& mod : c.mods)
        trend.add(mod.effective, mod.expire, mod.mod, ++order);
    EXPECT_EQ(trend.latest(), c.latest);
    EXPECT_EQ(trend.prior(), c.prior);
    EXPECT_EQ(trend.change(), c.change);
    EXPECT_EQ(trend.yearsOver(), c.yearsOver);
}

INSTANTIATE_TEST_SUITE_P(
    Histories, ModTrendValues,
    testing::Values(
        TrendCase{
            "Single", {{"2025-03-01", "2026-03-01", 1.2}}, 1.2, std::nullopt, std::nullopt, 1},
        // Stored oldest first: the newest effective date still leads.
        TrendCase{"Rising",
                  {{"2024-03-01", "2025-03-01", 0.95}, {"2025-03-01", "2026-03-01", 1.046}},
                  1.046,
                  0.95,
                  0.096,
                  1},
        TrendCase{"Falling",
                  {{"2025-03-01", "2026-03-01", 0.88}, {"2024-03-01", "2025-03-01", 1.0}},
                  0.88,
                  1.0,
                  -0.12,
                  0},
        TrendCase{"BrokenRun",
                  {{"2025-01-01", "2026-01-01", 1.1},
                   {"2024-01-01", "2025-01-01", 1.05},
                   {"2023-01-01", "2024-01-01", 0.99},
                   {"2022-01-01", "2023-01-01", 1.3}},
                  1.1,
                  1.05,
                  0.05,
                  2},
        // Same effective date: the later expiration is the newer mod.
        TrendCase{"ExpirationBreaksTies",
                  {{"2025-01-01", "2025-06-01", 1.0}, {"2025-01-01", "2026-01-01", 1.2}},
                  1.2,
                  1.0,
                  0.2,
                  1},
        // A mod of 1.000 or less with the very same dates does not end the run.
        TrendCase{"SameDatesKeepTheRun",
                  {{"2025-01-01", "2026-01-01", 1.2}, {"2025-01-01", "2026-01-01", 0.9}},
                  1.2,
                  0.9,
                  0.3,
                  1},
        // Merit codes are values above 1.000 to the criteria.
        TrendCase{"MeritCode",
                  {{"2025-01-01", "2026-01-01", 9.885}, {"2024-01-01", "2025-01-01", 1.01}},
                  9.885,
                  1.01,
                  8.875,
                  2},
        TrendCase{"ModWithoutValue",
                  {{"2025-01-01", "2026-01-01", std::nullopt}, {"2024-01-01", "2025-01-01", 1.4}},
                  std::nullopt,
                  1.4,
                  std::nullopt,
                  1}),
    [](const testing::TestParamInfo<TrendCase>& info) { return std::string(info.param.name); });

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

void load(LoadTestFolder& folder, const std::vector<FixedRecord>& records)
{
    folder.write("DATAPA.DAT", records);
    folder.loader().loadCompanies();
}

class ModTrendLoad : public testing::Test
{
protected:
    void SetUp() override
    {
        putMod(m_rising, 0, "250101", "250301", "260301", "1046");
        putMod(m_rising, 1, "240101", "240301", "250301", "0950");
        putMod(m_single, 0, "250101", "250301", "260301", "1200");
        putMod(m_run, 0, "250101", "250301", "260301", "1100");
        putMod(m_run, 1, "240101", "240301", "250301", "1050");
        putMod(m_run, 2, "230101", "230301", "240301", "0990");
        // A company whose second record comes after another company's.
        putMod(m_splitFirst, 0, "230101", "230301", "240301", "1300");
        putMod(m_splitLater, 0, "250101", "250301", "260301", "1250");
    }

    LoadTestFolder m_folder{"PA"};
    FixedRecord m_rising = company("1000001", "01", "RISING CO");
    FixedRecord m_single = company("1000002", "01", "SINGLE CO");
    FixedRecord m_none = company("1000003", "01", "NO MODS CO");
    FixedRecord m_run = company("1000004", "01", "RUN CO");
    FixedRecord m_splitFirst = company("1000005", "01", "SPLIT CO");
    FixedRecord m_splitLater = company("1000005", "01", "SPLIT CO");
};

TEST_F(ModTrendLoad, HoldsEveryCompanyAfterALoad)
{
    load(m_folder, {m_splitFirst, m_rising, m_single, m_none, m_run, m_splitLater});
    EXPECT_EQ(trendRows(m_folder),
              (Rows{"1000001|1.046|0.95|0.096|1", "1000002|1.2|-|-|1", "1000003|-|-|-|0",
                    "1000004|1.1|1.05|0.05|2", "1000005|1.25|1.3|-0.05|2"}));
    // The single mod has no change, so no range selects it, included or excluded.
    EXPECT_EQ(selected(m_folder, {criterion(FieldCatalogue::ModChange, "-9.999", "9.999")}),
              (Rows{"1000001", "1000004", "1000005"}));
    EXPECT_EQ(selected(m_folder, {criterion(FieldCatalogue::ModChange, "0.060", "9.999", true)}),
              (Rows{"1000004", "1000005"}));
    EXPECT_EQ(selected(m_folder, {criterion(FieldCatalogue::YearsModOver, "2", "99")}),
              (Rows{"1000004", "1000005"}));
    EXPECT_EQ(selected(m_folder, {criterion(FieldCatalogue::YearsModOver, "1", "99", true)}),
              (Rows{"1000003"}));
}

TEST_F(ModTrendLoad, FollowsTheModsOfTheNextLoad)
{
    load(m_folder, {m_rising, m_single, m_none, m_run});
    // The newest mod of RISING falls; RUN's run ends on a mod of exactly 1.000.
    putMod(m_rising, 2, "260101", "260301", "270301", "0900");
    putMod(m_run, 3, "260101", "260301", "270301", "1000");
    putMod(m_none, 0, "260101", "260301", "270301", "1010");
    load(m_folder, {m_rising, m_single, m_none, m_run});
    EXPECT_EQ(trendRows(m_folder), (Rows{"1000001|0.9|1.046|-0.146|0", "1000002|1.2|-|-|1",
                                         "1000003|1.01|-|-|1", "1000004|1|1.1|-0.1|0"}));
    EXPECT_EQ(selected(m_folder, {criterion(FieldCatalogue::ModChange, "-0.146", "-0.146")}),
              (Rows{"1000001"}));
    EXPECT_EQ(selected(m_folder, {criterion(FieldCatalogue::YearsModOver, "1", "1")}),
              (Rows{"1000002", "1000003"}));

    // A company gone from the file leaves no trend behind.
    load(m_folder, {m_single});
    EXPECT_EQ(trendRows(m_folder), (Rows{"1000002|1.2|-|-|1"}));
}

TEST_F(ModTrendLoad, AnOlderDatabaseGetsTheTablesItLacks)
{
    load(m_folder, {m_splitFirst, m_rising, m_single, m_none, m_run, m_splitLater});
    const Rows loaded = trendRows(m_folder);
    m_folder.db().execute("DROP TABLE MODTREND; DROP TABLE LOADCHANGES");

    UpdateRun::addMissingTables(m_folder.db());
    EXPECT_EQ(trendRows(m_folder), loaded);
    EXPECT_EQ(m_folder.count("LOADCHANGES"), 0);
    EXPECT_EQ(m_folder.value("SELECT COUNT(*) FROM sqlite_master WHERE name IN "
                             "('MODTREND_CHANGE', 'MODTREND_YEARS')"),
              Value(2));

    // Tables that are there stay as they are.
    m_folder.db().execute("DELETE FROM MODTREND WHERE FILE = '1000001'");
    UpdateRun::addMissingTables(m_folder.db());
    EXPECT_EQ(trendRows(m_folder).size(), loaded.size() - 1);
}

} // namespace
} // namespace kora::test
