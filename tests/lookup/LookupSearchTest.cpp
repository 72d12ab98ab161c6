#include "lookup/LookupSearch.h"
#include "lookup/Criteria.h"
#include "lookup/LookupFile.h"
#include "lookup/LookupTestDatabase.h"
#include "lookup/QueryBuilder.h"
#include "lookup/RenewalWindow.h"
#include "results/FollowUps.h"
#include "results/ResultListData.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <memory>

namespace kora::test {
namespace {

using F = FieldCatalogue;

// A lookup line in the file's own form.
std::string line(const std::string& field, const std::string& from, const std::string& thru,
                 const std::string& code, bool exclude = false)
{
    return "\"T\",\"" + field + "\",\"" + from + "\",\"" + thru + "\",\"" + code + "\"," +
           (exclude ? "#TRUE#" : "#FALSE#") + "\r\n";
}

std::string lines(int count, const std::string& field, const std::string& code)
{
    std::string text;
    for (int value = 0; value < count; ++value)
        text += line(field, std::to_string(value), std::to_string(value), code);
    return text;
}

// Files written by hand or by another program: each is refused with its
// message before any statement is built, so none can hang or crash the program.
TEST(LookupSearch, TellsWhyAFileCannotBeRun)
{
    LookupTestDatabase state("PA");
    const std::string path = state.folder().file("SEARCH4.KRD");
    const std::string digits(50000, '1');
    const std::pair<std::string, std::string> files[] = {
        {"\"T\",\"Zip Code\",\"1\"\r\n", "Cannot read the lookup file SEARCH4.KRD."},
        {line("Experience Mod.", "1.0; DROP TABLE PRIME", "2", "MOD"), "Invalid mod!"},
        {line("Expiration Date", "0101", digits, "EXPIRE"), "Date must be in the form MMDD!"},
        {line("Mod Change", "-" + digits, "0", "MODCHANGE"),
         "Mod change must be a number from -9.999 to 9.999!"},
        {lines(201, "Zip Code", "ZIP"),
         "The lookup file SEARCH4.KRD holds more than 200 criteria."},
        // An Exclude on a code no field has would otherwise select every company.
        {line("Zip Code", "19000", "19099", "ZIP") +
             line("Zip Code", "19000", "19099", "ZIPCODE", true),
         "The lookup file SEARCH4.KRD holds the field code \"ZIPCODE\", which is not a lookup "
         "field."}};
    for (const auto& [bytes, message] : files) {
        writeFile(path, bytes);
        LookupSearch search("PA");
        const auto setUp = search.SetUpSQL(path, false);
        EXPECT_FALSE(setUp.ready) << message;
        EXPECT_EQ(setUp.messages, (std::vector<LookupMessage>{{message, "Parameter Verification",
                                                               LookupMessage::Icon::Exclamation}}));
        EXPECT_EQ(search.CurSQL(), "");
    }

    // The most criteria a lookup holds, and long texts, still run on the engine.
    writeFile(path,
              lines(199, "Class Code", "CLASS") + line("Employer Name", digits, digits, "NAME1"));
    LookupSearch search("PA");
    ASSERT_TRUE(search.SetUpSQL(path, false).ready);
    EXPECT_EQ(search.recordCount(state.db()), 0);
}

TEST(LookupSearch, ShowsTheStatementAndSetsTheSortedRecordSource)
{
    TempFolder folder;
    const std::string path = folder.file("SEARCH1.KRD");
    LookupSearch search("PA");
    LookupFile::write(path, "TEST", {criterion(F::NewRecords, "", "")});
    const auto all = search.SetUpSQL(path, true);
    EXPECT_TRUE(all.ready);
    EXPECT_EQ(search.CurSQL(), "SELECT * FROM PRIME");
    EXPECT_EQ(all.messages, (std::vector<LookupMessage>{{"ALL RECORDS SELECTED", ""},
                                                        {"SELECT * FROM PRIME", ""}}));

    const std::string cur = "SELECT * FROM PRIME WHERE (ZIP BETWEEN '19000' AND '19099')";
    LookupFile::write(path, "TEST", {criterion(F::ZipCode, "19000", "19099")});
    EXPECT_EQ(search.SetUpSQL(path, true).messages, (std::vector<LookupMessage>{{cur, ""}}));
    // Effective is no order; the Omit column re-runs the query in the order last chosen.
    const std::tuple<GridColumn, bool, std::string> orders[] = {
        {GridColumn::Name, true, "NAME1"},
        {GridColumn::Effective, false, "NAME1"},
        {GridColumn::Expires, true, "MONTH(EXPIRE), DAY(EXPIRE), NAME1"},
        {GridColumn::Omit, true, "MONTH(EXPIRE), DAY(EXPIRE), NAME1"},
        {GridColumn::File, true, "FILE"}};
    for (const auto& [column, sorted, order] : orders) {
        EXPECT_EQ(search.sortBy(column), sorted) << order;
        EXPECT_EQ(search.recordSource(), cur + " ORDER BY " + order);
    }
}

// Companies of every kind of value a lookup field compares, one without mods.
class LookupResultsTest : public EngineTest<LookupTestDatabase>
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        data().addCompany(
            {"1000007", "ACME TOOL", "19010", "15", "2024-12-15", 1.25, {"8810", "5183"}});
        data().addCompany(
            {"1000006", "BAKER'S DOZEN", "19350", "23", "2025-01-20", 0.95, {"5183"}});
        data().addCompany({"1000005", "CARSON STEEL", "15001", "02", "2025-03-10", 1.5, {"3632"}});
        data().addCompany({"1000004", "delta labs", "19099", "15", "2024-11-01", 9.886, {"8810"}});
        data().addCompany({"1000003", "EVANS FARM", "19200", "46", "2025-02-28", 0.8, {"0005"}});
        data().addCompany(
            {"1000002", "FOX & HOUND", "19300", "46", "2025-06-30", 2.0, {"8810", "3632"}});
        data().addCompany({"1000001", "GRAY CO", "19400", "02", Value(), Value(), {}});
    }
};

