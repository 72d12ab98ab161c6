#include "database/DbError.h"
#include "database/ForwardCursor.h"
#include "database/QueryRecordSet.h"
#include "database/RecordSetTestDatabase.h"
#include "database/Transaction.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

long long companies(Database& db)
{
    return QueryRecordSet(db, "SELECT * FROM PRIME").recordCount();
}

TEST(Transaction, InnerUnitsAreSavepointsOfTheOuterOne)
{
    RecordSetTestDatabase fixture;
    Database& db = fixture.db();
    const long long before = companies(db);
    {
        Transaction outer(db);
        fixture.addCompany("2000001", "01", "Kept Inner", Value(), "2026-01-01", 1.0);
        {
            Transaction inner(db);
            fixture.addCompany("2000002", "01", "Committed Inner", Value(), "2026-01-01", 1.0);
            inner.commit();
        }
        {
            Transaction inner(db);
            fixture.addCompany("2000003", "01", "Abandoned Inner", Value(), "2026-01-01", 1.0);
        }
        EXPECT_TRUE(db.inTransaction());
        EXPECT_EQ(companies(db), before + 2);
        outer.commit();
    }
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(companies(db), before + 2);

    {
        Transaction outer(db);
        Transaction inner(db);
        fixture.addCompany("2000004", "01", "Lost With Outer", Value(), "2026-01-01", 1.0);
        inner.commit();
    }
    EXPECT_EQ(companies(db), before + 2);
}

TEST(Transaction, TellsWhetherItHasChangedRowsYet)
{
    RecordSetTestDatabase fixture;
    Database& db = fixture.db();
    EXPECT_FALSE(db.hasChangedRows());
    {
        Transaction outer(db);
        EXPECT_FALSE(db.hasChangedRows());
        {
            Transaction inner(db);
            EXPECT_FALSE(db.hasChangedRows());
            fixture.addCompany("2000001", "01", "Changed", Value(), "2026-01-01", 1.0);
            EXPECT_TRUE(db.hasChangedRows());
        }
        // Rolled back to the savepoint, yet the transaction has written.
        EXPECT_TRUE(db.hasChangedRows());
        outer.commit();
    }
    EXPECT_FALSE(db.hasChangedRows());
    Transaction next(db);
    EXPECT_FALSE(db.hasChangedRows());
}

TEST(ForwardCursor, WalksRowsOnceByNameOrPosition)
{
    RecordSetTestDatabase fixture;
    ForwardCursor rows(fixture.db(), "SELECT NAME1, MOD FROM PRIME ORDER BY NAME1");
    ASSERT_EQ(rows.fieldCount(), 2);
    EXPECT_EQ(rows.fieldName(1), "MOD");
    EXPECT_THROW(rows.field(0), DbError);
    ASSERT_TRUE(rows.next());
    EXPECT_EQ(rows.field("name1").toString(), "acme widgets");
    EXPECT_TRUE(rows.hasField("Mod"));
    EXPECT_FALSE(rows.hasField("CITY"));
    EXPECT_THROW(rows.field("CITY"), DbError);
    int count = 1;
    std::string last;
    while (rows.next()) {
        ++count;
        last = rows.field(0).toString();
    }
    EXPECT_EQ(count, companies(fixture.db()));
    EXPECT_EQ(last, "Zenith Labs");
    EXPECT_FALSE(rows.next());
}

} // namespace
} // namespace kora::test
