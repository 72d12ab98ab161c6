#include "lookup/LookupSearch.h"
#include "lookup/Criteria.h"
#include "lookup/LookupFile.h"
#include "lookup/LookupTestDatabase.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kora::test {
namespace {

using F = FieldCatalogue;

class LookupSearchTest : public ::testing::Test
{
protected:
    std::string lookup(const std::vector<SQLPARAMETER>& criteria)
    {
        LookupFile::write(m_folder.file("SEARCH1.KRD"), "TEST", criteria);
        return m_folder.file("SEARCH1.KRD");
    }

    TempFolder m_folder;
};

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

struct FileCase
{
    std::string bytes;
    std::string message; // empty: the lookup runs
};

class LookupSearchRefusal : public LookupSearchTest, public ::testing::WithParamInterface<FileCase>
{
};

// Files written by hand or by another program: each is refused with its
// message before any statement is built, so none can hang or crash the program.
TEST_P(LookupSearchRefusal, TellsWhyAFileCannotBeRun)
{
    std::ofstream(m_folder.file("SEARCH4.KRD"), std::ios::binary) << GetParam().bytes;
    LookupSearch search("PA");
    const auto setUp = search.SetUpSQL(m_folder.file("SEARCH4.KRD"), false);
    if (GetParam().message.empty()) {
        ASSERT_TRUE(setUp.ready);
        LookupTestDatabase state("PA");
        EXPECT_EQ(search.recordCount(state.db()), 0);
        return;
    }
    EXPECT_FALSE(setUp.ready);
    const LookupMessage message{GetParam().message, "Parameter Verification",
                                LookupMessage::Icon::Exclamation};
    EXPECT_EQ(setUp.messages, std::vector<LookupMessage>{message});
    EXPECT_EQ(search.CurSQL(), "");
}

const std::string kDigits(50000, '1');

INSTANTIATE_TEST_SUITE_P(
    Files, LookupSearchRefusal,
    ::testing::Values(
        FileCase{"\"T\",\"Zip Code\",\"1\"\r\n", "Cannot read the lookup file SEARCH4.KRD."},
        FileCase{line("Experience Mod.", "1.0; DROP TABLE PRIME", "2", "MOD"), "Invalid mod!"},
        FileCase{line("Expiration Date", "0101", kDigits, "EXPIRE"),
                 "Date must be in the form MMDD!"},
        FileCase{line("Mod Change", "-" + kDigits, "0", "MODCHANGE"),
                 "Mod change must be a number from -9.999 to 9.999!"},
        FileCase{lines(201, "Zip Code", "ZIP"),
                 "The lookup file SEARCH4.KRD holds more than 200 criteria."},
        // The most criteria a lookup holds, and long texts, still run on the engine.
        FileCase{lines(199, "Class Code", "CLASS") +
                     line("Employer Name", kDigits, kDigits, "NAME1"),
                 ""},
        // An Exclude on a code no field has would otherwise select every company.
        FileCase{line("Zip Code", "19000", "19099", "ZIP") +
                     line("Zip Code", "19000", "19099", "ZIPCODE", true),
                 "The lookup file SEARCH4.KRD holds the field code \"ZIPCODE\", which is not "
                 "a lookup field."}));

TEST_F(LookupSearchTest, ShowsTheStatementAndSetsTheSortedRecordSource)
{
    LookupSearch search("PA");
    const auto all = search.SetUpSQL(lookup({criterion(F::NewRecords, "", "")}), true);
    EXPECT_TRUE(all.ready);
    EXPECT_EQ(search.CurSQL(), "SELECT * FROM PRIME");
    EXPECT_EQ(all.messages,
              (std::vector<LookupMessage>{{"ALL RECORDS SELECTED", "", LookupMessage::Icon::None},
                                          {"SELECT * FROM PRIME", "", LookupMessage::Icon::None}}));

    const auto some = search.SetUpSQL(lookup({criterion(F::ZipCode, "19000", "19099")}), true);
    EXPECT_EQ(some.messages,
              (std::vector<LookupMessage>{{"SELECT * FROM PRIME WHERE (ZIP BETWEEN '19000' AND "
                                           "'19099')",
                                           "", LookupMessage::Icon::None}}));

    const std::string cur = "SELECT * FROM PRIME WHERE (ZIP BETWEEN '19000' AND '19099')";
    EXPECT_TRUE(search.sortBy(kora::GridColumn::Name));
    EXPECT_EQ(search.recordSource(), cur + " ORDER BY NAME1");
    EXPECT_FALSE(search.sortBy(kora::GridColumn::Effective));
    EXPECT_EQ(search.recordSource(), cur + " ORDER BY NAME1");
    EXPECT_TRUE(search.sortBy(kora::GridColumn::Expires));
    EXPECT_EQ(search.recordSource(), cur + " ORDER BY MONTH(EXPIRE), DAY(EXPIRE), NAME1");
    // The Omit column re-runs the query in the order last chosen.
    EXPECT_TRUE(search.sortBy(kora::GridColumn::Omit));
    EXPECT_EQ(search.recordSource(), cur + " ORDER BY MONTH(EXPIRE), DAY(EXPIRE), NAME1");
    EXPECT_TRUE(search.sortBy(kora::GridColumn::File));
    EXPECT_EQ(search.recordSource(), cur + " ORDER BY FILE");
}

} // namespace
} // namespace kora::test
