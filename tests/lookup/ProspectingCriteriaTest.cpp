#include "lookup/Criteria.h"
#include "lookup/CriterionRules.h"
#include "lookup/LookupTestDatabase.h"
#include "lookup/RenewalWindow.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace kora::test {
namespace {

using F = FieldCatalogue;
using Names = std::vector<std::string>;
using Ranges = std::vector<std::pair<int, int>>;

struct WindowCase
{
    const char* today;
    int from;
    int thru;
    Ranges ranges;
};

class RenewalWindowTest : public testing::TestWithParam<WindowCase>
{
};

TEST_P(RenewalWindowTest, GivesTheMonthDaysOfTheWindow)
{
    const WindowCase& c = GetParam();
    EXPECT_EQ(RenewalWindow::monthDayRanges(c.today, c.from, c.thru), c.ranges);
}

INSTANTIATE_TEST_SUITE_P(Windows, RenewalWindowTest,
                         testing::Values(WindowCase{"2026-06-01", 0, 29, {{601, 630}}},
                                         WindowCase{"2026-06-20", 0, 30, {{620, 720}}},
                                         WindowCase{
                                             "2026-12-20", 0, 30, {{101, 119}, {1220, 1231}}},
                                         WindowCase{"2026-01-01", 90, 120, {{401, 501}}},
                                         // February 29 renews on March 1 in a year without one.
                                         WindowCase{"2027-02-20", 0, 10, {{220, 302}}},
                                         WindowCase{"2027-02-20", 0, 7, {{220, 227}}},
                                         WindowCase{"2028-02-28", 1, 1, {{229, 229}}},
                                         WindowCase{"2028-02-28", 2, 2, {{301, 301}}},
                                         WindowCase{"2026-03-02", 0, 365, {{101, 1231}}},
                                         WindowCase{"2026-03-02", 5, INT_MAX, {{101, 1231}}}));

struct RuleCase
{
    int position;
    const char* from;
    const char* thru;
    const char* message;
};

class ProspectingRulesTest : public testing::TestWithParam<RuleCase>
{
};

TEST_P(ProspectingRulesTest, RefusesBadValuesWithTheirMessage)
{
    const RuleCase& c = GetParam();
    const auto accepted = CriterionRules::accept(c.position, "PA", c.from, c.thru, false, {});
    EXPECT_EQ(accepted.message, c.message);
    EXPECT_EQ(accepted.criterion.has_value(), std::string(c.message).empty());
}

const char* const kDays = "Days must be whole numbers from 0 to 366!";
const char* const kChange = "Mod change must be a number from -9.999 to 9.999!";
const char* const kYears = "Years must be whole numbers from 0 to 99!";
const char* const kOrder = "From must not be above Thru!";

INSTANTIATE_TEST_SUITE_P(
    Values, ProspectingRulesTest,
    testing::Values(
        RuleCase{F::RenewsWithin, "90", "120", ""}, RuleCase{F::RenewsWithin, "0", "366", ""},
        RuleCase{F::RenewsWithin, "30", "", ""}, RuleCase{F::RenewsWithin, "ninety", "120", kDays},
        RuleCase{F::RenewsWithin, "1.5", "20", kDays}, RuleCase{F::RenewsWithin, "0", "367", kDays},
        RuleCase{F::RenewsWithin, "-1", "10", kDays},
        RuleCase{F::RenewsWithin, "120", "90", kOrder},
        RuleCase{F::ModChange, "-0.120", "0.046", ""},
        RuleCase{F::ModChange, "-9.999", "9.999", ""}, RuleCase{F::ModChange, "up", "1", kChange},
        RuleCase{F::ModChange, "0", "10", kChange}, RuleCase{F::ModChange, "0.1", "-0.1", kOrder},
        RuleCase{F::YearsModOver, "2", "99", ""}, RuleCase{F::YearsModOver, "2", "100", kYears},
        RuleCase{F::YearsModOver, "x", "", kYears}, RuleCase{F::YearsModOver, "5", "3", kOrder},
        RuleCase{F::LastUpdate, "New Company", "", ""}, RuleCase{F::LastUpdate, "New Mod", "", ""},
        RuleCase{F::LastUpdate, "Any Change", "", ""},
        RuleCase{F::LastUpdate, "new company", "",
                 "Changed in Last Update must be New Company, New Mod or Any "
                 "Change!"}));

TEST(ProspectingRules, TakeOnePlaceEachAfterTheOriginalFields)
{
    const std::vector<SQLPARAMETER> chosen = {criterion(F::ModChange, "0", "1")};
    EXPECT_EQ(CriterionRules::accept(F::ModChange, "PA", "0", "1", false, chosen).message,
              "This field cannot be used more than once in a search.");
    const auto accepted = CriterionRules::accept(F::LastUpdate, "PA", "New Mod", "", true, {});
    ASSERT_TRUE(accepted.criterion);
    EXPECT_EQ(accepted.criterion->SQLFIELD, "Changed in Last Update");
    EXPECT_EQ(accepted.criterion->SQLEXPR, "LASTUPDATE");
    EXPECT_EQ(accepted.criterion->SQLTHRU, "New Mod");
    EXPECT_TRUE(accepted.criterion->SQLEXCLUDE);
}

// Five companies with mod histories, renewals around the year end and two
// changes recorded by the latest load; today is December 20, 2026.
class ProspectingLookupTest : public testing::Test
{
protected:
    void SetUp() override
    {
        setenv("KORA_TODAY", "2026-12-20", 1);
        add("1", "RISING", "2027-01-05", "19001", {1.046, 1.000});
        add("2", "FALLING", "2026-12-25", "19002", {0.880, 1.000});
        add("3", "FLAT", "2026-06-15", "19003", {0.950, 0.950});
        add("4", "SINGLE", "2024-02-29", "19304", {1.200});
        add("5", "BROKEN RUN", "2026-12-31", "19305", {1.100, 1.050, 0.990, 1.300});
        m_data.db().execute("INSERT INTO LOADCHANGES (FILE, SEQUENCE, CHANGE) VALUES "
                            "('1', '01', 'New Company'), ('2', '01', 'New Mod')");
    }
    void TearDown() override { unsetenv("KORA_TODAY"); }

