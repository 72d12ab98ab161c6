#include "results/Breakdown.h"

#include "database/Schema.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

constexpr const char* kConnect = ";PWD=breakdown";

struct BreakdownCase
{
    const char* by;
    const char* condition;
    const char* text;
};

class BreakdownTest : public testing::TestWithParam<BreakdownCase>
{
protected:
    BreakdownTest()
    {
        Schema::createStateDatabase(folder.file("KORAPA.MDB"), kConnect, "PA");
        db.open(folder.file("KORAPA.MDB"), kConnect);
        db.execute("INSERT INTO SICCODES (CODE, DESC) VALUES ('1500', 'BUILDING CONSTRUCTION'), "
                   "('1521', 'HOUSES')");
        add("1", "003", "ALLEGHENY", "1521", 0.85, "2026-03-01", " ");
        add("2", "003", "ALLEGHENY", "1542", 1.0, "2026-03-15", " ");
        add("3", "101", "PHILADELPHIA", "5812", 1.24, "2026-11-30", " ");
        add("4", "101", "PHILADELPHIA", "5812", 1.25, "2026-11-01", " ");
        add("5", "101", "PHILADELPHIA", "5812", 0.95, "2026-11-01", "Y");
    }

    void add(const char* file, const char* county, const char* countyName, const char* sic,
             double mod, const char* expire, const char* omit)
    {
        db.prepare("INSERT INTO PRIME (FILE, SEQUENCE, COUNTY, COUNTYNAME, SIC, MOD, EXPIRE, "
                   "Omit) VALUES (?, '01', ?, ?, ?, ?, ?, ?)")
            .bindAll({file, county, countyName, sic, mod, expire, omit})
            .run();
    }

    TempFolder folder;
    Database db;
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
    EXPECT_EQ(counts.omitted, std::string(c.condition).empty() ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Groupings, BreakdownTest,
    testing::Values(
        BreakdownCase{"county", "", "003\tALLEGHENY\t2\n101\tPHILADELPHIA\t2\n"},
        BreakdownCase{"sic", "", "15\tBUILDING CONSTRUCTION\t2\n58\t\t2\n"},
        BreakdownCase{"modband", "",
                      "1\tbelow 0.90\t1\n3\t1.00-1.09\t1\n4\t1.10-1.24\t1\n5\t1.25 and above\t1\n"},
        BreakdownCase{"month", "", "03\tMarch\t2\n11\tNovember\t2\n"},
        BreakdownCase{"county", "[MOD] BETWEEN 1.000 AND 9.999",
                      "003\tALLEGHENY\t1\n101\tPHILADELPHIA\t2\n"},
        BreakdownCase{"month", "COUNTY NOT BETWEEN '101' AND '101'", "03\tMarch\t2\n"}));

TEST(BreakdownNames, AreTheFourOfTheCommandLine)
{
    Breakdown::By by{};
    EXPECT_FALSE(Breakdown::byName("zip", by));
    EXPECT_TRUE(Breakdown::byName("modband", by));
    EXPECT_EQ(by, Breakdown::By::ModBand);
}

} // namespace
} // namespace kora::test
