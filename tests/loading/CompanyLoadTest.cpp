#include "CompanyRecords.h"
#include "LoadTestFolder.h"
#include "RecordedProgress.h"

#include "database/Transaction.h"
#include "loading/DataLoader.h"
#include "loading/LoadError.h"
#include "loading/UpdateRun.h"
#include "support/WriteFailure.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace kora::test {
namespace {

std::string padded(const std::string& text, size_t width)
{
    return text + std::string(width - text.size(), ' ');
}

TEST(CompanyLoad, StandardRecordFillsPrime)
{
    LoadTestFolder folder("PA");
    folder.db().execute("INSERT INTO COUNTY (CODE, COUNTY) VALUES ('101', 'PHILADELPHIA')");
    FixedRecord record = company("1234567", "01", "KEYSTONE BUILDERS INC");
    record.put(68, "DBA KEYSTONE HOMES")
        .put(106, "1500 MARKET ST")
        .put(146, "PHILADELPHIA")
        .put(168, "PA")
        .put(170, "19102")
        .put(175, "101")
        .put(178, "215-555-0134")
        .put(191, "1521")
        .put(305, "Y")
        .put(306, "MARY KOWALSKI")
        .put(336, "0795")
        .put(346, "4")
        .put(347, "3")
        .put(355, "CONDITIONAL")
        .put(401, "PRESIDENT")
        .put(431, "2201")
        .put(489, "215-555-0199");
    folder.write("DATAPA.DAT", {record, company("7654321", "01", "OTHER CO").put(175, "999")});
    RecordedProgress progress;
    DataLoader(folder.db(), folder.path(), "PA", progress).loadCompanies();

    EXPECT_FALSE(folder.exists("DATAPA.DAT"));
    EXPECT_EQ(folder.count("PRIME"), 2);
    Statement row = folder.db().prepare(
        "SELECT STATE, FILE, SEQUENCE, FILESEQ, NAME1, NameSort, NAME2, STREET, CITY, ST, ZIP, "
        "COUNTY, PHONE, AREA, SIC, ASSOCIATES, CONTACT, EMPLOYEES, SALES, TITLE, ZIPEXT, FAX, "
        "COUNTYNAME, CountySort, User1, User2, User3, Omit, UserPhone, UserContact, NJAR, "
        "CONDITIONAL, INTERSTATE, REVISED FROM PRIME WHERE FILE = '1234567'");
    ASSERT_TRUE(row.step());
    const std::vector<Value> expected = {"PA",
                                         "1234567",
                                         "01",
                                         "123456701",
                                         padded("KEYSTONE BUILDERS INC", 40),
                                         padded("KEYSTONE BUILDERS INC", 40),
                                         padded("DBA KEYSTONE HOMES", 38),
                                         padded("1500 MARKET ST", 40),
                                         padded("PHILADELPHIA", 22),
                                         "PA",
                                         "19102",
                                         "101",
                                         "215-555-0134",
                                         "215",
                                         "1521",
                                         1,
                                         padded("MARY KOWALSKI", 30),
                                         "4",
                                         "3",
                                         padded("PRESIDENT", 30),
                                         "2201",
                                         "215-555-0199",
                                         "PHILADELPHIA",
                                         "PHILADELPHIA",
                                         " ",
                                         " ",
                                         " ",
                                         " ",
                                         Value(),
                                         Value(),
                                         Value(),
                                         Value(),
                                         Value(),
                                         Value()};
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(row.column(static_cast<int>(i)), expected[i])
            << row.columnName(static_cast<int>(i));

    // An unknown county code leaves the county name empty; no 'Y' means no associates.
    EXPECT_TRUE(folder.value("SELECT COUNTYNAME FROM PRIME WHERE FILE = '7654321'").isNull());
    EXPECT_EQ(folder.value("SELECT ASSOCIATES FROM PRIME WHERE FILE = '7654321'"), Value(0));
    EXPECT_EQ(folder.count("NOTES"), 2);
    EXPECT_EQ(folder.value("SELECT NOTES FROM NOTES WHERE FILE = '1234567'"), Value(" "));
    EXPECT_EQ(progress.texts, std::vector<std::string>{"TOTAL COMPANIES ADDED IS 0"});
}

TEST(CompanyLoad, CompanyInTwoRecordsKeepsLaterFieldsAndAllMods)
{
    LoadTestFolder folder("PA");
    FixedRecord first = company("1000001", "01", "FIRST NAME");
    putMod(first, 0, "190115", "190301", "200301", "0950");
    first.put(106, "OLD STREET");
    FixedRecord second = company("1000001", "01", "SECOND NAME");
    putMod(second, 0, "210110", "210301", "220301", "1125");
    putMod(second, 1, "220110", "200301", "210301", "0870");
    // A first record without mods leaves nothing for the second to compare with.
    FixedRecord withoutMods = company("1000002", "01", "WITHOUT MODS");
    FixedRecord withMods = company("1000002", "01", "WITH MODS");
    putMod(withMods, 0, "210110", "210301", "220301", "1125");
    folder.write("DATAPA.DAT", {first, withoutMods, second, withMods});
    RecordedProgress progress;
    DataLoader(folder.db(), folder.path(), "PA", progress).loadCompanies();

    EXPECT_EQ(folder.value("SELECT EXPIRE || ' ' || [MOD] || ' ' || ISSUE1 FROM PRIME "
                           "WHERE FILE = '1000002'"),
              Value("2022-03-01 1.125 2021.0"));
    EXPECT_EQ(folder.count("PRIME"), 2);
    EXPECT_EQ(folder.count("NOTES"), 2);
    const std::string where = " FROM PRIME WHERE FILE = '1000001'";
    EXPECT_EQ(folder.value("SELECT NAME1" + where), Value(padded("SECOND NAME", 40)));
    EXPECT_EQ(folder.value("SELECT STREET" + where), Value(std::string(40, ' ')));
    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM MODS WHERE FILE = '1000001'"), Value(3));
    EXPECT_EQ(folder.value("SELECT EXPIRE" + where), Value("2022-03-01"));
    EXPECT_EQ(folder.value("SELECT [MOD]" + where), Value(1.125));
    // The latest issue year over both records, though it belongs to an older mod.
    EXPECT_EQ(folder.value("SELECT ISSUE1" + where), Value(2022.0));
    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM MODS WHERE FILE = '1000001' AND SEQUENCE = '01' "
                           "AND ISSUE = '2019-01-15' AND EFFECTIVE = '2019-03-01' AND "
                           "EXPIRE = '2020-03-01' AND [MOD] = 0.95"),
              Value(1));
}

