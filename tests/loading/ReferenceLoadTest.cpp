#include "LoadTestFolder.h"

#include "loading/LoadError.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

TEST(ReferenceLoad, Counties)
{
    LoadTestFolder folder("PA");
    folder.db().execute("INSERT INTO COUNTY (CODE, COUNTY) VALUES ('999', 'OLD')");
    FixedRecord skipped = FixedRecord(36).put(2, "005").put(5, "SKIPPED");
    skipped.put(2, "\t");
    folder.write("CTYPA.DAT", {FixedRecord(36).put(2, "001").put(5, "ADAMS"), skipped,
                               FixedRecord(36).put(1, "X003ALLEGHENY")});
    folder.loader().loadCounties();

    EXPECT_FALSE(folder.exists("CTYPA.DAT"));
    EXPECT_EQ(folder.rows("SELECT CODE || '|' || COUNTY FROM COUNTY ORDER BY CODE"),
              (Rows{"001|ADAMS" + std::string(25, ' '), "003|ALLEGHENY" + std::string(21, ' ')}));

    folder.write("CTYPA.DAT", {FixedRecord(36).put(2, "001").put(5, "ADAMS"),
                               FixedRecord(36).put(2, "001").put(5, "AGAIN")});
    EXPECT_THROW(folder.loader().loadCounties(), LoadError);
    EXPECT_TRUE(folder.exists("CTYPA.DAT"));
    EXPECT_EQ(folder.count("COUNTY"), 2);
}

TEST(ReferenceLoad, SicCodes)
{
    LoadTestFolder folder("DE");
    auto sic = [](const std::string& code, const std::string& description) {
        return FixedRecord(52).put(1, code).put(9, description);
    };
    folder.write("SIC.DAT", {sic("7", "SKIPPED"), sic("123", "SKIPPED"), sic(" 15  ", "BUILDING"),
                             sic("1521 ", "GENERAL CONTRACTORS"), sic("12345", "SKIPPED"),
                             sic("", "SKIPPED")});
    folder.loader().loadSicCodes();

    EXPECT_FALSE(folder.exists("SIC.DAT"));
    EXPECT_EQ(folder.rows("SELECT CODE || '|' || RTRIM([DESC]) FROM SICCODES ORDER BY CODE"),
              (Rows{"1500|BUILDING", "1521|GENERAL CONTRACTORS"}));
    EXPECT_EQ(folder.value("SELECT LENGTH([DESC]) FROM SICCODES WHERE CODE = '1500'"), Value(42));
}

// A New York address record: file 3-9, sequence 10-11, line k at 19 + 38k.
FixedRecord addressRecord(const std::string& file, const std::vector<std::string>& lines)
{
    FixedRecord record(327);
    record.put(1, "NY").put(3, file).put(10, "01");
    for (size_t k = 0; k < lines.size(); ++k)
        record.put(19 + 38 * static_cast<int>(k), lines[k]);
    return record;
}

std::string line(const std::string& text)
{
    return text + std::string(35 - text.size(), ' ') + "\r\n";
}

TEST(ReferenceLoad, NewYorkAddresses)
{
    LoadTestFolder folder("NY");
    // Line 1 is blank, line 2 a lone letter before blanks: both skipped.
    // "1 MAIN ST" has a blank in its second place and is kept.
    FixedRecord first = addressRecord(
        "1234567", {"ACME TOOL CO", "", "X", "1 MAIN ST", "", "", "", "ALBANY NY 12207"});
    first.put(19 + 38 * 4 + 34, "!");
    FixedRecord second = addressRecord("1234567", {"ATTN PAYROLL"});
    FixedRecord noLines = addressRecord("7654321", {});
    std::vector<FixedRecord> records = {first, noLines, second,
                                        addressRecord("5555555", {"SKIPPED"}).put(1, " \x01")};
    // 300 more companies: one batch of progress.
    for (int i = 0; i < 300; ++i)
        records.push_back(addressRecord(std::to_string(2000000 + i), {"LINE"}));
    folder.write("DATA2NY.DAT", records);
    folder.loader().loadNewYorkAddresses();

    EXPECT_FALSE(folder.exists("DATA2NY.DAT"));
    EXPECT_EQ(folder.count("ADDRESSES"), 302);
    EXPECT_EQ(folder.value("SELECT ADDRESSES FROM ADDRESSES WHERE FILE = '123 45 67' AND "
                           "SEQUENCE = '01'"),
              Value(line("ACME TOOL CO") + line("1 MAIN ST") + line(std::string(34, ' ') + "!") +
                    line("ALBANY NY 12207") + line("ATTN PAYROLL")));
    EXPECT_TRUE(folder.value("SELECT ADDRESSES FROM ADDRESSES WHERE FILE = '765 43 21'").isNull());
    EXPECT_EQ(folder.progress.texts,
              (Rows{"TOTAL OTHER INFORMATION ADDED IS 0", "TOTAL OTHER INFORMATION ADDED IS 300"}));
}

} // namespace
} // namespace kora::test
