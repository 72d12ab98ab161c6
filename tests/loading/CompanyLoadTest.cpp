#include "LoadTestFolder.h"

#include "database/Transaction.h"
#include "loading/LoadError.h"
#include "loading/ModTrend.h"
#include "loading/UpdateRun.h"
#include "lookup/Criteria.h"
#include "lookup/QueryBuilder.h"
#include "support/WriteFailure.h"

#include <gtest/gtest.h>

#include <charconv>
#include <optional>
#include <random>

namespace kora::test {
namespace {

Rows changes(LoadTestFolder& folder)
{
    return folder.rows("SELECT FILE || ' ' || CHANGE FROM LOADCHANGES ORDER BY FILE");
}

// Companies 1000001, 1000002 and on, one record each.
std::vector<FixedRecord> companies(int count)
{
    std::vector<FixedRecord> records;
    for (int n = 1; n <= count; ++n)
        records.push_back(company(std::to_string(1000000 + n), "COMPANY"));
    return records;
}

// The user fields of a company are reset by a load, its notes stay; a
// company gone from the file leaves no row and no mods.
TEST(CompanyLoad, StandardRecordFillsPrime)
{
    LoadTestFolder folder("PA");
    folder.db().execute(
        "INSERT INTO COUNTY (CODE, COUNTY) VALUES ('101', 'PHILADELPHIA');"
        "INSERT INTO PRIME (FILE, SEQUENCE, User1, UserPhone, Omit) VALUES "
        "('1234567', '01', 'hot lead', '555-1111', 'Y'), ('5000009', '01', 'gone', '', 'Y');"
        "INSERT INTO MODS (FILE, SEQUENCE, [MOD]) VALUES ('5000009', '01', 1.5);"
        "INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES ('1234567', '01', 'Call in March')");
    FixedRecord record = company("1234567", "KEYSTONE BUILDERS INC");
    record.put(68, "DBA KEYSTONE HOMES").put(106, "1500 MARKET ST").put(146, "PHILADELPHIA");
    record.put(168, "PA").put(170, "19102").put(175, "101").put(178, "215-555-0134");
    record.put(191, "1521").put(305, "Y").put(306, "MARY KOWALSKI").put(336, "0795");
    record.put(346, "4").put(347, "3").put(355, "CONDITIONAL").put(401, "PRESIDENT");
    record.put(431, "2201").put(489, "215-555-0199");
    folder.loadCompanies({record, company("7654321", "OTHER CO").put(175, "999")});

    EXPECT_FALSE(folder.exists("DATAPA.DAT"));
    EXPECT_EQ(
        folder.rows("SELECT STATE, FILE, SEQUENCE, FILESEQ, NAME1, NameSort, NAME2, STREET, "
                    "CITY, ST, ZIP, COUNTY, PHONE, AREA, SIC, ASSOCIATES, CONTACT, EMPLOYEES, "
                    "SALES, TITLE, ZIPEXT, FAX, COUNTYNAME, CountySort, User1, User2, User3, "
                    "Omit, UserPhone, UserContact, NJAR, CONDITIONAL, INTERSTATE, REVISED "
                    "FROM PRIME ORDER BY FILE"),
        (Rows{"PA|1234567|01|123456701|" + padded("KEYSTONE BUILDERS INC", 40) + "|" +
                  padded("KEYSTONE BUILDERS INC", 40) + "|" + padded("DBA KEYSTONE HOMES", 38) +
                  "|" + padded("1500 MARKET ST", 40) + "|" + padded("PHILADELPHIA", 22) +
                  "|PA|19102|101|215-555-0134|215|1521|1|" + padded("MARY KOWALSKI", 30) + "|4|3|" +
                  padded("PRESIDENT", 30) +
                  "|2201|215-555-0199|PHILADELPHIA|PHILADELPHIA| | | | |-|-|-|-|-|-",
              // An unknown county code leaves no county name; no 'Y' means no associates.
              "PA|7654321|01|765432101|" + padded("OTHER CO", 40) + "|" + padded("OTHER CO", 40) +
                  "|" + padded("", 38) + "|" + padded("", 40) + "|" + padded("", 22) +
                  "|  |     |999|            |   |    |0|" + padded("", 30) + "| | |" +
                  padded("", 30) + "|    |            |-|-| | | | |-|-|-|-|-|-"}));
    EXPECT_EQ(folder.count("MODS"), 0);
    EXPECT_EQ(folder.rows("SELECT FILE, NOTES FROM NOTES ORDER BY FILE"),
              (Rows{"1234567|Call in March", "7654321| "}));
    EXPECT_EQ(folder.progress.texts, Rows{"TOTAL COMPANIES ADDED IS 0"});
}

// Companies in two records keep the later fields and all mods; the newest
// expiration wins, an equal or earlier one does not replace it; unreadable
// mods and dates are skipped or read as the pivot allows.
// A company met twice in the file is merged into one row, on either engine.
class CompanyMerge : public EngineTest<LoadTestFolder>
{
};

TEST_P(CompanyMerge, ModSlotsAndCompaniesInTwoRecords)
{
    LoadTestFolder& folder = data();
    FixedRecord first = company("1000001", "FIRST NAME").put(106, "OLD STREET");
    FixedRecord second = company("1000001", "SECOND NAME");
    second.mod(0, "210110|210301|220301|1125").mod(1, "220110|200301|210301|0870");
    // A first record without mods leaves nothing for the second to compare with.
    FixedRecord withMods = company("1000002", "WITH MODS");
    // Slots 0 and 2 filled around an empty one; slot 3 has an unreadable expiration.
    FixedRecord gaps = company("2000001", "GAPS").mod(0, "200101|200201|210201|9886");
    gaps.mod(2, "210101|210201|220201|1010").mod(3, "220101|220201|991399|1200");
    FixedRecord ties = company("2000002", "TIES").mod(0, "220101|220201|230201|1100");
    ties.mod(1, "220101|220201|230201|0900").mod(2, "210101|210201|220201|0800");
    // Mod digits that are not a number and a zero effective month leave no mod.
    FixedRecord skipped = company("2000003", "SKIPPED");
    skipped.mod(0, "220101|220201|230201|1X00").mod(1, "220101|220001|230201|1000");
    // A key beyond ASCII, which the server's load merges after the rows it
    // copies; the row takes a row id after theirs.
    folder.loadCompanies({first.mod(0, "190115|190301|200301|0950"),
                          company("10\xc3\x89"
                                  "001",
                                  "ACCENTED"),
                          company("1000002", "WITHOUT MODS"), second,
                          withMods.mod(0, "210110|210301|220301|1125"), gaps, ties, skipped,
                          company("2000004", "NONE")});

    // The latest issue year over both records, though it belongs to an older mod.
    EXPECT_EQ(folder.rows("SELECT FILE, RTRIM(NAME1), RTRIM(STREET), EXPIRE, [MOD], ISSUE1 "
                          "FROM PRIME ORDER BY FILE"),
              (Rows{"1000001|SECOND NAME||2022-03-01|1.125|2022",
                    "1000002|WITH MODS||2022-03-01|1.125|2021",
                    "10\xc3\x89"
                    "001|ACCENTED||-|-|-",
                    "2000001|GAPS||2022-02-01|1.01|2022", "2000002|TIES||2023-02-01|1.1|2022",
                    "2000003|SKIPPED||-|-|-", "2000004|NONE||-|-|-"}));
    EXPECT_EQ(folder.rows("SELECT FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, [MOD] FROM MODS "
                          "WHERE FILE < '2000002' ORDER BY FILE, EXPIRE"),
              (Rows{"1000001|01|2019-01-15|2019-03-01|2020-03-01|0.95",
                    "1000001|01|2022-01-10|2020-03-01|2021-03-01|0.87",
                    "1000001|01|2021-01-10|2021-03-01|2022-03-01|1.125",
                    "1000002|01|2021-01-10|2021-03-01|2022-03-01|1.125",
                    "2000001|01|2022-01-01|2022-02-01|1950-01-01|1.2",
                    "2000001|01|2020-01-01|2020-02-01|2021-02-01|9.886",
                    "2000001|01|2021-01-01|2021-02-01|2022-02-01|1.01"}));
    // Thousandths are exact: the merit value and the mod are found by equality.
    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM MODS WHERE [MOD] IN (9.886, 0.95)"), Value(2));
    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM MODS WHERE FILE = '2000002'"), Value(3));
    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM MODS WHERE FILE > '2000002'"), Value(0));
    EXPECT_EQ(folder.count("NOTES"), 7);
    EXPECT_EQ(folder.value("SELECT COUNT(DISTINCT rowid) FROM PRIME"), Value(7));
}

INSTANTIATE_TEST_SUITE_P(Engines, CompanyMerge, ::testing::Values(Engine::File, Engine::Server),
                         engineName);

TEST(CompanyLoad, SkippedRecordsCountTowardsProgress)
{
    LoadTestFolder folder("PA");
    std::vector<FixedRecord> records = companies(601);
    records[10].put(1, " ");    // begins with a blank
    records[20].put(1, "\x01"); // begins with a control character
    folder.loadCompanies(records);

    EXPECT_EQ(folder.count("PRIME"), 599);
    EXPECT_EQ(folder.progress.texts,
              (Rows{"TOTAL COMPANIES ADDED IS 0", "TOTAL COMPANIES ADDED IS 300",
                    "TOTAL COMPANIES ADDED IS 600"}));
}

TEST(CompanyLoad, NewJerseyFields)
{
    for (const std::string state : {"NJ", "DE"}) {
        LoadTestFolder folder(state);
        FixedRecord july95 = company("4000001", "JULY", state);
        july95.put(336, "07").put(338, "95").put(340, "YES").put(343, "NO ");
        july95.put(355, "CONDITIONAL").put(369, "0012500").put(376, "0013100").put(383, "0004200");
        folder.loadCompanies({july95,
                              company("4000002", "DEC", state).put(336, "12").put(338, "03"),
                              company("4000003", "BAD", state).put(336, "1A").put(338, "03")});

        const Rows fields = folder.rows("SELECT NJAR, NJPPAP, NJCCPAP, CONDITIONAL, ARESTPREM, "
                                        "ARTOTPREM, ARTOTLOSS FROM PRIME ORDER BY FILE");
        if (state == "NJ")
            EXPECT_EQ(fields, (Rows{"9507|YES|NO |CONDITIONAL   |0012500|0013100|0004200",
                                    "312|   |   |              |       |       |       ",
                                    "-|   |   |              |       |       |       "}));
        else
            EXPECT_EQ(folder.rows("SELECT NJAR FROM PRIME"), Rows(3, "-"));
    }
}

TEST(CompanyLoad, NewYorkRecord)
{
    LoadTestFolder folder("NY");
    FixedRecord record(502);
    record.put(1, "NY").put(3, "1234567").put(10, "02").put(28, std::string(35, 'N') + "TAIL");
    record.put(68, "1 MAIN ST").put(146, "ALBANY").put(305, "Y").put(346, "5").put(347, "6");
    // Issue and expiration month first, effective year first.
    record.put(355, "RI").mod(0, "011521|210301|030122|0875");
    FixedRecord plain(502);
    plain.put(1, "NY").put(3, "7654321").put(10, "01").put(355, "XX");
    // An issue month of two blanks leaves the slot empty.
    plain.mod(0, "  1521|210301|030122|0875");
    folder.write("DATANY.DAT", {record, plain});
    folder.loader().loadNewYorkCompanies();

    EXPECT_FALSE(folder.exists("DATANY.DAT"));
    EXPECT_EQ(folder.rows("SELECT FILE, FILESEQ, NAME1, NAME2, STREET, EMPLOYEES, SALES, REVISED, "
                          "INTERSTATE, ASSOCIATES, EXPIRE, [MOD], ISSUE1 FROM PRIME ORDER BY FILE"),
              (Rows{"123 45 67|123 45 6702|" + std::string(35, 'N') + "| |" +
                        padded("1 MAIN ST", 34) + "|5|6|1|1|1|2022-03-01|0.875|-",
                    "765 43 21|765 43 2101|" + std::string(35, ' ') + "| |" + padded("", 34) +
                        "| | |0|0|0|-|-|-"}));
    EXPECT_EQ(folder.rows("SELECT ISSUE, EFFECTIVE, EXPIRE FROM MODS"),
              Rows{"2021-01-15|2021-03-01|2022-03-01"});
}

TEST(CompanyLoad, FailureLeavesDatabaseAndFile)
{
    LoadTestFolder folder("PA");
    folder.db().execute(
        "INSERT INTO PRIME (FILE, SEQUENCE, NAME1, NameSort) VALUES ('6000009', '01', 'OLD', "
        "'OLD');"
        "INSERT INTO MODS (FILE, SEQUENCE, [MOD]) VALUES ('6000009', '01', 1.5);"
        "CREATE TRIGGER FAILING BEFORE INSERT ON PRIME WHEN NEW.FILE = '6000002' "
        "BEGIN SELECT RAISE(ABORT, 'disk trouble'); END");
    try {
        folder.loadCompanies({company("6000001", "FIRST").mod(0, "200101|200201|210201|1000"),
                              company("6000002", "SECOND")});
        FAIL() << "the load succeeded";
    } catch (const LoadError& error) {
        EXPECT_EQ(error.fileName(), "DATAPA.DAT");
        EXPECT_NE(std::string(error.what()).find("disk trouble"), std::string::npos);
    }
    EXPECT_TRUE(folder.exists("DATAPA.DAT"));
    EXPECT_EQ(folder.value("SELECT GROUP_CONCAT(FILE) FROM PRIME"), Value("6000009"));
    EXPECT_EQ(folder.count("MODS"), 1);
    EXPECT_EQ(folder.count("NOTES"), 0);
    EXPECT_FALSE(folder.db().inTransaction());
    // The indexes set aside for the load are back.
    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM sqlite_master WHERE name IN ('PRIME_KEY2', "
                           "'PRIME_KEY3', 'MODS_COMPANY')"),
              Value(3));