TEST(CompanyLoad, ModSlots)
{
    LoadTestFolder folder("PA");
    // Slots 0 and 2 filled around an empty one; slot 3 has an unreadable expiration.
    FixedRecord gaps = company("2000001", "01", "GAPS");
    putMod(gaps, 0, "200101", "200201", "210201", "9886");
    putMod(gaps, 2, "210101", "210201", "220201", "1010");
    putMod(gaps, 3, "220101", "220201", "991399", "1200");
    // An equal expiration does not replace the first mod, nor does an earlier one.
    FixedRecord ties = company("2000002", "01", "TIES");
    putMod(ties, 0, "220101", "220201", "230201", "1100");
    putMod(ties, 1, "220101", "220201", "230201", "0900");
    putMod(ties, 2, "210101", "210201", "220201", "0800");
    // Mod digits that are not a number and a zero effective month leave no mod.
    FixedRecord skipped = company("2000003", "01", "SKIPPED");
    putMod(skipped, 0, "220101", "220201", "230201", "1X00");
    putMod(skipped, 1, "220101", "220001", "230201", "1000");
    // Every slot empty.
    FixedRecord none = company("2000004", "01", "NONE");
    folder.write("DATAPA.DAT", {gaps, ties, skipped, none});
    RecordedProgress progress;
    DataLoader(folder.db(), folder.path(), "PA", progress).loadCompanies();

    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM MODS WHERE FILE = '2000001'"), Value(3));
    EXPECT_EQ(folder.value("SELECT EXPIRE FROM MODS WHERE FILE = '2000001' AND [MOD] = 1.2"),
              Value("1950-01-01"));
    EXPECT_EQ(folder.value("SELECT EXPIRE || ' ' || [MOD] FROM PRIME WHERE FILE = '2000001'"),
              Value("2022-02-01 1.01"));
    // Thousandths are exact: the merit value is found by equality.
    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM MODS WHERE [MOD] = 9.886"), Value(1));

    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM MODS WHERE FILE = '2000002'"), Value(3));
    EXPECT_EQ(folder.value("SELECT [MOD] FROM PRIME WHERE FILE = '2000002'"), Value(1.1));
    EXPECT_EQ(folder.value("SELECT EXPIRE FROM PRIME WHERE FILE = '2000002'"), Value("2023-02-01"));

    for (const char* file : {"2000003", "2000004"}) {
        const std::string where = std::string(" WHERE FILE = '") + file + "'";
        EXPECT_EQ(folder.value("SELECT COUNT(*) FROM MODS" + where), Value(0)) << file;
        EXPECT_EQ(folder.value("SELECT COUNT(*) FROM PRIME" + where +
                               " AND EXPIRE IS NULL AND [MOD] IS NULL AND ISSUE1 IS NULL"),
                  Value(1))
            << file;
    }
}

