#include "output/ReportFill.h"

#include "database/Schema.h"
#include "output/ReportDatabase.h"
#include "output/ReportDefinition.h"
#include "support/StateDatabase.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

constexpr const char* kConnect = ";PWD=fill1";

class ReportFillTest : public ::testing::Test
{
protected:
    void open(const std::string& state)
    {
        Schema::createStateDatabase(folder.file("KORA" + state + ".MDB"), kConnect, state);
        stateDb.open(folder.file("KORA" + state + ".MDB"), kConnect);
        Schema::createReportDatabase(folder.file("REPORT.MDB"));
        scratch.open(folder.file("REPORT.MDB"), "");
        m_state = state;
    }
    void addCompany(const std::string& file, const std::string& name, const std::string& omit = " ")
    {
        stateDb
            .prepare("INSERT INTO PRIME (FILE, SEQUENCE, NAME1, ZIP, ZIPEXT, PHONE, UserPhone, "
                     "CONTACT, UserContact, EMPLOYEES, SIC, Omit) "
                     "VALUES (?, '01', ?, '19103', ' ', '2155550100', ' ', 'JANE ROE', "
                     "'!', '3', '1711', ?)")
            .bindAll({Value(file), Value(name), Value(omit)})
            .run();
    }
    void addMod(const std::string& file, int year, double mod)
    {
        const std::string y = std::to_string(year);
        stateDb
            .prepare("INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, MOD) "
                     "VALUES (?, '01', ?, ?, ?, ?)")
            .bindAll({Value(file), Value(y + "-01-02"), Value(y + "-03-01"),
                      Value(std::to_string(year + 1) + "-02-28"), Value(mod)})
            .run();
    }
    // The scratch rows the query gives, one a line, NULL for no value.
    std::string rows(const std::string& sql)
    {
        std::string text;
        for (const std::string& row : queryRows(scratch, sql, "NULL"))
            text += (text.empty() ? "" : "\n") + row;
        return text;
    }
    ReportFill fill(ReportFill::Run run = ReportFill::Run::Lookup)
    {
        return ReportFill(stateDb, scratch, m_state, run);
    }

    TempFolder folder;
    Database stateDb;
    Database scratch;
    std::string m_state;
};

TEST_F(ReportFillTest, FieldsTakeUserOverridesDescriptionsTheNewestTwentyModsAndTwentyOneClasses)
{
    open("PA");
    addCompany("1000001", "ACME STEEL");
    stateDb.execute("UPDATE PRIME SET ZIPEXT = '4410', UserPhone = '6105550199', "
                    "User1 = 'OWN', FAX = '2155550101', UserFax = ' '");
    stateDb.execute("INSERT INTO SICCODES (CODE, DESC) VALUES ('1711', 'PLUMBING')");
    stateDb.execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES ('1000001', '01', 'Call "
                    "in May')");
    stateDb.execute("INSERT INTO FOLLOWUP (FILE, SEQUENCE, DUE, TEXT) VALUES ('1000001', '01', "
                    "'2026-12-14', 'Call about renewal')");
    for (int year = 1990; year < 2015; ++year)
        addMod("1000001", year, 0.8 + (year - 1990) / 100.0);
    for (int n = 0; n < 30; ++n)
        stateDb
            .prepare("INSERT INTO CLASS (FILE, SEQUENCE, CLASS, CLASSDESC, LOSSCOST) "
                     "VALUES ('1000001', '01', ?, 'DESC', 1.5)")
            .bind(1, Value(std::to_string(100 + n)))
            .run();
    EXPECT_EQ(fill().fillFrom("SELECT * FROM PRIME"), 1);
    // "!" itself does not pass the test: the loaded contact stays.
    EXPECT_EQ(rows("SELECT ZIP, PHONE, FAX, CONTACT, UserPhone, SICDESC, EMPDESC <> '', "
                   "SALESDESC, NOTES, User1 FROM PRIME"),
              "19103-4410|6105550199|2155550101|JANE ROE|NULL|PLUMBING|1|NULL|Call in May|OWN");
    EXPECT_EQ(rows("SELECT FOLLOWUPDUE, FOLLOWUPTEXT FROM PRIME"), "2026-12-14|Call about renewal");
    EXPECT_EQ(rows("SELECT EXPIRE0, EFFECTIVE19, MOD0 = 0.8 + 24 / 100.0, EXPIRE FROM PRIME"),
              "2015-02-28|1995-03-01|1|228");
    EXPECT_EQ(rows("SELECT FILE || SEQUENCE, CLASS0, CLASS20, CLASSLOSS20 FROM CLASS"),
              "100000101|100|120|1.5");
}