    EXPECT_THROW(DataLoader(folder.db(), folder.path(), "DE", folder.progress).loadCompanies(),
                 LoadError);
    EXPECT_EQ(folder.count("PRIME"), 1);
}

TEST(CompanyLoad, RecordsTheCompaniesAddedAndThoseWithNewMods)
{
    LoadTestFolder folder("PA");
    const FixedRecord kept = company("1000001", "KEPT CO").mod(0, "250101|250301|260301|1000");
    FixedRecord grown = company("1000002", "GROWN CO").mod(0, "250101|250301|260301|0950");
    folder.loadCompanies({kept, grown});
    EXPECT_EQ(changes(folder), (Rows{"1000001 New Company", "1000002 New Company"}));

    grown.mod(1, "260101|260301|270301|1010");
    const FixedRecord added = company("1000003", "NEW CO");
    folder.loadCompanies({kept, grown, added});
    EXPECT_EQ(changes(folder), (Rows{"1000002 New Mod", "1000003 New Company"}));

    folder.loadCompanies({kept, grown, added});
    EXPECT_EQ(changes(folder), Rows{});

    // A load inside a transaction that has written already compares with what
    // that transaction wrote, which no other connection sees yet.
    Transaction outer(folder.db());
    folder.db().execute("INSERT INTO PRIME (FILE, SEQUENCE, NAME1, NameSort) VALUES ('1000004', "
                        "'01', 'RATED CO', 'RATED CO')");
    folder.loadCompanies(
        {kept, grown, added, company("1000004", "RATED CO").mod(0, "250101|250301|260301|1000")});
    EXPECT_EQ(changes(folder), Rows{"1000004 New Mod"});
}

std::string binaryJunk()
{
    std::mt19937 random(23);
    std::string bytes(502 * 200, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random() & 0xff);
    bytes[0] = 'X';
    return bytes;
}

// Three of five used records have a filled date or mod that cannot be read.
std::string mostlyOdd()
{
    const FixedRecord good = company("7000001", "GOOD").mod(0, "200101|200201|210201|0950");
    const FixedRecord badDate = company("7000002", "BAD DATE").mod(1, "200101|200201|2102XX|0950");
    const FixedRecord badMod = company("7000003", "BAD MOD").mod(4, "200101|200201|210201|0.95");
    return bytesOf({FixedRecord(502), good, badDate, good, badMod, badDate});
}

// A company file that is not in the record layout, or one that would leave
// less than half of the companies unless the user agrees, changes nothing.
TEST(CompanyLoad, RefusedFileLeavesDatabaseAndFile)
{
    const std::pair<std::string, std::string> refused[] = {
        {std::string(10'000'000, 'A') + "\n",
         "it is not a company file: 19920 of its 19920 records do not fit the layout, the first "
         "is record 1"},
        {binaryJunk(), "it is not a company file: "},
        {mostlyOdd(), "it is not a company file: 3 of its 5 records do not fit the layout, the "
                      "first is record 3"},
        {bytesOf({companies(1)[0], companies(1)[0]}),
         "it would remove 2 of the 3 companies of PA, and that was not agreed to"}};
    for (const auto& [bytes, reason] : refused) {
        SCOPED_TRACE(reason);
        LoadTestFolder folder("PA");
        folder.loadCompanies(companies(3));
        std::ofstream(folder.path() + "DATAPA.DAT", std::ios::binary) << bytes;
        folder.progress.answer = false;
        try {
            folder.loader().loadCompanies();
            ADD_FAILURE() << "the file was loaded";
        } catch (const LoadError& error) {
            const std::string expected = "Cannot load DATAPA.DAT: " + reason;
            EXPECT_EQ(std::string(error.what()).substr(0, expected.size()), expected);
        }
        EXPECT_EQ(folder.value("SELECT GROUP_CONCAT(FILE) FROM PRIME"),
                  Value("1000001,1000002,1000003"));
        EXPECT_EQ(folder.count("LOADCHANGES"), 3);
        EXPECT_EQ(std::filesystem::file_size(folder.path() + "DATAPA.DAT"), bytes.size());
    }
}

TEST(CompanyLoad, FileThatLeavesFewCompaniesLoadsWhenAgreed)
{
    LoadTestFolder folder("PA");
    // Half of the companies stay: nothing to ask.
    for (int count : {4, 2, 4})
        folder.loadCompanies(companies(count));
    EXPECT_TRUE(folder.progress.questions.empty());

    folder.loadCompanies({company("1000009", "NINE")});
    EXPECT_EQ(folder.progress.questions,
              Rows{"Loading DATAPA.DAT removes 3 of the 4 companies of PA: the file holds 1. "
                   "Load it?"});
    EXPECT_EQ(folder.value("SELECT GROUP_CONCAT(FILE) FROM PRIME"), Value("1000009"));
}

// Odd records and an incomplete last record load as far as they can be read
// and are told; file numbers that differ only in case are one company.
TEST(CompanyLoad, FlawedFileLoadsAndIsTold)
{
    LoadTestFolder folder("PA");
    const FixedRecord kept = company("1000001", "KEPT").mod(0, "200101|200201|210201|0950");
    folder.write("DATAPA.DAT", {kept, company("1000002", "BAD DATE")});
    UpdateRun::run(folder.db(), folder.path(), "PA", folder.progress);

    folder.write("DATAPA.DAT",
                 {kept, company("1000002", "BAD DATE").mod(0, "200101|200201|ABCDEF|0950"),
                  FixedRecord(502), company("12345AB", "UPPER").mod(0, "200101|200201|210201|1100"),
                  company("12345ab", "LOWER").mod(0, "200101|200201|210201|1X00")},
                 "PA1000003");
    EXPECT_EQ(UpdateRun::run(folder.db(), folder.path(), "PA", folder.progress),
              (Rows{"DATAPA.DAT: 2 records do not fit the layout (the first is record 2) and were "
                    "loaded as far as they could be read",
                    "DATAPA.DAT: an incomplete record of 9 bytes at the end was skipped"}));
    EXPECT_FALSE(folder.exists("DATAPA.DAT"));
    EXPECT_EQ(folder.value("SELECT GROUP_CONCAT(FILE || ' ' || RTRIM(NAME1), ', ') FROM PRIME"),
              Value("1000001 KEPT, 1000002 BAD DATE, 12345ab LOWER"));
    EXPECT_EQ(folder.value("SELECT GROUP_CONCAT(EXPIRE || ' ' || [MOD], ', ') FROM MODS WHERE "
                           "FILE <> '1000001'"),
              Value("1950-01-01 0.95, 2021-02-01 1.1"));
    EXPECT_EQ(changes(folder), (Rows{"1000002 New Mod", "12345AB New Company"}));
}

// A load whose data was committed when its file could not be deleted (a
// crash in between) is not loaded again: its record of changes stays.
TEST(CompanyLoad, FileLoadedBeforeACrashIsNotLoadedAgain)
{
    LoadTestFolder folder("PA");
    const std::string delivery = folder.path() + "delivery";
    std::filesystem::create_directories(delivery);
    auto deliver = [&](int count) {
        std::ofstream(delivery + "/DATAPA.DAT", std::ios::binary) << bytesOf(companies(count));
    };
    auto load = [&] { DataLoader(folder.db(), delivery, "PA", folder.progress).loadCompanies(); };
    deliver(2);
    load();
    deliver(3);
    {
        const UnwritableFolder locked(delivery);
        if (!locked.usable())
            GTEST_SKIP() << "no folder here keeps its files";
        EXPECT_THROW(load(), LoadError);
    }
    EXPECT_EQ(changes(folder), Rows{"1000003 New Company"});

    load();
    EXPECT_FALSE(std::filesystem::exists(delivery + "/DATAPA.DAT"));
    EXPECT_EQ(changes(folder), Rows{"1000003 New Company"});
    EXPECT_EQ(folder.count("PRIME"), 3);

    // A later delivery under the same name is loaded.
    deliver(4);
    load();
    EXPECT_EQ(changes(folder), Rows{"1000004 New Company"});
}

struct StoredMod
{
    const char* effective;
    const char* expire;
    std::optional<double> mod;
};

// The shortest text that reads back as the very same number; "-" for none.
std::string exact(std::optional<double> number)
{
    if (!number)
        return "-";
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, *number).ptr);
}

