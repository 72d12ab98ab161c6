#include "database/SqlDialect.h"
#include "database/QueryRecordSet.h"
#include "database/RecordSetTestDatabase.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

TEST(SqlDialect, TranslatesTheOriginalFormsOnly)
{
    EXPECT_EQ(SqlDialect::translate("DELETE * FROM VERSION"), "DELETE FROM VERSION");
    EXPECT_EQ(SqlDialect::translate("delete  *  from NOTES"), "DELETE FROM NOTES");
    EXPECT_EQ(SqlDialect::translate("SELECT * FROM PRIME WHERE [MOD] NOT = 9.886 AND ZIP = '1'"),
              "SELECT * FROM PRIME WHERE NOT ([MOD] = 9.886) AND ZIP = '1'");
    EXPECT_EQ(SqlDialect::translate("SELECT * FROM PRIME WHERE MONTH(EXPIRE) NOT = 12"),
              "SELECT * FROM PRIME WHERE NOT (MONTH(EXPIRE) = 12)");
    EXPECT_EQ(SqlDialect::translate("SELECT * FROM PRIME WHERE NAME1 NOT = 'A NOT = B'"),
              "SELECT * FROM PRIME WHERE NOT (NAME1 = 'A NOT = B')");
    const std::string literal = "SELECT * FROM PRIME WHERE NAME1 = 'DELETE * FROM ''X'''";
    EXPECT_EQ(SqlDialect::translate(literal), literal);
}

TEST(SqlDialect, RunsOnTheEngineWithTheOriginalMeaning)
{
    RecordSetTestDatabase fixture;
    auto count = [&](const std::string& sql) {
        QueryRecordSet rows(fixture.db(), sql);
        return rows.recordCount();
    };
    EXPECT_EQ(count("SELECT * FROM PRIME WHERE MONTH(EXPIRE) = 12"), 2);
    EXPECT_EQ(count("SELECT * FROM PRIME WHERE MONTH(EXPIRE) = 12 AND DAY(EXPIRE) = 31"), 1);
    EXPECT_EQ(count("SELECT * FROM PRIME WHERE [MOD] = 9.886"), 1);
    EXPECT_EQ(count("SELECT * FROM PRIME WHERE [MOD] NOT = 9.886"), 3);
    EXPECT_EQ(count("SELECT * FROM PRIME WHERE NAME1 >= 'a' AND NAME1 <= 'b'"), 1);
    EXPECT_EQ(count("SELECT * FROM PRIME WHERE MONTH(NAME2) = 1"), 0);
    // A double-quoted word is never taken for a text.
    EXPECT_THROW(count("SELECT * FROM PRIME WHERE NAME1 = \"acme widgets\""), DbError);

    fixture.db().execute("DELETE * FROM PRIME");
    EXPECT_EQ(count("SELECT * FROM PRIME"), 0);
}

} // namespace
} // namespace kora::test
