#include "base/Settings.h"
#include "base/WriteFormat.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kora::test {
namespace {

std::string bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

TEST(Settings, WritesTheExactLineAndReadsItBackButNothingBroken)
{
    TempFolder folder;
    EXPECT_FALSE(Settings::read(folder.path()));
    ASSERT_TRUE(Settings::write(folder.path(), {"INITIAL", "PA"}));
    ASSERT_TRUE(Settings::write(folder.path(), {"Main Line", "NJ"}));
    EXPECT_EQ(bytesOf(folder.file("KORA.INI")), "\"Main Line\",\"NJ\"\r\n");
    auto choice = Settings::read(folder.path());
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->workspace + "|" + choice->state, "Main Line|NJ");

    EXPECT_FALSE(Settings::read(""));
    EXPECT_FALSE(Settings::write("", {"INITIAL", "PA"}));
    EXPECT_FALSE(Settings::write(folder.file("no-such-folder/"), {"INITIAL", "PA"}));
    std::ofstream(folder.file("KORA.INI"), std::ios::binary) << "\"INITIAL";
    EXPECT_FALSE(Settings::read(folder.path()));
}

TEST(WriteFormat, QuotesSurviveAWriteAndARead)
{
    const std::string line =
        WriteFormat::line({WriteFormat::text("O\"Brien, Inc"), WriteFormat::text("  x "),
                           WriteFormat::boolean(true)});
    EXPECT_EQ(line, "\"O\"\"Brien, Inc\",\"  x \",#TRUE#\r\n");
    auto fields = WriteFormat::fields(line.substr(0, line.size() - 2));
    ASSERT_TRUE(fields);
    EXPECT_EQ(*fields, (std::vector<std::string>{"O\"Brien, Inc", "  x ", "#TRUE#"}));
    EXPECT_FALSE(WriteFormat::fields("\"open"));
}

} // namespace
} // namespace kora::test
