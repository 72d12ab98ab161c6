#include "results/CompanyRecord.h"

#include "database/DbError.h"
#include "lookup/QueryBuilder.h"
#include "results/OrderedCompanies.h"
#include "results/ResultListData.h"
#include "results/RowReader.h"
#include "results/UserDataChanges.h"

#include "support/StateDatabase.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace kora::test {
namespace {

class CompanyRecordTest : public ::testing::Test, public StateDatabase
{
protected:
    CompanyRecordTest()
    {
        db().execute("INSERT INTO PRIME (FILE, SEQUENCE, NAME1, SIC, User1) VALUES "
                     "('1000001', '02', 'SECOND CO', '1799', 'X'), "
                     "('1000001', '01', 'FIRST CO', '1521', NULL), "
                     "('1000002', '01', 'OTHER FILE', '9999', NULL)");
        db().execute("INSERT INTO SICCODES (CODE, DESC) VALUES ('1521', 'HOME BUILDERS')");
        db().execute("INSERT INTO CLASS (FILE, SEQUENCE, CLASS, CLASSDESC, LOSSCOST) VALUES "
                     "('1000001', '01', '8810', 'CLERICAL', 0.12), "
                     "('1000001', '01', '5645', 'CARPENTRY', 12.5), "
                     "('1000001', '02', '9999', 'NOT MINE', 1)");
    }
};

TEST_F(CompanyRecordTest, ReadsTheCompanyItsClassesAndItsFileNumber)
{
    const CompanyRecord company(db(), "1000001", "01");
    const auto row = company.read();
    ASSERT_TRUE(row);
    EXPECT_EQ(row->text("NAME1"), "FIRST CO");
    EXPECT_EQ(company.sicDescription(row->field("SIC")), "HOME BUILDERS");
    EXPECT_EQ(company.sicDescription(Value("9999")), "");

    const auto classes = company.classes();
    ASSERT_EQ(classes.size(), 2u);
    EXPECT_EQ(classes[0].code, "5645");
    EXPECT_EQ(classes[1].description, "CLERICAL");
    EXPECT_DOUBLE_EQ(classes[1].lossCost.toDouble(), 0.12);

    const auto associates = company.associates();
    ASSERT_EQ(associates.size(), 2u);
    EXPECT_EQ(associates[0].name, "FIRST CO");
    EXPECT_EQ(associates[1].sequence, "02");
    EXPECT_FALSE(CompanyRecord(db(), "7777777", "01").read());
}

TEST_F(CompanyRecordTest, StoresFieldsReturnsTheStoredRowAndCountsOnlyChanges)
{
    CompanyRecord company(db(), "1000001", "02");
    const long long before = UserDataChanges::count();
    const auto stored = company.store({{"User1", Value("!&")}, {"STREET", Value("1 MAIN ST")}});
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->text("User1"), "!&");
    EXPECT_EQ(stored->text("STREET"), "1 MAIN ST");
    EXPECT_EQ(value("SELECT STREET FROM PRIME WHERE FILE = '1000001' AND SEQUENCE = '02'"),
              Value("1 MAIN ST"));
    EXPECT_EQ(UserDataChanges::count() - before, 1);
    company.store({{"STREET", Value("2 OAK ST")}, {"User1", Value("!&")}});
    company.store({{"STREET", Value("2 OAK ST")}});
    EXPECT_EQ(UserDataChanges::count() - before, 2);
    EXPECT_FALSE(CompanyRecord(db(), "7777777", "01").store({{"User1", Value("A")}}));
}