// Latest, prior, change and years over of mods stored in the order given.
TEST(ModTrendValues, FollowTheOrderOfTheSummary)
{
    const std::pair<std::vector<StoredMod>, std::string> cases[] = {
        // Same effective date: the later expiration is the newer mod.
        {{{"2025-01-01", "2025-06-01", 1.0}, {"2025-01-01", "2026-01-01", 1.2}}, "1.2|1|0.2|1"},
        // A mod of 1.000 or less with the very same dates does not end the run.
        {{{"2025-01-01", "2026-01-01", 1.2}, {"2025-01-01", "2026-01-01", 0.9}}, "1.2|0.9|0.3|1"},
        // Merit codes are values above 1.000 to the criteria.
        {{{"2025-01-01", "2026-01-01", 9.885}, {"2024-01-01", "2025-01-01", 1.01}},
         "9.885|1.01|8.875|2"},
        {{{"2025-01-01", "2026-01-01", std::nullopt}, {"2024-01-01", "2025-01-01", 1.4}},
         "-|1.4|-|1"}};
    for (const auto& [mods, expected] : cases) {
        ModTrend trend;
        long long order = 0;
        for (const StoredMod& mod : mods)
            trend.add(mod.effective, mod.expire, mod.mod, ++order);
        EXPECT_EQ(exact(trend.latest()) + "|" + exact(trend.prior()) + "|" + exact(trend.change()) +
                      "|" + std::to_string(trend.yearsOver()),
                  expected);
    }
}

