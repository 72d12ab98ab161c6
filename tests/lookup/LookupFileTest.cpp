#include "lookup/LookupFile.h"
#include "lookup/Criteria.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kora::test {
namespace {

using F = FieldCatalogue;

std::string bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(LookupFile, WritesOneQuotedLinePerCriterionWithTheCurrentTitle)
{
    TempFolder folder;
    std::vector<SQLPARAMETER> criteria = {criterion(F::ExperienceMod, "1.250", "9.999"),
                                          criterion(F::ZipCode, "19000", "19099", true)};
    criteria[0].SQLDESC = "OLD TITLE";
    ASSERT_TRUE(LookupFile::write(folder.file("SEARCH1.KRD"), "BIG RISKS", criteria));
    EXPECT_EQ(bytesOf(folder.file("SEARCH1.KRD")),
              "\"BIG RISKS\",\"Experience Mod.\",\"1.250\",\"9.999\",\"MOD\",#FALSE#\r\n"
              "\"BIG RISKS\",\"Zip Code\",\"19000\",\"19099\",\"ZIP\",#TRUE#\r\n");
}

TEST(LookupFile, ReadsBackExclusionBlanksAndQuotes)
{
    TempFolder folder;
    const std::vector<SQLPARAMETER> written = {
        criterion(F::EmployerName, "  O'BRIEN  ", "12\" PIPE CO ", true),
        criterion(F::User1Field, " ", "Z")};
    ASSERT_TRUE(LookupFile::write(folder.file("UNTITLED.KRD"), " MY, \"BEST\" ", written));
    EXPECT_NE(bytesOf(folder.file("UNTITLED.KRD")).find("\"12\"\" PIPE CO \""), std::string::npos);

    const auto read = LookupFile::read(folder.file("UNTITLED.KRD"));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 2u);
    EXPECT_EQ((*read)[0], (SQLPARAMETER{" MY, \"BEST\" ", "Employer Name", "  O'BRIEN  ",
                                        "12\" PIPE CO ", "NAME1", true}));
    EXPECT_EQ((*read)[1],
              (SQLPARAMETER{" MY, \"BEST\" ", "User1 Field", " ", "Z", "User1", false}));
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
        {"QUOTE.KRD", "\"T,\"Zip Code\",\"1\",\"2\",\"ZIP\",#FALSE#\r\n"}};
    for (const auto& [name, bytes] : files) {
        writeBytes(folder.file(name), bytes);
        EXPECT_FALSE(LookupFile::read(folder.file(name))) << name;
    }
    EXPECT_FALSE(LookupFile::read(folder.file("MISSING.KRD")));

    // Lines ended by LF alone and a blank last line are still read.
    writeBytes(folder.file("UNIX.KRD"), "\"T\",\"Zip Code\",\"1\",\"2\",\"ZIP\",#TRUE#\n\n");
    const auto read = LookupFile::read(folder.file("UNIX.KRD"));
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->front().SQLEXCLUDE);

    EXPECT_EQ(LookupFile::unreadableMessage("SEARCH4.KRD"),
              (LookupMessage{"Cannot read the lookup file SEARCH4.KRD.", "Parameter Verification",
                             LookupMessage::Icon::Exclamation}));
}

} // namespace
} // namespace kora::test