TEST(CompanyLoad, SkippedRecordsCountTowardsProgress)
{
    LoadTestFolder folder("PA");
    std::vector<FixedRecord> records;
    for (int i = 0; i < 601; ++i)
        records.push_back(company(std::to_string(3000000 + i), "01", "COMPANY"));
    records[10].put(1, " ");    // begins with a blank
    records[20].put(1, "\x01"); // begins with a control character
    // A final piece shorter than a record is not a record.
    folder.write("DATAPA.DAT", records, "PA3999999  01");
    RecordedProgress progress;
    DataLoader(folder.db(), folder.path(), "PA", progress).loadCompanies();

    EXPECT_EQ(folder.count("PRIME"), 599);
    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM PRIME WHERE FILE IN ('3000010', '3999999')"),
              Value(0));
    EXPECT_EQ(progress.texts, (std::vector<std::string>{"TOTAL COMPANIES ADDED IS 0",
                                                        "TOTAL COMPANIES ADDED IS 300",
                                                        "TOTAL COMPANIES ADDED IS 600"}));
}

TEST(CompanyLoad, NewJerseyFields)
{
    for (const std::string state : {"NJ", "DE"}) {
        LoadTestFolder folder(state);
        FixedRecord july95 = company("4000001", "01", "JULY", state);
        july95.put(336, "07").put(338, "95").put(340, "YES").put(343, "NO ");
        july95.put(355, "CONDITIONAL").put(369, "0012500").put(376, "0013100").put(383, "0004200");
        FixedRecord december03 = company("4000002", "01", "DECEMBER", state);
        december03.put(336, "12").put(338, "03");
        FixedRecord unreadable = company("4000003", "01", "UNREADABLE", state);
        unreadable.put(336, "1A").put(338, "03");
        folder.write("DATA" + state + ".DAT", {july95, december03, unreadable});
        RecordedProgress progress;
        DataLoader(folder.db(), folder.path(), state, progress).loadCompanies();

        const Value july = folder.value(
            "SELECT NJAR || '|' || NJPPAP || '|' || NJCCPAP || '|' || CONDITIONAL || '|' || "
            "ARESTPREM || '|' || ARTOTPREM || '|' || ARTOTLOSS FROM PRIME WHERE FILE = '4000001'");
        if (state == "NJ") {
            EXPECT_EQ(july, Value("9507.0|YES|NO |CONDITIONAL   |0012500|0013100|0004200"));
            EXPECT_EQ(folder.value("SELECT NJAR FROM PRIME WHERE FILE = '4000002'"), Value(312.0));
            EXPECT_TRUE(folder.value("SELECT NJAR FROM PRIME WHERE FILE = '4000003'").isNull());
        } else {
            EXPECT_TRUE(july.isNull());
            EXPECT_EQ(folder.value("SELECT COUNT(*) FROM PRIME WHERE NJAR IS NULL"), Value(3));
        }
    }
}