TEST_P(LookupResultsTest, EachFieldSelectsTheCompaniesItMeans)
{
    const std::pair<std::vector<SQLPARAMETER>, std::string> cases[] = {
        {{criterion(F::ExpirationDate, "1101", "0228")},
         "ACME TOOL|BAKER'S DOZEN|delta labs|EVANS FARM"},
        {{criterion(F::ExpirationDate, "1101", "0228", true)}, "CARSON STEEL|FOX & HOUND"},
        {{criterion(F::ExperienceMod, "1.250", "2.000")}, "ACME TOOL|CARSON STEEL|FOX & HOUND"},
        {{criterion(F::ExperienceMod, "1.000", "9.999", true)}, "BAKER'S DOZEN|EVANS FARM"},
        {{criterion(F::MeritClass, "Debit", "")}, "delta labs"},
        {{criterion(F::ClassCode, "8810", "8810"), criterion(F::ClassCode, "3632", "3632", true)},
         "ACME TOOL|delta labs"},
        {{criterion(F::ClassCode, "5000", "9999", true)}, "CARSON STEEL|EVANS FARM|GRAY CO"},
        // Text ranges compare without regard to case; a quote is part of the value.
        {{criterion(F::EmployerName, "baker's dozen", "DELTA LABS")},
         "BAKER'S DOZEN|CARSON STEEL|delta labs"},
        {{criterion(F::EmployerName, "Z' OR 'x'='x", "Z")}, ""},
        {{criterion(F::ZipCode, "19000", "19099"), criterion(F::ZipCode, "19300", "19399"),
          criterion(F::ExperienceMod, "1.000", "9.999"), criterion(F::County, "15", "15", true)},
         "FOX & HOUND"}};
    for (const auto& [criteria, names] : cases)
        EXPECT_EQ(data().names(criteria), names) << criteria[0].SQLFIELD;
}

// SIC ranges and class ranges, which often select few companies, are found
// through indexes on the server, whose planner weighs them against a scan; a
// file has none, where SQLite would take them for broad ranges too.
TEST_P(LookupResultsTest, SicAndClassRangesAreReadThroughIndexesOnTheServerAlone)
{
    if (GetParam() == Engine::File) {
        EXPECT_EQ(queryRows(db(), "SELECT name FROM sqlite_master WHERE type = 'index' AND "
                                  "tbl_name = 'PRIME' AND (sql LIKE '%SIC%' OR sql LIKE "
                                  "'%FILESEQ%')"),
                  std::vector<std::string>{});
        return;
    }
    db().execute("SET enable_seqscan = off");
    for (const auto& [field, index] :
         {std::pair{F::SicCode, " prime_sic "}, {F::ClassCode, " prime_fileseq "}}) {
        const std::string lookup =
            QueryBuilder::statement(QueryBuilder::condition({criterion(field, "2000", "2099")}));
        const std::vector<std::string> plan = queryRows(db(), "EXPLAIN " + lookup);
        EXPECT_TRUE(std::any_of(plan.begin(), plan.end(), [index](const std::string& line) {
            return line.find(index) != std::string::npos;
        })) << lookup;
    }
}

