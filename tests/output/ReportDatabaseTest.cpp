#include "output/ReportDatabase.h"
#include "database/Installation.h"
#include "database/QueryRecordSet.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace kora::test {
namespace {

class ReportDatabaseTest : public ::testing::Test
{
protected:
    void SetUp() override { setenv("TMPDIR", temporary.path().c_str(), 1); }
    void TearDown() override { unsetenv("TMPDIR"); }

    TempFolder program;
    TempFolder temporary;
};

long long rows(Database& db)
{
    return QueryRecordSet(db, "SELECT * FROM PRIME").recordCount();
}

TEST_F(ReportDatabaseTest, EachRunStartsFromTheUntouchedTemplate)
{
    Installation(program.path()).create(false);
    ASSERT_EQ(ReportDatabase::scratchPath(), temporary.file("REPORT.MDB"));
    {
        Database scratch = ReportDatabase::openScratch(program.path());
        scratch.execute("INSERT INTO PRIME (FILE, SEQUENCE, MOD19, EXPIRE, NJAR, REVISED) "
                        "VALUES ('1234567', '01', 1.25, 1231, '03/25', 1)");
        EXPECT_EQ(rows(scratch), 1);
    }
    Database again = ReportDatabase::openScratch(program.path());
    EXPECT_EQ(rows(again), 0);
    Database templateDb(program.file("REPORT.MDB"), "");
    EXPECT_EQ(rows(templateDb), 0);
}

TEST_F(ReportDatabaseTest, FailsWithoutItsTemplate)
{
    EXPECT_THROW(ReportDatabase::openScratch(program.path()), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(temporary.file("REPORT.MDB")));
}

} // namespace
} // namespace kora::test
