#include "database/SqlDialect.h"
#include "database/QueryRecordSet.h"
#include "database/RecordSetTestDatabase.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

struct Translation
{
    std::string original;
    std::string translated;
};

class SqlDialectTranslation : public ::testing::TestWithParam<Translation>
{
};

TEST_P(SqlDialectTranslation, TranslatesTheOriginalFormsOnly)
{
    EXPECT_EQ(SqlDialect::translate(GetParam().original), GetParam().translated);
}

const std::string kLiteral = "SELECT * FROM PRIME WHERE NAME1 = 'DELETE * FROM ''X'''";
const std::string kDigits(50000, '7');
// A thousand alternatives in one group, as a lookup of a thousand zip ranges gives.
const std::string kZipGroup = [] {
    std::string group = "SELECT * FROM PRIME WHERE (ZIP BETWEEN '0' AND '0'";
    for (int zip = 1; zip < 1000; ++zip)
        group += " OR ZIP BETWEEN '" + std::to_string(zip) + "' AND '" + std::to_string(zip) + "'";
    return group + ")";
}();

INSTANTIATE_TEST_SUITE_P(
    Statements, SqlDialectTranslation,
    ::testing::Values(Translation{"DELETE * FROM VERSION", "DELETE FROM VERSION"},
                      Translation{"SELECT * FROM PRIME WHERE [MOD] NOT = 9.886 AND ZIP = '1'",
                                  "SELECT * FROM PRIME WHERE NOT ([MOD] = 9.886) AND ZIP = '1'"},
                      Translation{"SELECT * FROM PRIME WHERE NAME1 NOT = 'A NOT = B'",
                                  "SELECT * FROM PRIME WHERE NOT (NAME1 = 'A NOT = B')"},
                      Translation{"SELECT * FROM PRIME WHERE USER1 not = [USER2] AND 1 NOT = 2",
                                  "SELECT * FROM PRIME WHERE NOT (USER1 = [USER2]) AND 1 NOT = 2"},
                      Translation{kLiteral, kLiteral},
                      // Long statements are read in one walk, whatever their length.
                      Translation{kZipGroup, kZipGroup},
                      Translation{"SELECT * FROM PRIME WHERE F(" + kDigits + ") NOT = -1",
                                  "SELECT * FROM PRIME WHERE NOT (F(" + kDigits + ") = -1)"}));

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
