#include "lookup/Criteria.h"
#include "lookup/LookupTestDatabase.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

using F = FieldCatalogue;
using Names = std::vector<std::string>;

// How the criteria were first written: subqueries on MODS for each company.
// Kept here as the measure the trend table must give the same answers by.
const std::string kNewestMods = "FROM MODS AS M WHERE M.FILE = PRIME.FILE AND M.SEQUENCE = "
                                "PRIME.SEQUENCE ORDER BY M.EFFECTIVE DESC, M.EXPIRE DESC LIMIT 1 ";
const std::string kChangeBySubqueries = "ROUND((SELECT M.[MOD] " + kNewestMods +
                                        "OFFSET 0) - (SELECT M.[MOD] " + kNewestMods +
                                        "OFFSET 1), 3)";
const std::string kYearsBySubqueries =
    "(SELECT COUNT(*) FROM MODS AS M WHERE M.FILE = PRIME.FILE AND M.SEQUENCE = PRIME.SEQUENCE "
    "AND M.[MOD] > 1.000 AND NOT EXISTS (SELECT 1 FROM MODS AS B WHERE B.FILE = M.FILE AND "
    "B.SEQUENCE = M.SEQUENCE AND B.[MOD] <= 1.000 AND (B.EFFECTIVE > M.EFFECTIVE OR "
    "(B.EFFECTIVE = M.EFFECTIVE AND B.EXPIRE > M.EXPIRE))))";

struct RangeCase
{
    int position;
    const char* from;
    const char* thru;
    bool exclude;
    bool withZip;
};

class TrendCriteria : public testing::TestWithParam<RangeCase>
{
protected:
    // Companies with histories of every kind, their mods written newest last.
    void SetUp() override
    {
        add("1", "ONE MOD", "19001", {{"2025-01-01", "2026-01-01", "1.200"}});
        add("2", "NO MODS", "19002", {});
        add("3", "RISING", "19003",
            {{"2024-01-01", "2025-01-01", "0.950"}, {"2025-01-01", "2026-01-01", "1.046"}});
        add("4", "FALLING", "19304",
            {{"2023-01-01", "2024-01-01", "1.300"},
             {"2024-01-01", "2025-01-01", "1.000"},
             {"2025-01-01", "2026-01-01", "0.880"}});
        add("5", "LONG RUN", "19305",
            {{"2021-01-01", "2022-01-01", "0.990"},
             {"2022-01-01", "2023-01-01", "1.300"},
             {"2023-01-01", "2024-01-01", "1.050"},
             {"2024-01-01", "2025-01-01", "1.100"},
             {"2025-01-01", "2026-01-01", "1.100"}});
        // The mod of 1.000 or less shares its dates with one above: the run goes on.
        add("6", "SAME DATES", "19306",
            {{"2022-01-01", "2023-01-01", "1.400"},
             {"2023-01-01", "2024-01-01", "1.200"},
             {"2023-01-01", "2024-01-01", "0.800"},
             {"2024-01-01", "2025-01-01", "1.300"},
             {"2025-01-01", "2026-01-01", "1.150"}});
        add("7", "MERIT", "19307",
            {{"2024-01-01", "2025-01-01", "1.010"}, {"2025-01-01", "2026-01-01", "9.885"}});
        add("8", "STORED UNORDERED", "19308",
            {{"2025-01-01", "2026-01-01", "1.020"},
             {"2023-01-01", "2024-01-01", "0.700"},
             {"2024-01-01", "2025-01-01", "1.090"}});
    }

    void add(const std::string& file, const std::string& name, const std::string& zip,
             const std::vector<std::vector<std::string>>& mods)
    {
        m_data.addCompany({file, name, zip, "15", Value("2026-01-01"), Value(1.0), {}});
        for (const auto& mod : mods)
            m_data.db()
                .prepare("INSERT INTO MODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE, MOD) VALUES (?, "
                         "'01', ?, ?, ?)")
                .bindAll({file, mod[0], mod[1], std::stod(mod[2])})
                .run();
    }

    Names bySubqueries(const RangeCase& c)
    {
        std::string sql = "SELECT NAME1 FROM PRIME WHERE " +
                          (c.position == F::ModChange ? kChangeBySubqueries : kYearsBySubqueries) +
                          (c.exclude ? " NOT BETWEEN " : " BETWEEN ") + c.from + " AND " + c.thru;
        if (c.withZip)
            sql += " AND ZIP BETWEEN '19300' AND '19399'";
        Names names;
        Statement rows = m_data.db().prepare(sql + " ORDER BY NAME1");
        while (rows.step())
            names.push_back(rows.column(0).toString());
        return names;
    }

    LookupTestDatabase m_data{"PA"};
};

TEST_P(TrendCriteria, SelectWhatTheSubqueriesOnModsSelected)
{
    const RangeCase& c = GetParam();
    std::vector<SQLPARAMETER> criteria = {criterion(c.position, c.from, c.thru, c.exclude)};
    if (c.withZip)
        criteria.insert(criteria.begin(), criterion(F::ZipCode, "19300", "19399"));
    const Names expected = bySubqueries(c);
    EXPECT_EQ(m_data.select(criteria), expected);
}

INSTANTIATE_TEST_SUITE_P(Ranges, TrendCriteria,
                         testing::Values(RangeCase{F::ModChange, "0.001", "9.999", false, false},
                                         RangeCase{F::ModChange, "0.001", "9.999", true, false},
                                         RangeCase{F::ModChange, "-9.999", "-0.001", false, false},
                                         RangeCase{F::ModChange, "-9.999", "-0.001", true, false},
                                         RangeCase{F::ModChange, "0", "0", false, false},
                                         RangeCase{F::ModChange, "0", "0", true, false},
                                         RangeCase{F::ModChange, "0.096", "0.096", false, false},
                                         RangeCase{F::ModChange, "-0.120", "-0.120", false, false},
                                         RangeCase{F::ModChange, "-9.999", "9.999", false, false},
                                         RangeCase{F::ModChange, "-9.999", "9.999", true, false},
                                         RangeCase{F::ModChange, "-0.5", "0.5", false, true},
                                         RangeCase{F::ModChange, "-0.5", "0.5", true, true},
                                         RangeCase{F::YearsModOver, "0", "0", false, false},
                                         RangeCase{F::YearsModOver, "0", "0", true, false},
                                         RangeCase{F::YearsModOver, "1", "1", false, false},
                                         RangeCase{F::YearsModOver, "2", "2", false, false},
                                         RangeCase{F::YearsModOver, "3", "99", false, false},
                                         RangeCase{F::YearsModOver, "3", "99", true, false},
                                         RangeCase{F::YearsModOver, "0", "99", false, false},
                                         RangeCase{F::YearsModOver, "1", "99", false, true},
                                         RangeCase{F::YearsModOver, "1", "99", true, true}));

TEST_F(TrendCriteria, BothTrendsAtOnceMeetInOneSubquery)
{
    EXPECT_EQ(m_data.select(
                  {criterion(F::ModChange, "-9.999", "0"), criterion(F::YearsModOver, "1", "99")}),
              (Names{"LONG RUN", "SAME DATES", "STORED UNORDERED"}));
    EXPECT_EQ(m_data.select({criterion(F::ZipCode, "19300", "19399"),
                             criterion(F::ModChange, "-9.999", "0", true),
                             criterion(F::YearsModOver, "1", "99")}),
              (Names{"MERIT"}));
}

} // namespace
} // namespace kora::test