    // Mods newest first, one year apart, each expiring a year after it takes effect.
    void add(const std::string& file, const std::string& name, const std::string& expire,
             const std::string& zip, const std::vector<double>& mods)
    {
        m_data.addCompany({file, name, zip, "15", expire, mods.front(), {}});
        int year = 2026;
        for (double mod : mods) {
            m_data.db()
                .prepare("INSERT INTO MODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE, MOD) VALUES (?, "
                         "'01', ?, ?, ?)")
                .bindAll({file, std::to_string(year) + "-01-01",
                          std::to_string(year + 1) + "-01-01", mod})
                .run();
            --year;
        }
    }

    LookupTestDatabase m_data{"PA"};
};

TEST_F(ProspectingLookupTest, RenewalWindowsFromToday)
{
    EXPECT_EQ(m_data.select({criterion(F::RenewsWithin, "0", "30")}),
              (Names{"BROKEN RUN", "FALLING", "RISING"}));
    EXPECT_EQ(m_data.select({criterion(F::RenewsWithin, "0", "30", true)}),
              (Names{"FLAT", "SINGLE"}));
    EXPECT_EQ(m_data.select({criterion(F::RenewsWithin, "5", "11")}),
              (Names{"BROKEN RUN", "FALLING"}));
    setenv("KORA_TODAY", "2027-02-25", 1);
    EXPECT_EQ(m_data.select({criterion(F::RenewsWithin, "0", "4")}), (Names{"SINGLE"}));
    EXPECT_EQ(m_data.select({criterion(F::RenewsWithin, "0", "3")}), (Names{}));
}

TEST_F(ProspectingLookupTest, ModChangeFromThePriorMod)
{
    EXPECT_EQ(m_data.select({criterion(F::ModChange, "0.001", "9.999")}),
              (Names{"BROKEN RUN", "RISING"}));
    EXPECT_EQ(m_data.select({criterion(F::ModChange, "0.046", "0.046")}), (Names{"RISING"}));
    EXPECT_EQ(m_data.select({criterion(F::ModChange, "-9.999", "-0.001")}), (Names{"FALLING"}));
    EXPECT_EQ(m_data.select({criterion(F::ModChange, "0", "0")}), (Names{"FLAT"}));
    // A single mod has no change, included or excluded.
    EXPECT_EQ(m_data.select({criterion(F::ModChange, "0", "0", true)}),
              (Names{"BROKEN RUN", "FALLING", "RISING"}));
}

TEST_F(ProspectingLookupTest, YearsOverOneCountTheNewestRun)
{
    EXPECT_EQ(m_data.select({criterion(F::YearsModOver, "1", "1")}), (Names{"RISING", "SINGLE"}));
    EXPECT_EQ(m_data.select({criterion(F::YearsModOver, "2", "99")}), (Names{"BROKEN RUN"}));
    EXPECT_EQ(m_data.select({criterion(F::YearsModOver, "0", "0")}), (Names{"FALLING", "FLAT"}));
    EXPECT_EQ(m_data.select({criterion(F::YearsModOver, "1", "99", true)}),
              (Names{"FALLING", "FLAT"}));
}

TEST_F(ProspectingLookupTest, ChangesOfTheLastUpdate)
{
    EXPECT_EQ(m_data.select({criterion(F::LastUpdate, "New Company", "New Company")}),
              (Names{"RISING"}));
    EXPECT_EQ(m_data.select({criterion(F::LastUpdate, "New Mod", "New Mod")}), (Names{"FALLING"}));
    EXPECT_EQ(m_data.select({criterion(F::LastUpdate, "Any Change", "Any Change")}),
              (Names{"FALLING", "RISING"}));
    EXPECT_EQ(m_data.select({criterion(F::LastUpdate, "Any Change", "Any Change", true)}),
              (Names{"BROKEN RUN", "FLAT", "SINGLE"}));
}

TEST_F(ProspectingLookupTest, CombineWithTheOriginalFields)
{
    EXPECT_EQ(m_data.select(
                  {criterion(F::ZipCode, "19300", "19399"), criterion(F::YearsModOver, "1", "99")}),
              (Names{"BROKEN RUN", "SINGLE"}));
    EXPECT_EQ(m_data.select({criterion(F::ExperienceMod, "1.000", "9.999"),
                             criterion(F::RenewsWithin, "0", "30"),
                             criterion(F::ModChange, "0.001", "9.999"),
                             criterion(F::LastUpdate, "Any Change", "Any Change", true)}),
              (Names{"BROKEN RUN"}));
    EXPECT_EQ(m_data.select({criterion(F::County, "15", "15"),
                             criterion(F::ExpirationDate, "1201", "0131"),
                             criterion(F::ModChange, "-9.999", "0")}),
              (Names{"FALLING"}));
}

} // namespace
} // namespace kora::test
