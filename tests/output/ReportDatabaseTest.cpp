#include "output/ReportDatabase.h"
#include "database/Installation.h"
#include "database/QueryRecordSet.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace kora::test {
namespace {

// Points the user's temporary folder at a test folder for one test.
class ScratchFolder
{
public:
    ScratchFolder() { setenv("TMPDIR", m_folder.path().c_str(), 1); }
    ~ScratchFolder() { unsetenv("TMPDIR"); }
    std::string file(const std::string& name) const { return m_folder.file(name); }

private:
    TempFolder m_folder;
};

long long rows(Database& db, const std::string& table)
{
    return QueryRecordSet(db, "SELECT * FROM " + table).recordCount();
}

TEST(ReportDatabase, EachRunStartsFromTheUntouchedTemplate)
{
    TempFolder program;
    Installation(program.path()).create(false);
    ScratchFolder temporary;
    ASSERT_EQ(ReportDatabase::scratchPath(), temporary.file("REPORT.MDB"));
    {
        Database scratch = ReportDatabase::openScratch(program.path());
        scratch.execute("INSERT INTO PRIME (FILE, SEQUENCE, MOD19, EXPIRE, NJAR, REVISED) "
                        "VALUES ('1234567', '01', 1.25, 1231, '03/25', 1)");
        EXPECT_EQ(rows(scratch, "PRIME"), 1);
    }
    Database again = ReportDatabase::openScratch(program.path());
    EXPECT_EQ(rows(again, "PRIME"), 0);
    Database templateDb(program.file("REPORT.MDB"), "");
    EXPECT_EQ(rows(templateDb, "PRIME"), 0);
}

TEST(ReportDatabase, FailsWithoutItsTemplate)
{
    const TempFolder program;
    const ScratchFolder temporary;
    EXPECT_THROW(ReportDatabase::openScratch(program.path()), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(temporary.file("REPORT.MDB")));
}

} // namespace
} // namespace kora::test
