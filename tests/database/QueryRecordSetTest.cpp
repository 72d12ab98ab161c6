#include "database/QueryRecordSet.h"
#include "database/RecordSetTestDatabase.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

TEST(QueryRecordSet, MovesCountsAndReadsFields)
{
    RecordSetTestDatabase fixture;
    QueryRecordSet rows(fixture.db(), "SELECT * FROM PRIME ORDER BY NAME1");
    ASSERT_FALSE(rows.eof());
    EXPECT_EQ(rows.field("NAME1").toString(), "acme widgets");
    EXPECT_EQ(rows.recordCount(), 4);
    rows.moveLast();
    EXPECT_EQ(rows.field("name1").toString(), "Zenith Labs");
    EXPECT_EQ(rows.field("MOD").toDouble(), 9.886);
    rows.moveNext();
    EXPECT_TRUE(rows.eof());
    rows.moveFirst();
    rows.movePrevious();
    EXPECT_TRUE(rows.bof());

    QueryRecordSet empty(fixture.db(), "SELECT * FROM PRIME WHERE 0");
    EXPECT_TRUE(empty.eof());
    EXPECT_TRUE(empty.bof());
    EXPECT_EQ(empty.recordCount(), 0);
}

TEST(QueryRecordSet, FindsByCriteriaText)
{
    RecordSetTestDatabase fixture;
    QueryRecordSet rows(fixture.db(), "SELECT FILE, SEQUENCE, NAME1 FROM PRIME ORDER BY FILE, "
                                      "SEQUENCE");
    ASSERT_TRUE(rows.findFirst("FILE = '1000002'"));
    EXPECT_EQ(rows.field("SEQUENCE").toString(), "01");
    ASSERT_TRUE(rows.findNext("FILE = '1000002'"));
    EXPECT_EQ(rows.field("SEQUENCE").toString(), "02");
    EXPECT_FALSE(rows.findNext("FILE = '1000002'"));
    EXPECT_TRUE(rows.noMatch());
    EXPECT_EQ(rows.field("SEQUENCE").toString(), "02");
    ASSERT_TRUE(rows.findPrevious("NAME1 >= 'SMITH'"));
    EXPECT_EQ(rows.field("NAME1").toString(), "SMITH TOOL CO");
    // Text compares without regard to case, as in the tables.
    ASSERT_TRUE(rows.findFirst("NAME1 = 'ZENITH LABS'"));
    EXPECT_EQ(rows.field("FILE").toString(), "1000002");
    EXPECT_FALSE(rows.findFirst("NAME1 = 'O''Brien'"));
}

} // namespace
} // namespace kora::test