TEST(CompanyLoad, NewYorkRecord)
{
    LoadTestFolder folder("NY");
    FixedRecord record(502);
    record.put(1, "NY")
        .put(3, "1234567")
        .put(10, "02")
        .put(28, std::string(35, 'N') + "TAIL")
        .put(68, "1 MAIN ST")
        .put(146, "ALBANY")
        .put(305, "Y")
        .put(346, "5")
        .put(347, "6")
        .put(355, "RI");
    // Issue and expiration month first, effective year first.
    putMod(record, 0, "011521", "210301", "030122", "0875");
    FixedRecord plain(502);
    plain.put(1, "NY").put(3, "7654321").put(10, "01").put(355, "XX");
    // An issue month of two blanks leaves the slot empty.
    putMod(plain, 0, "  1521", "210301", "030122", "0875");
    folder.write("DATANY.DAT", {record, plain});
    RecordedProgress progress;
    DataLoader(folder.db(), folder.path(), "NY", progress).loadNewYorkCompanies();

    EXPECT_FALSE(folder.exists("DATANY.DAT"));
    Statement row = folder.db().prepare(
        "SELECT FILE, FILESEQ, NAME1, NAME2, STREET, EMPLOYEES, SALES, REVISED, INTERSTATE, "
        "ASSOCIATES, EXPIRE, [MOD], ISSUE1 FROM PRIME WHERE SEQUENCE = '02'");
    ASSERT_TRUE(row.step());
    const std::vector<Value> expected = {"123 45 67",
                                         "123 45 6702",
                                         std::string(35, 'N'),
                                         " ",
                                         padded("1 MAIN ST", 34),
                                         "5",
                                         "6",
                                         1,
                                         1,
                                         1,
                                         Value("2022-03-01"),
                                         Value(0.875),
                                         Value()};
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(row.column(static_cast<int>(i)), expected[i])
            << row.columnName(static_cast<int>(i));
    EXPECT_EQ(folder.value("SELECT ISSUE || ' ' || EFFECTIVE || ' ' || EXPIRE FROM MODS"),
              Value("2021-01-15 2021-03-01 2022-03-01"));
    EXPECT_EQ(folder.count("MODS"), 1);
    EXPECT_EQ(folder.value("SELECT REVISED + INTERSTATE FROM PRIME WHERE FILE = '765 43 21'"),
              Value(0));
}