TEST(ResultListData, LookupRowsKeepTheLookupsConditionAndOrder)
{
    const LookupStatement lookup{"*", "ZIP >= '19000'", " ORDER BY MONTH(EXPIRE), NAME1"};
    const RowQuery rows = ResultListData::lookupRowsQuery(lookup, "NAME1");
    EXPECT_EQ(rows.sql, "SELECT rowid, NAME1 FROM PRIME WHERE ZIP >= '19000' "
                        "ORDER BY MONTH(EXPIRE), NAME1, rowid");
    EXPECT_EQ(rows.unorderedSql, "SELECT * FROM (SELECT rowid, NAME1, MONTH(EXPIRE) FROM "
                                 "PRIME WHERE ZIP >= '19000') AS ROWS");
    EXPECT_EQ(rows.sortColumns, (std::vector<int>{2, 1}));
    const RowQuery unordered = ResultListData::lookupRowsQuery(LookupStatement{}, "EXPIRE");
    EXPECT_EQ(unordered.sql,
              "SELECT rowid, substr(EXPIRE, 6, 2) || '/' || substr(EXPIRE, 9, 2) || '/' || "
              "substr(EXPIRE, 3, 2) FROM PRIME");
    EXPECT_TRUE(unordered.unorderedSql.empty());
}

// The result list's data on the engine the test runs on.
class ResultListTest : public EngineTest<>
{
protected:
    std::vector<std::string> rows(const std::string& sql) { return queryRows(db(), sql); }
};

TEST_P(ResultListTest, ReadsTheRowsOfEveryPositionInOrder)
{
    // More companies than two blocks of rows, named out of row order and
    // in both cases, so that positions, blocks and row ids all differ.
    constexpr int kCompanies = 600;
    for (int i = 0; i < kCompanies; ++i) {
        const int number = (i * 37) % kCompanies;
        const std::string name = (number % 2 ? "co " : "CO ") + std::to_string(1000 + number);
        db().prepare("INSERT INTO PRIME (FILE, SEQUENCE, NAME1, NameSort) VALUES (?, '01', ?, ?)")
            .bindAll({std::to_string(2000 + i), name, name})
            .run();
    }
    const auto nameAt = [](long long position) {
        return (position % 2 ? "co " : "CO ") + std::to_string(1000 + position);
    };
    OrderedCompanies companies(db());
    companies.load(ResultListData::allCompaniesQuery(ResultListData::Order::Name));
    ASSERT_EQ(companies.count(), kCompanies);
    for (long long position : {599, 0, 255, 256, 270, 512})
        EXPECT_EQ(companies.row(position)->text("NAME1"), nameAt(position));

    // Read early: the first rows at once, the rest from a connection of their own.
    OrderedCompanies early(db());
    early.readRestInBackground([this] { return db().reader(); }, 100, [] {});
    early.load(ResultListData::allCompaniesQuery(ResultListData::Order::File));
    early.load(ResultListData::allCompaniesQuery(ResultListData::Order::Name));
    EXPECT_TRUE(early.counting());
    EXPECT_EQ(early.count(), 100);
    EXPECT_EQ(early.row(99)->text("NAME1"), nameAt(99));
    ASSERT_TRUE(early.fetchRest(true));
    EXPECT_EQ(early.count(), 100);
    early.takeRest();
    EXPECT_FALSE(early.counting());
    ASSERT_EQ(early.count(), kCompanies);
    for (long long position : {599, 99, 100, 256})
        EXPECT_EQ(early.row(position)->text("NAME1"), nameAt(position));
    // A reader that cannot connect leaves the rest to the list's connection.
    OrderedCompanies alone(db());
    alone.readRestInBackground([]() -> Database { throw DbError("refused"); }, 100, [] {});
    alone.load(ResultListData::allCompaniesQuery(ResultListData::Order::Name));
    ASSERT_TRUE(alone.fetchRest(true));
    alone.takeRest();
    EXPECT_FALSE(alone.counting());
    EXPECT_EQ(alone.count(), kCompanies);
    EXPECT_EQ(alone.row(599)->text("NAME1"), nameAt(599));
    EXPECT_EQ(companies.row(kCompanies), nullptr);
    EXPECT_EQ(companies.firstAtOrAfter("Co 1070"), 70);
    EXPECT_EQ(companies.firstAtOrAfter("D"), kCompanies);

    // A changed row is read again once forgotten; a deleted one is gone.
    db().execute("UPDATE PRIME SET STREET = '1 MAIN ST' WHERE NAME1 IN ('CO 1070', 'co 1071')");
    db().execute("DELETE FROM PRIME WHERE NAME1 = 'CO 1072'");
    EXPECT_EQ(companies.row(71)->text("STREET"), "");
    companies.forget(70);
    EXPECT_EQ(companies.row(70)->text("STREET"), "1 MAIN ST");
    companies.forgetAll();
    EXPECT_EQ(companies.row(71)->text("STREET"), "1 MAIN ST");
    EXPECT_EQ(companies.row(72), nullptr);
    EXPECT_EQ(companies.row(73)->text("NAME1"), "co 1073");

    // A state of an older program has no follow-ups to show.
    db().execute("DROP TABLE FOLLOWUP");
    OrderedCompanies older(db());
    older.load(ResultListData::allCompaniesQuery(ResultListData::Order::Name));
    EXPECT_EQ(older.row(0)->text("NAME1"), nameAt(0));
    EXPECT_TRUE(older.row(0)->field("FollowUpDue").isNull());
}

