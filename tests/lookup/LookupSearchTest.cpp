#include "lookup/LookupSearch.h"
#include "lookup/Criteria.h"
#include "lookup/LookupFile.h"
#include "lookup/LookupTestDatabase.h"

#include <gtest/gtest.h>

#include <fstream>

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
        std::ofstream(path, std::ios::binary) << bytes;
        LookupSearch search("PA");
        const auto setUp = search.SetUpSQL(path, false);
        EXPECT_FALSE(setUp.ready) << message;
        EXPECT_EQ(setUp.messages, (std::vector<LookupMessage>{{message, "Parameter Verification",
                                                               LookupMessage::Icon::Exclamation}}));
        EXPECT_EQ(search.CurSQL(), "");
    }

    // The most criteria a lookup holds, and long texts, still run on the engine.
    std::ofstream(path, std::ios::binary)
        << lines(199, "Class Code", "CLASS") + line("Employer Name", digits, digits, "NAME1");
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
