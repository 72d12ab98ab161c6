#include "lookup/LookupFile.h"
#include "lookup/Criteria.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kora::test {
namespace {

using F = FieldCatalogue;

TEST(LookupFile, WritesOneQuotedLinePerCriterionAndReadsItBack)
{
    TempFolder folder;
    std::vector<SQLPARAMETER> criteria = {
        criterion(F::ExperienceMod, "1.250", "9.999"),
        criterion(F::EmployerName, "  O'BRIEN  ", "12\" PIPE CO ", true),
        criterion(F::User1Field, " ", "Z")};
    criteria[0].SQLDESC = "OLD TITLE";
    ASSERT_TRUE(LookupFile::write(folder.file("SEARCH1.KRD"), " MY, \"BEST\" ", criteria));
    std::ostringstream bytes;
    bytes << std::ifstream(folder.file("SEARCH1.KRD"), std::ios::binary).rdbuf();
    EXPECT_EQ(bytes.str(),
              "\" MY, \"\"BEST\"\" \",\"Experience Mod.\",\"1.250\",\"9.999\",\"MOD\",#FALSE#\r\n"
              "\" MY, \"\"BEST\"\" \",\"Employer Name\",\"  O'BRIEN  \",\"12\"\" PIPE CO \","
              "\"NAME1\",#TRUE#\r\n"
              "\" MY, \"\"BEST\"\" \",\"User1 Field\",\" \",\"Z\",\"User1\",#FALSE#\r\n");

    const auto read = LookupFile::read(folder.file("SEARCH1.KRD"));
    ASSERT_TRUE(read);
    for (SQLPARAMETER& written : criteria)
        written.SQLDESC = " MY, \"BEST\" ";
    EXPECT_EQ(*read, criteria);
}

TEST(LookupFile, RefusesFilesThatAreNotWholeLookups)
{
    TempFolder folder;
    const std::string line = "\"T\",\"Zip Code\",\"1\",\"2\",\"ZIP\",#FALSE#\r\n";
    const std::vector<std::pair<std::string, std::string>> files = {
        {"EMPTY.KRD", ""},
        {"SHORT.KRD", line + "\"T\",\"Zip Code\",\"1\",\"2\",\"ZIP\"\r\n"},
        {"LONG.KRD", "\"T\",\"Zip Code\",\"1\",\"2\",\"ZIP\",#FALSE#,\"X\"\r\n"},
        {"FLAG.KRD", "\"T\",\"Zip Code\",\"1\",\"2\",\"ZIP\",YES\r\n"},
        {"QUOTE.KRD", "\"T,\"Zip Code\",\"1\",\"2\",\"ZIP\",#FALSE#\r\n"},
        // Lines ended by LF alone and a blank last line are still read.
        {"UNIX.KRD", "\"T\",\"Zip Code\",\"1\",\"2\",\"ZIP\",#TRUE#\n\n"}};
    for (const auto& [name, bytes] : files) {
        std::ofstream(folder.file(name), std::ios::binary) << bytes;
        EXPECT_EQ(LookupFile::read(folder.file(name)).has_value(), name == "UNIX.KRD") << name;
    }
    const auto lfOnly = LookupFile::read(folder.file("UNIX.KRD"));
    ASSERT_TRUE(lfOnly);
    EXPECT_TRUE(lfOnly->front().SQLEXCLUDE);
    EXPECT_FALSE(LookupFile::read(folder.file("MISSING.KRD")));
}

} // namespace
} // namespace kora::test