TEST_P(ResultListTest, ALookupsFirstRowsAreTheFirstRowsOfItsWholeGrid)
{
    // Equal names in and out of row order, and conditions that hold for
    // many companies or for a few.
    for (int i = 0; i < 300; ++i) {
        const std::string name = "NAME " + std::to_string(1000 + (i * 7) % 100);
        db().prepare("INSERT INTO PRIME (FILE, SEQUENCE, NAME1, NameSort, ZIP) VALUES (?, '01', ?, "
                     "?, ?)")
            .bindAll({std::to_string(5000 + i), name, name, i % 3 ? "19001" : "18001"})
            .run();
    }
    const auto keys = [this](const RowQuery& query) {
        RowReader::Rows read;
        RowReader::readInto(db(), query, read);
        return read.keyText;
    };
    const LookupStatement many{"*", "ZIP = '19001'", " ORDER BY NAME1"};
    const auto walked = ResultListData::lookupGridRows(many, "NAME1");
    EXPECT_EQ(keys({walked.first}), keys(walked.all));
    EXPECT_EQ(keys(walked.all).size(), 200u * 9);
    EXPECT_TRUE(ResultListData::lookupGridRows(many, "FILE").first.empty());

    // The list shows a screenful of the walk at once; a walk that finds less
    // waits for all the rows.
    const LookupStatement few{"*", "ZIP = '18001' AND FILE < '5030'", " ORDER BY NAME1"};
    for (const auto& [lookup, shown, counting] :
         {std::tuple(many, 100, true), std::tuple(few, 10, false)}) {
        const auto grid = ResultListData::lookupGridRows(lookup, "NAME1");
        OrderedCompanies companies(db());
        companies.readRestInBackground([this] { return db().reader(); }, 100, [] {});
        companies.load(grid.all, grid.first);
        EXPECT_EQ(companies.count(), shown);
        EXPECT_EQ(companies.counting(), counting);
        const auto files =
            rows("SELECT FILE FROM PRIME WHERE " + lookup.condition + " ORDER BY NAME1, rowid");
        EXPECT_EQ(companies.row(shown - 1)->text("FILE"), files[static_cast<size_t>(shown - 1)]);
    }
}