// MODTREND as text, one row a company: file, latest, prior, change, years.
Rows trendRows(LoadTestFolder& folder)
{
    return folder.rows("SELECT FILE, ROUND(LATEST, 3), ROUND(PRIOR, 3), ROUND(CHANGE, 3), "
                       "CAST(YEARSOVER AS INTEGER) FROM MODTREND ORDER BY FILE");
}

// The files a lookup condition selects.
Rows selected(LoadTestFolder& folder, const std::vector<SQLPARAMETER>& criteria)
{
    return folder.rows("SELECT FILE FROM PRIME WHERE " + QueryBuilder::condition(criteria) +
                       " ORDER BY FILE");
}

// MODTREND follows every load, and the database of an older release gets it
// filled from the mods it holds; the Mod Change and Years Mod Over lookups
// read it.
TEST(ModTrendLoad, FollowsEveryLoad)
{
    LoadTestFolder folder("PA");
    FixedRecord rising = company("1000001", "RISING CO").mod(0, "250101|250301|260301|1046");
    rising.mod(1, "240101|240301|250301|0950");
    const FixedRecord single = company("1000002", "SINGLE CO").mod(0, "250101|250301|260301|1200");
    FixedRecord none = company("1000003", "NO MODS CO");
    FixedRecord run = company("1000004", "RUN CO").mod(0, "250101|250301|260301|1100");
    run.mod(1, "240101|240301|250301|1050").mod(2, "230101|230301|240301|0990");
    // A company whose second record comes after another company's.
    FixedRecord split = company("1000005", "SPLIT CO");
    folder.loadCompanies({FixedRecord(split).mod(0, "230101|230301|240301|1300"), rising, single,
                          none, run, split.mod(0, "250101|250301|260301|1250")});
    const Rows loaded = {"1000001|1.046|0.95|0.096|1", "1000002|1.2|-|-|1", "1000003|-|-|-|0",
                         "1000004|1.1|1.05|0.05|2", "1000005|1.25|1.3|-0.05|2"};
    EXPECT_EQ(trendRows(folder), loaded);
    // The single mod has no change, so no range selects it, included or excluded.
    EXPECT_EQ(selected(folder, {criterion(FieldCatalogue::ModChange, "-9.999", "9.999")}),
              (Rows{"1000001", "1000004", "1000005"}));
    EXPECT_EQ(selected(folder, {criterion(FieldCatalogue::ModChange, "0.060", "9.999", true)}),
              (Rows{"1000004", "1000005"}));
    EXPECT_EQ(selected(folder, {criterion(FieldCatalogue::YearsModOver, "2", "99")}),
              (Rows{"1000004", "1000005"}));
    EXPECT_EQ(selected(folder, {criterion(FieldCatalogue::YearsModOver, "1", "99", true)}),
              (Rows{"1000003"}));

    folder.db().execute("DROP TABLE MODTREND; DROP TABLE LOADCHANGES");
    UpdateRun::addMissingTables(folder.db());
    EXPECT_EQ(trendRows(folder), loaded);
    EXPECT_EQ(folder.count("LOADCHANGES"), 0);
    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM sqlite_master WHERE name IN "
                           "('MODTREND_CHANGE', 'MODTREND_YEARS')"),
              Value(2));
    // Tables that are there stay as they are.
    folder.db().execute("DELETE FROM MODTREND WHERE FILE = '1000001'");
    UpdateRun::addMissingTables(folder.db());
    EXPECT_EQ(trendRows(folder).size(), loaded.size() - 1);

    // The newest mod of RISING falls; RUN's run ends on a mod of exactly 1.000.
    rising.mod(2, "260101|260301|270301|0900");
    run.mod(3, "260101|260301|270301|1000");
    none.mod(0, "260101|260301|270301|1010");
    folder.loadCompanies({rising, single, none, run});
    EXPECT_EQ(trendRows(folder), (Rows{"1000001|0.9|1.046|-0.146|0", "1000002|1.2|-|-|1",
                                       "1000003|1.01|-|-|1", "1000004|1|1.1|-0.1|0"}));
    EXPECT_EQ(selected(folder, {criterion(FieldCatalogue::ModChange, "-0.146", "-0.146")}),
              (Rows{"1000001"}));
    EXPECT_EQ(selected(folder, {criterion(FieldCatalogue::YearsModOver, "1", "1")}),
              (Rows{"1000002", "1000003"}));

    // A company gone from the file leaves no trend behind.
    folder.loadCompanies({single});
    EXPECT_EQ(trendRows(folder), (Rows{"1000002|1.2|-|-|1"}));
}

} // namespace
} // namespace kora::test