// Class ranges are read company by company where zip ranges narrow the
// lookup, and in the walk along the first names: the same companies in the
// same order as the lookup's own statement, which the lookup still shows.
TEST_P(LookupResultsTest, ClassRangesTestedPerCompanySelectWhatTheStatementShown)
{
    // A second company under ACME's file number: its class rows are its own.
    db().execute("INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, NAME1, NameSort, ZIP) VALUES "
                 "('1000007', '02', '100000702', 'ACME BRANCH', 'ACME BRANCH', '19020')");
    db().execute("INSERT INTO CLASS (FILE, SEQUENCE, FILESEQ, CLASS) VALUES ('1000007', '02', "
                 "'100000702', '3632')");
    const std::string path = data().folder().file("UNTITLED.KRD");
    const std::pair<std::vector<SQLPARAMETER>, std::string> cases[] = {
        {{criterion(F::ClassCode, "8810", "8810"), criterion(F::ZipCode, "19000", "19099"),
          criterion(F::ZipCode, "19300", "19399")},
         "ACME TOOL|delta labs|FOX & HOUND"},
        {{criterion(F::ClassCode, "3632", "3632"), criterion(F::ZipCode, "19000", "19399")},
         "ACME BRANCH|FOX & HOUND"},
        {{criterion(F::ClassCode, "5000", "8999"), criterion(F::ClassCode, "3632", "3632", true),
          criterion(F::ZipCode, "19000", "19999")},
         "ACME TOOL|BAKER'S DOZEN|delta labs"},
        {{criterion(F::ClassCode, "3632", "3632")}, "ACME BRANCH|CARSON STEEL|FOX & HOUND"}};
    for (const auto& [criteria, names] : cases) {
        EXPECT_EQ(data().names(criteria), names) << criteria[0].SQLFROM;
        LookupFile::write(path, "UNTITLED", criteria);
        LookupSearch search("PA");
        ASSERT_TRUE(search.SetUpSQL(path, false).ready);
        search.sortBy(GridColumn::Name);
        EXPECT_EQ(search.CurSQL(), QueryBuilder::statement(QueryBuilder::condition(criteria)));
        const auto shown = queryRows(db(), search.CurSQL() + " ORDER BY NAME1");
        EXPECT_EQ(queryRows(db(), search.recordSource()), shown);
        EXPECT_EQ(queryRows(db(), ResultListData::lookupGridRows(search.source(), "NAME1").first),
                  queryRows(db(), "SELECT rowid, NAME1 FROM PRIME WHERE " +
                                      QueryBuilder::condition(criteria) +
                                      " ORDER BY NameSort, rowid"));
    }
}

TEST(LookupSearch, ClassRangesAreReadThroughAnIndex)
{
    StateDatabase data;
    Statement plan = data.db().prepare(
        "EXPLAIN QUERY PLAN SELECT * FROM PRIME WHERE FILESEQ IN (SELECT FILESEQ FROM CLASS WHERE "
        "CLASS BETWEEN '8810' AND '8899') AND FILESEQ NOT IN (SELECT FILESEQ FROM CLASS WHERE "
        "CLASS BETWEEN '3632' AND '3632')");
    int classSearches = 0;
    while (plan.step()) {
        const std::string detail = plan.column(3).toString();
        EXPECT_EQ(detail.find("SCAN CLASS"), std::string::npos) << detail;
        if (detail.find("SEARCH CLASS USING COVERING INDEX") != std::string::npos)
            ++classSearches;
    }
    EXPECT_EQ(classSearches, 2);
}

using Ranges = std::vector<std::pair<int, int>>;