TEST_P(ResultListTest, AWholeReadOrdersItsRowsAsTheEngineDoes)
{
    // Texts equal but for case, "_" that falls between the cases, equal names
    // out of row order, no value and an empty one, a letter beyond ASCII,
    // names that differ only past their first bytes;
    // expirations of one month, of none and no value.
    const std::vector<std::tuple<Value, Value, Value>> companies = {
        {"b2", "b", "2026-03-05"},
        {"B1", "B", "2025-03-04"},
        {"a_1", "a_b", Value()},
        {"A2", "AB", "2026-12-01"},
        {"a3", "ab", "2024-03-05"},
        {"Z0", Value(), "2026-01-31"},
        {"z1", "", "2026-03-05"},
        {"é", "Zed", "2026-12-01"},
        {"B0", "b", Value()},
        {"9", "é", "2025-07-09"},
        {"10", "a", "2026-03-04"},
        {"11", "LONG COMPANY NAMEZ", Value()},
        {"12", "long company namea", "2026-03-05"}};
    for (const auto& [file, name, expire] : companies)
        db().prepare("INSERT INTO PRIME (FILE, SEQUENCE, NAME1, NameSort, EXPIRE) VALUES (?, "
                     "'01', ?, ?, ?)")
            .bindAll({file, name, name, expire})
            .run();
    for (const auto& [column, field] :
         {std::pair(GridColumn::Name, "NAME1"), std::pair(GridColumn::File, "FILE"),
          std::pair(GridColumn::Expires, "EXPIRE")}) {
        const LookupStatement lookup{"*", "", QueryBuilder::orderBy(column)};
        const RowQuery query = ResultListData::lookupRowsQuery(lookup, field);
        ASSERT_FALSE(query.unorderedSql.empty());
        RowReader::Rows here;
        RowReader::readInto(db(), query, here);
        // A limit leaves the order to the engine.
        RowReader::Rows byEngine;
        RowReader::readInto(db(), query, byEngine, companies.size() + 1);
        EXPECT_EQ(here.rowIds, byEngine.rowIds) << field;
        EXPECT_EQ(here.keyText, byEngine.keyText) << field;
        EXPECT_EQ(here.keyEnds, byEngine.keyEnds) << field;
    }
}

TEST_P(ResultListTest, MarksOmitAndReadsModsAndDataVersion)
{
    ResultListData data(db());
    db().execute("INSERT INTO PRIME (FILE, SEQUENCE, NAME1, Omit) VALUES "
                 "('100', '01', 'ACME', ' '), ('200', '01', 'BETA', ' ')");
    const std::string omits = "SELECT Omit FROM PRIME ORDER BY FILE";
    const long long before = UserDataChanges::count();
    data.setOmit(Value("100"), Value("01"), true);
    EXPECT_EQ(rows(omits), (std::vector<std::string>{"Y", " "}));
    EXPECT_EQ(UserDataChanges::count() - before, 1);
    data.setOmit(Value("100"), Value("01"), false);
    EXPECT_EQ(rows(omits), (std::vector<std::string>{" ", " "}));

    db().execute("INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, MOD) VALUES "
                 "('100', '01', '2023-05-01', '2023-05-01', '2024-05-01', 0.95), "
                 "('100', '01', '2025-05-01', '2025-05-01', '2026-05-01', 1.125), "
                 "('100', '01', '2024-05-01', '2024-05-01', '2025-05-01', 1.0), "
                 "('300', '01', '2026-01-01', '2026-01-01', '2027-01-01', 2.0)");
    const auto mods = data.mods(Value("100"), Value("01"));
    ASSERT_EQ(mods.size(), 3u);
    EXPECT_EQ(mods[0].effective, "2025-05-01");
    EXPECT_DOUBLE_EQ(mods[0].mod.toDouble(), 1.125);
    EXPECT_EQ(mods[2].expire, "2024-05-01");

    db().execute("UPDATE VERSION SET Version = '2026-11-30'");
    EXPECT_EQ(data.dataVersion(), "11/30/2026");
    db().execute("DELETE FROM VERSION");
    EXPECT_EQ(data.dataVersion(), "");
}

INSTANTIATE_TEST_SUITE_P(Engines, ResultListTest, ::testing::Values(Engine::File, Engine::Server),
                         engineName);

} // namespace
} // namespace kora::test
