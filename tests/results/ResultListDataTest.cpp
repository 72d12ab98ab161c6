#include "results/ResultListData.h"

#include "results/UserDataChanges.h"

#include "support/StateDatabase.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

TEST(ResultListData, LookupRowsKeepTheLookupsConditionAndOrder)
{
    const LookupStatement lookup{"*", "ZIP >= '19000'", " ORDER BY NAME1"};
    EXPECT_EQ(ResultListData::lookupRowsQuery(lookup, "NAME1"),
              "SELECT rowid, NAME1 FROM PRIME WHERE ZIP >= '19000' ORDER BY NAME1");
    EXPECT_EQ(ResultListData::lookupRowsQuery(LookupStatement{}, "EXPIRE"),
              "SELECT rowid, substr(EXPIRE, 6, 2) || '/' || substr(EXPIRE, 9, 2) || '/' || "
              "substr(EXPIRE, 3, 2) FROM PRIME");
}

TEST(ResultListData, OmitMarkModsAndDataVersionOfTheDatabase)
{
    StateDatabase state;
    ResultListData data(state.db());
    state.db().execute("INSERT INTO PRIME (FILE, SEQUENCE, NAME1, Omit) VALUES "
                       "('100', '01', 'ACME', ' '), ('200', '01', 'BETA', ' ')");
    const auto omits = [&state] {
        return state.value("SELECT group_concat(Omit, '|') FROM PRIME ORDER BY FILE");
    };
    const long long before = UserDataChanges::count();
    data.setOmit(Value("100"), Value("01"), true);
    EXPECT_EQ(omits(), Value("Y| "));
    EXPECT_EQ(UserDataChanges::count() - before, 1);
    data.setOmit(Value("100"), Value("01"), false);
    EXPECT_EQ(omits(), Value(" | "));

    state.db().execute("INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, MOD) VALUES "
                       "('100', '01', '2023-05-01', '2023-05-01', '2024-05-01', 0.95), "
                       "('100', '01', '2025-05-01', '2025-05-01', '2026-05-01', 1.125), "
                       "('100', '01', '2024-05-01', '2024-05-01', '2025-05-01', 1.0), "
                       "('300', '01', '2026-01-01', '2026-01-01', '2027-01-01', 2.0)");
    const auto mods = data.mods(Value("100"), Value("01"));
    ASSERT_EQ(mods.size(), 3u);
    EXPECT_EQ(mods[0].effective, "2025-05-01");
    EXPECT_DOUBLE_EQ(mods[0].mod.toDouble(), 1.125);
    EXPECT_EQ(mods[2].expire, "2024-05-01");

    state.db().execute("UPDATE VERSION SET Version = '2026-11-30'");
    EXPECT_EQ(data.dataVersion(), "11/30/2026");
    state.db().execute("DELETE FROM VERSION");
    EXPECT_EQ(data.dataVersion(), "");
}

} // namespace
} // namespace kora::test
