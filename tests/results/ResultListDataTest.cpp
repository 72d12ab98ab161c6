#include "results/ResultListData.h"

#include "database/Schema.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

constexpr const char* kConnect = ";PWD=list1";

class ResultListDataTest : public ::testing::Test
{
protected:
    ResultListDataTest()
    {
        Schema::createStateDatabase(path(), kConnect, "PA");
        db.open(path(), kConnect);
    }

    std::string path() const { return folder.file("KORAPA.MDB"); }
    void addCompany(const char* file, const char* sequence, const char* name)
    {
        db.prepare("INSERT INTO PRIME (FILE, SEQUENCE, NAME1, Omit) VALUES (?, ?, ?, ' ')")
            .bindAll({Value(file), Value(sequence), Value(name)})
            .run();
    }
    void addMod(const char* file, const char* effective, const char* expire, double mod)
    {
        db.prepare("INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, MOD) "
                   "VALUES (?, '01', ?, ?, ?, ?)")
            .bindAll({Value(file), Value(effective), Value(effective), Value(expire), Value(mod)})
            .run();
    }
    std::string omitOf(const char* file)
    {
        Statement query = db.prepare("SELECT Omit FROM PRIME WHERE FILE = ?");
        query.bind(1, Value(file));
        return query.step() ? query.column(0).toString() : "missing";
    }

    TempFolder folder;
    Database db;
    ResultListData data{db};
};

TEST_F(ResultListDataTest, LookupRowsKeepTheLookupsConditionAndOrder)
{
    const LookupStatement lookup{"*", "ZIP >= '19000'", " ORDER BY NAME1"};
    EXPECT_EQ(ResultListData::lookupRowsQuery(lookup, "NAME1"),
              "SELECT rowid, NAME1 FROM PRIME WHERE ZIP >= '19000' ORDER BY NAME1");
    EXPECT_EQ(ResultListData::lookupRowsQuery(LookupStatement{}, "EXPIRE"),
              "SELECT rowid, substr(EXPIRE, 6, 2) || '/' || substr(EXPIRE, 9, 2) || '/' || "
              "substr(EXPIRE, 3, 2) FROM PRIME");
}

TEST_F(ResultListDataTest, OmitMarkIsSetAndTakenAwayForOneCompanyOnly)
{
    addCompany("100", "01", "ACME");
    addCompany("200", "01", "BETA");
    data.setOmit(Value("100"), Value("01"), true);
    EXPECT_EQ(omitOf("100"), "Y");
    EXPECT_EQ(omitOf("200"), " ");
    data.setOmit(Value("100"), Value("01"), false);
    EXPECT_EQ(omitOf("100"), " ");
}

TEST_F(ResultListDataTest, ModsComeNewestFirst)
{
    addMod("100", "2023-05-01", "2024-05-01", 0.95);
    addMod("100", "2025-05-01", "2026-05-01", 1.125);
    addMod("100", "2024-05-01", "2025-05-01", 1.0);
    addMod("300", "2026-01-01", "2027-01-01", 2.0);
    const auto mods = data.mods(Value("100"), Value("01"));
    ASSERT_EQ(mods.size(), 3u);
    EXPECT_EQ(mods[0].effective, "2025-05-01");
    EXPECT_DOUBLE_EQ(mods[0].mod.toDouble(), 1.125);
    EXPECT_EQ(mods[2].expire, "2024-05-01");
}

TEST_F(ResultListDataTest, DataVersionIsTheLoadDateAsMonthDayYear)
{
    db.execute("UPDATE VERSION SET Version = '2026-11-30'");
    EXPECT_EQ(data.dataVersion(), "11/30/2026");
    db.execute("DELETE FROM VERSION");
    EXPECT_EQ(data.dataVersion(), "");
}

} // namespace
} // namespace kora::test
