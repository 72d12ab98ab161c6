#include "database/Schema.h"
#include "support/StateDatabase.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

TEST(Schema, OnlyNewYorkHasAddressesAndEveryStateItsReferenceRows)
{
    StateDatabase ny("NY");
    StateDatabase pa("PA");
    EXPECT_TRUE(ny.db().tableExists("ADDRESSES"));
    EXPECT_FALSE(pa.db().tableExists("ADDRESSES"));
    const char* counted = "SELECT (SELECT COUNT(*) FROM pragma_table_info('PRIME')) || ' ' || "
                          "(SELECT COUNT(*) FROM sqlite_master WHERE type = 'index') || ' ' || "
                          "(SELECT COUNT(*) FROM EMPLOYEES) || ' ' || "
                          "(SELECT DESCRIPTION FROM EMPLOYEES WHERE CODE = '9') || ' ' || "
                          "(SELECT DESCRIPTION FROM SALES WHERE CODE = '1') || ' ' || "
                          "(SELECT group_concat(DESCRIPTION, '/') FROM "
                          "(SELECT DESCRIPTION FROM MERIT ORDER BY CODE DESC)) || ' ' || "
                          "(SELECT LENGTH(Version) FROM VERSION WHERE Dummy = '1')";
    EXPECT_EQ(pa.value(counted).toString(),
              std::string("44 15 10 1000+ Under 1 million Debit/Credit/Neutral/N/Q 10"));
}

} // namespace
} // namespace kora::test
