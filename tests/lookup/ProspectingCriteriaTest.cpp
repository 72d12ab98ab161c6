#include "lookup/Criteria.h"
#include "lookup/LookupTestDatabase.h"
#include "lookup/RenewalWindow.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace kora::test {
namespace {

using F = FieldCatalogue;
using Ranges = std::vector<std::pair<int, int>>;

TEST(RenewalWindow, GivesTheMonthDaysOfTheWindow)
{
    const struct
    {
        const char* today;
        int from;
        int thru;
        Ranges ranges;
    } windows[] = {{"2026-06-01", 0, 29, {{601, 630}}},
                   {"2026-12-20", 0, 30, {{101, 119}, {1220, 1231}}},
                   {"2026-01-01", 90, 120, {{401, 501}}},
                   // February 29 renews on March 1 in a year without one.
                   {"2027-02-20", 0, 10, {{220, 302}}},
                   {"2027-02-20", 0, 7, {{220, 227}}},
                   {"2028-02-28", 1, 1, {{229, 229}}},
                   {"2028-02-28", 2, 2, {{301, 301}}},
                   {"2026-03-02", 0, 365, {{101, 1231}}},
                   {"2026-03-02", 5, INT_MAX, {{101, 1231}}}};
    for (const auto& c : windows)
        EXPECT_EQ(RenewalWindow::monthDayRanges(c.today, c.from, c.thru), c.ranges)
            << c.today << " " << c.from << " " << c.thru;
}

// Companies with mod histories of every kind, renewals around the year end
// and two changes recorded by the latest load.
class ProspectingLookup : public testing::Test
{
protected:
    ProspectingLookup()
    {
        add("1", "RISING", "2027-01-05", "19001", {{2026, 1.046}, {2025, 1.000}});
        add("2", "FALLING", "2026-12-25", "19002", {{2026, 0.880}, {2025, 1.000}});
        add("3", "FLAT", "2026-06-15", "19003", {{2026, 0.950}, {2025, 0.950}});
        add("4", "SINGLE", "2024-02-29", "19304", {{2026, 1.200}});
        add("5", "BROKEN RUN", "2026-12-31", "19305",
            {{2026, 1.100}, {2025, 1.050}, {2024, 0.990}, {2023, 1.300}});
        add("6", "NO MODS", "2026-07-01", "19006", {});
        // The mod of 1.000 or less shares its dates with one above: the run goes on.
        add("7", "SAME DATES", "2026-07-01", "19307",
            {{2022, 1.400}, {2023, 1.200}, {2023, 0.800}, {2024, 1.300}, {2025, 1.150}});
        add("8", "STORED UNORDERED", "2026-07-01", "19308",
            {{2025, 1.020}, {2023, 0.700}, {2024, 1.090}});
        add("9", "MERIT", "2026-07-01", "19309", {{2024, 1.010}, {2025, 9.885}});
        m_data.db().execute("INSERT INTO LOADCHANGES (FILE, SEQUENCE, CHANGE) VALUES "
                            "('1', '01', 'New Company'), ('2', '01', 'New Mod')");
    }
    ~ProspectingLookup() override { unsetenv("KORA_TODAY"); }

    // Each mod is effective January 1 of its year, for a year.
    void add(const std::string& file, const std::string& name, const std::string& expire,
             const std::string& zip, const std::vector<std::pair<int, double>>& mods)
    {
        m_data.addCompany({file, name, zip, "15", expire, mods.empty() ? 1.0 : mods[0].second, {}});
        for (const auto& [year, mod] : mods)
            m_data.db()
                .prepare("INSERT INTO MODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE, MOD) VALUES (?, "
                         "'01', ?, ?, ?)")
                .bindAll({file, std::to_string(year) + "-01-01",
                          std::to_string(year + 1) + "-01-01", mod})
                .run();
    }

    LookupTestDatabase m_data{"PA"};
};

TEST_F(ProspectingLookup, SelectsTheCompaniesOfTheRange)
{
    const struct
    {
        std::vector<SQLPARAMETER> criteria;
        const char* names;
        const char* today = "2026-12-20";
    } cases[] = {
        {{criterion(F::RenewsWithin, "0", "30")}, "BROKEN RUN|FALLING|RISING"},
        {{criterion(F::RenewsWithin, "0", "30", true)},
         "FLAT|MERIT|NO MODS|SAME DATES|SINGLE|STORED UNORDERED"},
        {{criterion(F::RenewsWithin, "0", "4")}, "SINGLE", "2027-02-25"},
        {{criterion(F::RenewsWithin, "0", "3")}, "", "2027-02-25"},
        {{criterion(F::ModChange, "0.001", "9.999")}, "BROKEN RUN|MERIT|RISING"},
        {{criterion(F::ModChange, "-0.070", "-0.070")}, "STORED UNORDERED"},
        {{criterion(F::ModChange, "-9.999", "-0.001")}, "FALLING|SAME DATES|STORED UNORDERED"},
        {{criterion(F::ModChange, "0", "0")}, "FLAT"},
        {{criterion(F::ModChange, "0", "0", true)},
         "BROKEN RUN|FALLING|MERIT|RISING|SAME DATES|STORED UNORDERED"},
        {{criterion(F::YearsModOver, "1", "1")}, "RISING|SINGLE"},
        {{criterion(F::YearsModOver, "2", "2")}, "BROKEN RUN|MERIT|STORED UNORDERED"},
        {{criterion(F::YearsModOver, "3", "99")}, "SAME DATES"},
        {{criterion(F::YearsModOver, "1", "99", true)}, "FALLING|FLAT|NO MODS"},
        {{criterion(F::LastUpdate, "New Company", "New Company")}, "RISING"},
        {{criterion(F::LastUpdate, "New Mod", "New Mod")}, "FALLING"},
        {{criterion(F::LastUpdate, "Any Change", "Any Change")}, "FALLING|RISING"},
        {{criterion(F::LastUpdate, "Any Change", "Any Change", true)},
         "BROKEN RUN|FLAT|MERIT|NO MODS|SAME DATES|SINGLE|STORED UNORDERED"},
        {{criterion(F::ZipCode, "19300", "19399"), criterion(F::YearsModOver, "1", "99")},
         "BROKEN RUN|MERIT|SAME DATES|SINGLE|STORED UNORDERED"},
        {{criterion(F::ExperienceMod, "1.000", "9.999"), criterion(F::RenewsWithin, "0", "30"),
          criterion(F::ModChange, "0.001", "9.999"),
          criterion(F::LastUpdate, "Any Change", "Any Change", true)},
         "BROKEN RUN"},
        // Both trends at once meet in one subquery.
        {{criterion(F::ModChange, "-9.999", "0"), criterion(F::YearsModOver, "1", "99")},
         "SAME DATES|STORED UNORDERED"},
        {{criterion(F::ZipCode, "19300", "19399"), criterion(F::ModChange, "-9.999", "0", true),
          criterion(F::YearsModOver, "1", "99")},
         "BROKEN RUN|MERIT"}};
    for (const auto& c : cases) {
        setenv("KORA_TODAY", c.today, 1);
        EXPECT_EQ(m_data.names(c.criteria), c.names)
            << c.today << " " << c.criteria[0].SQLFIELD << " " << c.criteria[0].SQLFROM;
    }
}

} // namespace
} // namespace kora::test