TEST(RenewalWindow, GivesTheMonthDaysOfTheWindow)
{
    const struct
    {
        const char* today;
        int from;
        int thru;
        Ranges ranges;
    } windows[] = {{"2026-06-01", 0, 29, {{601, 630}}},
                   {"2026-12-20", 0, 30, {{101, 119}, {1220, 1231}}},
                   {"2026-01-01", 90, 120, {{401, 501}}},
                   // February 29 renews on March 1 in a year without one.
                   {"2027-02-20", 0, 10, {{220, 302}}},
                   {"2027-02-20", 0, 7, {{220, 227}}},
                   {"2028-02-28", 1, 1, {{229, 229}}},
                   {"2028-02-28", 2, 2, {{301, 301}}},
                   {"2026-03-02", 0, 365, {{101, 1231}}},
                   {"2026-03-02", 5, INT_MAX, {{101, 1231}}}};
    for (const auto& c : windows)
        EXPECT_EQ(RenewalWindow::monthDayRanges(c.today, c.from, c.thru), c.ranges)
            << c.today << " " << c.from << " " << c.thru;
}

// Companies with mod histories of every kind, renewals around the year end
// and two changes recorded by the latest load.
class ProspectingLookup : public EngineTest<LookupTestDatabase>
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        add("1", "RISING", "2027-01-05", "19001", {{2026, 1.046}, {2025, 1.000}});
        add("2", "FALLING", "2026-12-25", "19002", {{2026, 0.880}, {2025, 1.000}});
        add("3", "FLAT", "2026-06-15", "19003", {{2026, 0.950}, {2025, 0.950}});
        add("4", "SINGLE", "2024-02-29", "19304", {{2026, 1.200}});
        add("5", "BROKEN RUN", "2026-12-31", "19305",
            {{2026, 1.100}, {2025, 1.050}, {2024, 0.990}, {2023, 1.300}});
        add("6", "NO MODS", "2026-07-01", "19006", {});
        // The mod of 1.000 or less shares its dates with one above: the run goes on.
        add("7", "SAME DATES", "2026-07-01", "19307",
            {{2022, 1.400}, {2023, 1.200}, {2023, 0.800}, {2024, 1.300}, {2025, 1.150}});
        add("8", "STORED UNORDERED", "2026-07-01", "19308",
            {{2025, 1.020}, {2023, 0.700}, {2024, 1.090}});
        add("9", "MERIT", "2026-07-01", "19309", {{2024, 1.010}, {2025, 9.885}});
        data().db().execute("INSERT INTO LOADCHANGES (FILE, SEQUENCE, CHANGE) VALUES "
                            "('1', '01', 'New Company'), ('2', '01', 'New Mod')");
    }
    ~ProspectingLookup() override { unsetenv("KORA_TODAY"); }

    // Each mod is effective January 1 of its year, for a year.
    void add(const std::string& file, const std::string& name, const std::string& expire,
             const std::string& zip, const std::vector<std::pair<int, double>>& mods)
    {
        data().addCompany({file, name, zip, "15", expire, mods.empty() ? 1.0 : mods[0].second, {}});
        for (const auto& [year, mod] : mods)
            db().prepare("INSERT INTO MODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE, MOD) VALUES (?, "
                         "'01', ?, ?, ?)")
                .bindAll({file, std::to_string(year) + "-01-01",
                          std::to_string(year + 1) + "-01-01", mod})
                .run();
    }
};

