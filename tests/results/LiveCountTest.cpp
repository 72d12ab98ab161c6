#include "results/LiveCount.h"

#include "lookup/Criteria.h"
#include "lookup/LookupTestDatabase.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace kora::test {
namespace {

using namespace std::chrono_literals;
using F = FieldCatalogue;

// Collects what a live count reports, from its thread.
struct Reports
{
    LiveCount::Report report()
    {
        return [this](const LiveCount::Result& result) {
            const std::lock_guard lock(mutex);
            results.push_back(result);
            arrived.notify_all();
        };
    }
    // The reports once `count` arrived, or after ten seconds.
    std::vector<LiveCount::Result> waitFor(size_t count)
    {
        std::unique_lock lock(mutex);
        arrived.wait_for(lock, 10s, [&] { return results.size() >= count; });
        return results;
    }

    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<LiveCount::Result> results;
};

class LiveCountTest : public testing::Test
{
protected:
    LiveCountTest() : data("PA")
    {
        data.addCompany({"1000001", "ALPHA", "19001", "003", "2026-03-01", 0.85, {"5403"}});
        data.addCompany({"1000002", "BRAVO", "19002", "003", "2026-06-15", 1.10, {"8810"}});
        data.addCompany({"1000003", "CHARLIE", "19103", "101", "2026-11-30", 1.30, {"5403"}});
        data.addCompany({"1000004", "DELTA", "19104", "101", Value(), Value(), {}});
        data.addCompany({"1000005", "ECHO", "19105", "101", "2026-12-31", 0.99, {"9079"}});
    }

    LookupTestDatabase data;
    Reports reports;
};

TEST_F(LiveCountTest, CountsWhatTheLookupSelectsAndSaysSo)
{
    const std::vector<std::vector<SQLPARAMETER>> lookups = {
        {criterion(F::ExperienceMod, "1.000", "9.999", true)},
        {criterion(F::County, "101", "101"), criterion(F::ClassCode, "5403", "5403")},
        {criterion(F::ExpirationDate, "1101", "0331")},
        {criterion(F::ZipCode, "99999", "99999")},
    };
    LiveCount count(data.db().reader(), 0ms, reports.report());
    for (size_t i = 0; i < lookups.size(); ++i) {
        SCOPED_TRACE(i);
        const long long request = count.request(lookups[i]);
        const auto results = reports.waitFor(i + 1);
        ASSERT_EQ(results.size(), i + 1);
        EXPECT_EQ(results.back().request, request);
        EXPECT_EQ(results.back().error, "");
        EXPECT_EQ(results.back().companies, static_cast<long long>(data.select(lookups[i]).size()));
    }
    // No criteria count every company; a value that is no number says why.
    count.request({});
    EXPECT_EQ(reports.waitFor(lookups.size() + 1).back().companies, 5);
    count.request({criterion(F::ExperienceMod, "high", "9.999")});
    EXPECT_EQ(reports.waitFor(lookups.size() + 2).back().error,
              "The Experience Mod. value \"high\" is not a number.");
    EXPECT_EQ(LiveCount::text(0), "0 companies match");
    EXPECT_EQ(LiveCount::text(1), "1 company matches");
    EXPECT_EQ(LiveCount::text(300000), "300000 companies match");
}

TEST_F(LiveCountTest, OnlyTheNewestOfQuickRequestsReports)
{
    long long newest = 0;
    {
        LiveCount count(data.db().reader(), 200ms, reports.report());
        count.request({});
        count.request({criterion(F::County, "003", "003")});
        newest = count.request({criterion(F::County, "101", "101")});
        ASSERT_EQ(reports.waitFor(1).size(), 1u);
    }
    // The count has ended: whatever an older request would report is in.
    const auto results = reports.waitFor(1);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].request, newest);
    EXPECT_EQ(results[0].companies, 3);

    // A count that ends while its request still settles reports nothing.
    {
        LiveCount(data.db().reader(), 10s, reports.report()).request({});
    }
    EXPECT_EQ(reports.waitFor(1).size(), 1u);
}

} // namespace
} // namespace kora::test