TEST(CompanyLoad, NotesOutliveALoadAndUserFieldsAreReset)
{
    LoadTestFolder folder("PA");
    folder.db().execute(
        "INSERT INTO PRIME (FILE, SEQUENCE, User1, UserPhone, Omit) VALUES "
        "('5000001', '01', 'hot lead', '555-1111', 'Y'), ('5000009', '01', 'gone', '', 'Y');"
        "INSERT INTO MODS (FILE, SEQUENCE, [MOD]) VALUES ('5000009', '01', 1.5);"
        "INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES ('5000001', '01', 'Call in March')");
    folder.write("DATAPA.DAT", {company("5000001", "01", "KEPT"), company("5000002", "01", "NEW")});
    RecordedProgress progress;
    DataLoader(folder.db(), folder.path(), "PA", progress).loadCompanies();

    EXPECT_EQ(folder.count("PRIME"), 2);
    EXPECT_EQ(folder.count("MODS"), 0);
    EXPECT_EQ(folder.value("SELECT User1 || Omit FROM PRIME WHERE FILE = '5000001'"), Value("  "));
    EXPECT_TRUE(folder.value("SELECT UserPhone FROM PRIME WHERE FILE = '5000001'").isNull());
    EXPECT_EQ(folder.value("SELECT NOTES FROM NOTES WHERE FILE = '5000001'"),
              Value("Call in March"));
    EXPECT_EQ(folder.value("SELECT NOTES FROM NOTES WHERE FILE = '5000002'"), Value(" "));
    EXPECT_EQ(folder.count("NOTES"), 2);
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
    FixedRecord first = company("6000001", "01", "FIRST");
    putMod(first, 0, "200101", "200201", "210201", "1000");
    folder.write("DATAPA.DAT", {first, company("6000002", "01", "SECOND")});
    RecordedProgress progress;
    DataLoader loader(folder.db(), folder.path(), "PA", progress);
    try {
        loader.loadCompanies();
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

    EXPECT_THROW(DataLoader(folder.db(), folder.path(), "DE", progress).loadCompanies(), LoadError);
    EXPECT_EQ(folder.count("PRIME"), 1);
}

std::vector<std::string> changes(LoadTestFolder& folder)
{
    std::vector<std::string> rows;
    Statement row =
        folder.db().prepare("SELECT FILE || ' ' || CHANGE FROM LOADCHANGES ORDER BY FILE");
    while (row.step())
        rows.push_back(row.column(0).toString());
    return rows;
}

TEST(CompanyLoad, RecordsTheCompaniesAddedAndThoseWithNewMods)
{
    LoadTestFolder folder("PA");
    RecordedProgress progress;
    FixedRecord kept = company("1000001", "01", "KEPT CO");
    putMod(kept, 0, "250101", "250301", "260301", "1000");
    FixedRecord grown = company("1000002", "01", "GROWN CO");
    putMod(grown, 0, "250101", "250301", "260301", "0950");
    folder.write("DATAPA.DAT", {kept, grown});
    DataLoader(folder.db(), folder.path(), "PA", progress).loadCompanies();
    EXPECT_EQ(changes(folder),
              (std::vector<std::string>{"1000001 New Company", "1000002 New Company"}));

    putMod(grown, 1, "260101", "260301", "270301", "1010");
    folder.write("DATAPA.DAT", {kept, grown, company("1000003", "01", "NEW CO")});
    DataLoader(folder.db(), folder.path(), "PA", progress).loadCompanies();
    EXPECT_EQ(changes(folder),
              (std::vector<std::string>{"1000002 New Mod", "1000003 New Company"}));

    folder.write("DATAPA.DAT", {kept, grown, company("1000003", "01", "NEW CO")});
    DataLoader(folder.db(), folder.path(), "PA", progress).loadCompanies();
    EXPECT_EQ(changes(folder), (std::vector<std::string>{}));
}

// A load inside a transaction that has written already compares with what
// that transaction wrote, which no other connection sees yet.
TEST(CompanyLoad, ChangesCountFromRowsWrittenBeforeTheLoadInItsTransaction)
{
    LoadTestFolder folder("PA");
    RecordedProgress progress;
    FixedRecord rated = company("1000001", "01", "RATED CO");
    putMod(rated, 0, "250101", "250301", "260301", "1000");
    folder.write("DATAPA.DAT", {rated, company("1000002", "01", "NEW CO")});
    Transaction outer(folder.db());
    folder.db().execute("INSERT INTO PRIME (FILE, SEQUENCE, NAME1, NameSort) VALUES ('1000001', "
                        "'01', 'RATED CO', 'RATED CO')");
    DataLoader(folder.db(), folder.path(), "PA", progress).loadCompanies();
    EXPECT_EQ(changes(folder),
              (std::vector<std::string>{"1000001 New Mod", "1000002 New Company"}));
}

// A company file that is not in the record layout, or one that would leave
// less than half of the companies unless the user agrees, changes nothing.
struct RefusedFile
{
    const char* name;
    std::string bytes;
    std::string reason;
};

std::string records(const std::vector<FixedRecord>& records)
{
    std::string bytes;
    for (const FixedRecord& record : records)
        bytes += record.text();
    return bytes;
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
    FixedRecord good = company("7000001", "01", "GOOD");
    putMod(good, 0, "200101", "200201", "210201", "0950");
    FixedRecord badDate = company("7000002", "01", "BAD DATE");
    putMod(badDate, 1, "200101", "200201", "2102XX", "0950");
    FixedRecord badMod = company("7000003", "01", "BAD MOD");
    putMod(badMod, 4, "200101", "200201", "210201", "0.95");
    return records({FixedRecord(502), good, badDate, good, badMod, badDate});
}

void PrintTo(const RefusedFile& file, std::ostream* out)
{
    *out << file.name;
}

class RefusedCompanyFile : public testing::TestWithParam<RefusedFile>
{
};

TEST_P(RefusedCompanyFile, LeavesDatabaseAndFile)
{
    LoadTestFolder folder("PA");
    folder.write("DATAPA.DAT", {company("1000001", "01", "ONE"), company("1000002", "01", "TWO"),
                                company("1000003", "01", "THREE")});
    RecordedProgress progress;
    DataLoader(folder.db(), folder.path(), "PA", progress).loadCompanies();
    std::ofstream(folder.path() + "DATAPA.DAT", std::ios::binary) << GetParam().bytes;
    progress.answer = false;
    try {
        DataLoader(folder.db(), folder.path(), "PA", progress).loadCompanies();
        FAIL() << "the file was loaded";
    } catch (const LoadError& error) {
        const std::string expected = "Cannot load DATAPA.DAT: " + GetParam().reason;
        EXPECT_EQ(std::string(error.what()).substr(0, expected.size()), expected);
    }
    EXPECT_EQ(folder.value("SELECT GROUP_CONCAT(RTRIM(NAME1), ' ') FROM PRIME"),
              Value("ONE TWO THREE"));
    EXPECT_EQ(folder.count("LOADCHANGES"), 3);
    EXPECT_EQ(std::filesystem::file_size(folder.path() + "DATAPA.DAT"), GetParam().bytes.size());
}

INSTANTIATE_TEST_SUITE_P(
    CompanyLoad, RefusedCompanyFile,
    testing::Values(
        RefusedFile{"LongLineOfOneLetter", std::string(10'000'000, 'A') + "\n",
                    "it is not a company file: 19920 of its 19920 records do not fit the "
                    "layout, the first is record 1"},
        RefusedFile{"BinaryJunk", binaryJunk(), "it is not a company file: "},
        RefusedFile{"MostRecordsOdd", mostlyOdd(),
                    "it is not a company file: 3 of its 5 records do not fit the layout, the "
                    "first is record 3"},
        RefusedFile{"OneOfThreeCompaniesLeft",
                    records({company("1000001", "01", "ONE"), company("1000001", "01", "ONE")}),
                    "it would remove 2 of the 3 companies of PA, and that was not agreed to"}),
    [](const testing::TestParamInfo<RefusedFile>& info) { return std::string(info.param.name); });

TEST(CompanyLoad, FileThatLeavesFewCompaniesLoadsWhenAgreed)
{
    LoadTestFolder folder("PA");
    const std::vector<FixedRecord> four = {
        company("1000001", "01", "ONE"), company("1000002", "01", "TWO"),
        company("1000003", "01", "THREE"), company("1000004", "01", "FOUR")};
    folder.write("DATAPA.DAT", four);
    RecordedProgress progress;
    DataLoader(folder.db(), folder.path(), "PA", progress).loadCompanies();
    // Half of the companies stay: nothing to ask.
    folder.write("DATAPA.DAT", {four[0], four[1]});
    DataLoader(folder.db(), folder.path(), "PA", progress).loadCompanies();
    folder.write("DATAPA.DAT", four);
    DataLoader(folder.db(), folder.path(), "PA", progress).loadCompanies();
    EXPECT_TRUE(progress.questions.empty());

    folder.write("DATAPA.DAT", {company("1000009", "01", "NINE")});
    DataLoader(folder.db(), folder.path(), "PA", progress).loadCompanies();
    EXPECT_EQ(progress.questions,
              std::vector<std::string>{
                  "Loading DATAPA.DAT removes 3 of the 4 companies of PA: the file holds 1. "
                  "Load it?"});
    EXPECT_EQ(folder.value("SELECT GROUP_CONCAT(FILE) FROM PRIME"), Value("1000009"));
}

// Odd records and an incomplete last record load as far as they can be read
// and are told; file numbers that differ only in case are one company.
TEST(CompanyLoad, FlawedFileLoadsAndIsTold)
{
    LoadTestFolder folder("PA");
    FixedRecord kept = company("1000001", "01", "KEPT");
    putMod(kept, 0, "200101", "200201", "210201", "0950");
    FixedRecord badDate = company("1000002", "01", "BAD DATE");
    putMod(badDate, 0, "200101", "200201", "ABCDEF", "0950");
    FixedRecord upper = company("12345AB", "01", "UPPER");
    putMod(upper, 0, "200101", "200201", "210201", "1100");
    FixedRecord lower = company("12345ab", "01", "LOWER");
    putMod(lower, 0, "200101", "200201", "210201", "1X00");
    folder.write("DATAPA.DAT", {kept, company("1000002", "01", "BAD DATE")});
    RecordedProgress progress;
    UpdateRun::run(folder.db(), folder.path(), "PA", progress);

    folder.write("DATAPA.DAT", {kept, badDate, FixedRecord(502), upper, lower}, "PA1000003");
    EXPECT_EQ(UpdateRun::run(folder.db(), folder.path(), "PA", progress),
              (std::vector<std::string>{
                  "DATAPA.DAT: 2 records do not fit the layout (the first is record 2) and were "
                  "loaded as far as they could be read",
                  "DATAPA.DAT: an incomplete record of 9 bytes at the end was skipped"}));
    EXPECT_FALSE(folder.exists("DATAPA.DAT"));
    EXPECT_EQ(folder.value("SELECT GROUP_CONCAT(FILE || ' ' || RTRIM(NAME1), ', ') FROM PRIME"),
              Value("1000001 KEPT, 1000002 BAD DATE, 12345ab LOWER"));
    EXPECT_EQ(folder.value("SELECT GROUP_CONCAT(EXPIRE || ' ' || [MOD], ', ') FROM MODS WHERE "
                           "FILE <> '1000001'"),
              Value("1950-01-01 0.95, 2021-02-01 1.1"));
    EXPECT_EQ(changes(folder),
              (std::vector<std::string>{"1000002 New Mod", "12345AB New Company"}));
}

// A load whose data was committed when its file could not be deleted (a
// crash in between) is not loaded again: its record of changes stays.
TEST(CompanyLoad, FileLoadedBeforeACrashIsNotLoadedAgain)
{
    LoadTestFolder folder("PA");
    const std::string delivery = folder.path() + "delivery";
    std::filesystem::create_directories(delivery);
    auto deliver = [&delivery](const std::vector<FixedRecord>& companies) {
        std::ofstream(delivery + "/DATAPA.DAT", std::ios::binary) << records(companies);
    };
    RecordedProgress progress;
    deliver({company("1000001", "01", "ONE"), company("1000002", "01", "TWO")});
    DataLoader(folder.db(), delivery, "PA", progress).loadCompanies();
    deliver({company("1000001", "01", "ONE"), company("1000002", "01", "TWO"),
             company("1000003", "01", "THREE")});
    {
        const UnwritableFolder locked(delivery);
        if (!locked.usable())
            GTEST_SKIP() << "no folder here keeps its files";
        EXPECT_THROW(DataLoader(folder.db(), delivery, "PA", progress).loadCompanies(), LoadError);
    }
    EXPECT_EQ(changes(folder), std::vector<std::string>{"1000003 New Company"});

    DataLoader(folder.db(), delivery, "PA", progress).loadCompanies();
    EXPECT_FALSE(std::filesystem::exists(delivery + "/DATAPA.DAT"));
    EXPECT_EQ(changes(folder), std::vector<std::string>{"1000003 New Company"});
    EXPECT_EQ(folder.count("PRIME"), 3);

    // A later delivery under the same name is loaded.
    deliver({company("1000001", "01", "ONE"), company("1000002", "01", "TWO"),
             company("1000003", "01", "THREE"), company("1000004", "01", "FOUR")});
    DataLoader(folder.db(), delivery, "PA", progress).loadCompanies();
    EXPECT_EQ(changes(folder), std::vector<std::string>{"1000004 New Company"});
}
} // namespace
} // namespace kora::test