TEST_P(ProspectingLookup, SelectsTheCompaniesOfTheRange)
{
    const struct
    {
        std::vector<SQLPARAMETER> criteria;
        const char* names;
        const char* today = "2026-12-20";
    } cases[] = {
        {{criterion(F::RenewsWithin, "0", "30")}, "BROKEN RUN|FALLING|RISING"},
        {{criterion(F::RenewsWithin, "0", "30", true)},
         "FLAT|MERIT|NO MODS|SAME DATES|SINGLE|STORED UNORDERED"},
        {{criterion(F::RenewsWithin, "0", "4")}, "SINGLE", "2027-02-25"},
        {{criterion(F::RenewsWithin, "0", "3")}, "", "2027-02-25"},
        {{criterion(F::ModChange, "0.001", "9.999")}, "BROKEN RUN|MERIT|RISING"},
        {{criterion(F::ModChange, "-0.070", "-0.070")}, "STORED UNORDERED"},
        {{criterion(F::ModChange, "-9.999", "-0.001")}, "FALLING|SAME DATES|STORED UNORDERED"},
        {{criterion(F::ModChange, "0", "0")}, "FLAT"},
        {{criterion(F::ModChange, "0", "0", true)},
         "BROKEN RUN|FALLING|MERIT|RISING|SAME DATES|STORED UNORDERED"},
        {{criterion(F::YearsModOver, "1", "1")}, "RISING|SINGLE"},
        {{criterion(F::YearsModOver, "2", "2")}, "BROKEN RUN|MERIT|STORED UNORDERED"},
        {{criterion(F::YearsModOver, "3", "99")}, "SAME DATES"},
        {{criterion(F::YearsModOver, "1", "99", true)}, "FALLING|FLAT|NO MODS"},
        {{criterion(F::LastUpdate, "New Company", "New Company")}, "RISING"},
        {{criterion(F::LastUpdate, "New Mod", "New Mod")}, "FALLING"},
        {{criterion(F::LastUpdate, "Any Change", "Any Change")}, "FALLING|RISING"},
        {{criterion(F::LastUpdate, "Any Change", "Any Change", true)},
         "BROKEN RUN|FLAT|MERIT|NO MODS|SAME DATES|SINGLE|STORED UNORDERED"},
        {{criterion(F::ZipCode, "19300", "19399"), criterion(F::YearsModOver, "1", "99")},
         "BROKEN RUN|MERIT|SAME DATES|SINGLE|STORED UNORDERED"},
        {{criterion(F::ExperienceMod, "1.000", "9.999"), criterion(F::RenewsWithin, "0", "30"),
          criterion(F::ModChange, "0.001", "9.999"),
          criterion(F::LastUpdate, "Any Change", "Any Change", true)},
         "BROKEN RUN"},
        // Both trends at once meet in one subquery.
        {{criterion(F::ModChange, "-9.999", "0"), criterion(F::YearsModOver, "1", "99")},
         "SAME DATES|STORED UNORDERED"},
        {{criterion(F::ZipCode, "19300", "19399"), criterion(F::ModChange, "-9.999", "0", true),
          criterion(F::YearsModOver, "1", "99")},
         "BROKEN RUN|MERIT"}};
    for (const auto& c : cases) {
        setenv("KORA_TODAY", c.today, 1);
        EXPECT_EQ(data().names(c.criteria), c.names)
            << c.today << " " << c.criteria[0].SQLFIELD << " " << c.criteria[0].SQLFROM;
    }
}

// Follow-ups due around a year end: days from today, negative for overdue.
TEST_P(ProspectingLookup, FollowUpDueCountsDaysFromToday)
{
    FollowUps followUps(db());
    followUps.store("1", "01", FollowUp{"2026-12-28", "Call"});
    followUps.store("2", "01", FollowUp{"2026-12-30", "Letter"});
    followUps.store("3", "01", FollowUp{"2027-01-02", "Call again"});
    followUps.store("4", "01", FollowUp{"2026-11-30", "Late"});
    setenv("KORA_TODAY", "2026-12-30", 1);
    const std::pair<std::vector<SQLPARAMETER>, const char*> cases[] = {
        {{criterion(F::FollowUpDue, "-999", "0")}, "FALLING|RISING|SINGLE"},
        {{criterion(F::FollowUpDue, "-2", "-1")}, "RISING"},
        {{criterion(F::FollowUpDue, "1", "3")}, "FLAT"},
        {{criterion(F::FollowUpDue, "-30", "-30")}, "SINGLE"},
        {{criterion(F::FollowUpDue, "-999", "0", true)},
         "BROKEN RUN|FLAT|MERIT|NO MODS|SAME DATES|STORED UNORDERED"}};
    for (const auto& [criteria, names] : cases)
        EXPECT_EQ(data().names(criteria), names)
            << criteria[0].SQLFROM << " " << criteria[0].SQLTHRU;
}

INSTANTIATE_TEST_SUITE_P(Engines, LookupResultsTest,
                         ::testing::Values(Engine::File, Engine::Server), engineName);
INSTANTIATE_TEST_SUITE_P(Engines, ProspectingLookup,
                         ::testing::Values(Engine::File, Engine::Server), engineName);

} // namespace
} // namespace kora::test
