#include "database/DbError.h"
#include "database/ForwardCursor.h"
#include "database/RecordSetTestDatabase.h"
#include "database/Transaction.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

TEST(Transaction, InnerUnitsAreSavepointsOfTheOuterOne)
{
    RecordSetTestDatabase fixture;
    Database& db = fixture.db();
    const auto add = [&fixture](const char* file) {
        fixture.addCompany(file, "01", file, Value(), "2026-01-01", 1.0);
    };
    {
        Transaction outer(db);
        add("2000001");
        {
            Transaction inner(db);
            add("2000002");
            inner.commit();
        }
        {
            Transaction abandoned(db);
            add("2000003");
        }
        EXPECT_TRUE(db.inTransaction());
        EXPECT_EQ(fixture.companies(), 6);
        outer.commit();
    }
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(fixture.companies(), 6);
    {
        Transaction outer(db);
        Transaction inner(db);
        add("2000004");
        inner.commit();
    }
    db.begin();
    db.execute("DELETE * FROM PRIME");
    db.rollback();
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(fixture.companies(), 6);
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
    EXPECT_EQ(count, 4);
    EXPECT_EQ(last, "Zenith Labs");
    EXPECT_FALSE(rows.next());
}

} // namespace
} // namespace kora::test