TEST_F(ReportFillTest, OmittedCompaniesAreLeftOutOfTheLookupButNotTheRecordPrint)
{
    open("PA");
    addCompany("1000001", "KEPT");
    addCompany("1000002", "OMITTED", "Y");
    addCompany("1000003", "EMPTY MARK", "");
    std::vector<long long> counts;
    EXPECT_EQ(fill().fillFrom("SELECT * FROM PRIME", [&](long long n) { counts.push_back(n); }), 2);
    EXPECT_EQ(counts, (std::vector<long long>{1, 2}));
    EXPECT_EQ(rows("SELECT NAME1 FROM PRIME ORDER BY FILE"), "KEPT\nEMPTY MARK");

    scratch.execute("DELETE FROM PRIME");
    EXPECT_TRUE(fill(ReportFill::Run::Record).fillCompany("1000002", "01"));
    EXPECT_EQ(rows("SELECT NAME1 FROM PRIME"), "OMITTED");
    EXPECT_FALSE(fill(ReportFill::Run::Record).fillCompany("9999999", "01"));
}

TEST_F(ReportFillTest, ThousandCompaniesCommitEveryFiveHundredAndAtTheEnd)
{
    open("PA");
    stateDb.begin();
    for (int n = 0; n < 1000; ++n)
        addCompany(std::to_string(2000000 + n), "COMPANY");
    stateDb.commit();
    ReportFill run = fill();
    EXPECT_EQ(run.fillFrom("SELECT * FROM PRIME"), 1000);
    EXPECT_EQ(run.commits(), 3);
    EXPECT_FALSE(scratch.inTransaction());
    EXPECT_EQ(rows("SELECT COUNT(*) FROM CLASS"), "1000");
}

// The lookup print leaves them out, as the New York detail page shows.
TEST_F(ReportFillTest, NewYorkRecordPrintKeepsTheEffectiveDates)
{
    open("NY");
    addCompany("100 01 01", "EMPIRE");
    addMod("100 01 01", 2010, 0.9);
    fill(ReportFill::Run::Record).fillCompany("100 01 01", "01");
    EXPECT_EQ(rows("SELECT EFFECTIVE0, EXPIRE FROM PRIME"), "2010-03-01|NULL");
}

// The shipped definitions are read by every print: the print tests check their pages.
// The template of a program folder installed by an older release lacks the
// follow-up's columns; its scratch copy gets them.
TEST(ReportDatabaseTest, ScratchOfAnOlderTemplateGetsTheNewColumns)
{
    TempFolder program;
    TempFolder temporary;
    setenv("TMPDIR", temporary.path().c_str(), 1);
    Schema::createReportDatabase(program.file("REPORT.MDB"));
    {
        Database old(program.file("REPORT.MDB"), "");
        old.execute("ALTER TABLE PRIME DROP COLUMN FOLLOWUPDUE");
        old.execute("ALTER TABLE PRIME DROP COLUMN FOLLOWUPTEXT");
    }
    Database scratch = ReportDatabase::openScratch(program.path());
    scratch.execute("INSERT INTO PRIME (FILE, FOLLOWUPDUE, FOLLOWUPTEXT) VALUES ('1', "
                    "'2026-12-14', 'Call')");
    EXPECT_EQ(queryRows(scratch, "SELECT FILE, FOLLOWUPDUE, FOLLOWUPTEXT FROM PRIME", "NULL"),
              std::vector<std::string>{"1|2026-12-14|Call"});
    unsetenv("TMPDIR");
}

TEST(ReportDefinitionTest, FaultsNameTheirLine)
{
    const struct
    {
        const char* text;
        const char* message;
    } cases[] = {
        {"page 8.5 11\nrecord 1\n  text 0 0 body \"{NAME1}\"\n", "line 3: unknown font body"},
        {"text 0 0 body \"x\"\n", "line 1: text stands outside a band"},
        {"font body \"Liberation Sans 9\n", "line 1: a quote is not closed"},
        {"# comment\npage 8.5\n", "line 2: a value is missing"},
        {"record 1\n  circle 0 0\n", "line 2: unknown statement circle"},
    };
    for (const auto& fault : cases) {
        try {
            ReportDefinition::parse(fault.text);
            ADD_FAILURE() << fault.text;
        } catch (const ReportDefinition::ParseError& error) {
            EXPECT_EQ(std::string(error.what()), fault.message);
        }
    }
}

} // namespace
} // namespace kora::test
