#include "lookup/Criteria.h"
#include "lookup/LookupTestDatabase.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

using F = FieldCatalogue;

// Companies of every kind of value a lookup field compares, one without mods.
class LookupResultsTest : public ::testing::Test
{
protected:
    LookupResultsTest() : m_data("PA")
    {
        m_data.addCompany(
            {"1000007", "ACME TOOL", "19010", "15", "2024-12-15", 1.25, {"8810", "5183"}});
        m_data.addCompany(
            {"1000006", "BAKER'S DOZEN", "19350", "23", "2025-01-20", 0.95, {"5183"}});
        m_data.addCompany({"1000005", "CARSON STEEL", "15001", "02", "2025-03-10", 1.5, {"3632"}});
        m_data.addCompany({"1000004", "delta labs", "19099", "15", "2024-11-01", 9.886, {"8810"}});
        m_data.addCompany({"1000003", "EVANS FARM", "19200", "46", "2025-02-28", 0.8, {"0005"}});
        m_data.addCompany(
            {"1000002", "FOX & HOUND", "19300", "46", "2025-06-30", 2.0, {"8810", "3632"}});
        m_data.addCompany({"1000001", "GRAY CO", "19400", "02", Value(), Value(), {}});
    }

    LookupTestDatabase m_data;
};

TEST_F(LookupResultsTest, EachFieldSelectsTheCompaniesItMeans)
{
    const std::pair<std::vector<SQLPARAMETER>, std::string> cases[] = {
        {{criterion(F::ExpirationDate, "1101", "0228")},
         "ACME TOOL|BAKER'S DOZEN|delta labs|EVANS FARM"},
        {{criterion(F::ExpirationDate, "1101", "0228", true)}, "CARSON STEEL|FOX & HOUND"},
        {{criterion(F::ExperienceMod, "1.250", "2.000")}, "ACME TOOL|CARSON STEEL|FOX & HOUND"},
        {{criterion(F::ExperienceMod, "1.000", "9.999", true)}, "BAKER'S DOZEN|EVANS FARM"},
        {{criterion(F::MeritClass, "Debit", "")}, "delta labs"},
        {{criterion(F::ClassCode, "8810", "8810"), criterion(F::ClassCode, "3632", "3632", true)},
         "ACME TOOL|delta labs"},
        {{criterion(F::ClassCode, "5000", "9999", true)}, "CARSON STEEL|EVANS FARM|GRAY CO"},
        // Text ranges compare without regard to case; a quote is part of the value.
        {{criterion(F::EmployerName, "baker's dozen", "DELTA LABS")},
         "BAKER'S DOZEN|CARSON STEEL|delta labs"},
        {{criterion(F::EmployerName, "Z' OR 'x'='x", "Z")}, ""},
        {{criterion(F::ZipCode, "19000", "19099"), criterion(F::ZipCode, "19300", "19399"),
          criterion(F::ExperienceMod, "1.000", "9.999"), criterion(F::County, "15", "15", true)},
         "FOX & HOUND"}};
    for (const auto& [criteria, names] : cases)
        EXPECT_EQ(m_data.names(criteria), names) << criteria[0].SQLFIELD;
}

TEST_F(LookupResultsTest, ClassRangesAreReadThroughAnIndex)
{
    Statement plan = m_data.db().prepare(
        "EXPLAIN QUERY PLAN SELECT * FROM PRIME WHERE FILESEQ IN (SELECT FILESEQ FROM CLASS WHERE "
        "CLASS BETWEEN '8810' AND '8899') AND FILESEQ NOT IN (SELECT FILESEQ FROM CLASS WHERE "
        "CLASS BETWEEN '3632' AND '3632')");
    int classSearches = 0;
    while (plan.step()) {
        const std::string detail = plan.column(3).toString();
        EXPECT_EQ(detail.find("SCAN CLASS"), std::string::npos) << detail;
        if (detail.find("SEARCH CLASS USING COVERING INDEX") != std::string::npos)
            ++classSearches;
    }
    EXPECT_EQ(classSearches, 2);
}

} // namespace
} // namespace kora::test
