#include "base/Settings.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kora::test {
namespace {

TEST(Settings, WritesTheExactLineAndReadsItBackButNothingBroken)
{
    TempFolder folder;
    EXPECT_FALSE(Settings::read(folder.path()));
    ASSERT_TRUE(Settings::write(folder.path(), {"INITIAL", "PA"}));
    ASSERT_TRUE(Settings::write(folder.path(), {"Main \"Line\"", "NJ"}));
    std::ostringstream bytes;
    bytes << std::ifstream(folder.file("KORA.INI"), std::ios::binary).rdbuf();
    EXPECT_EQ(bytes.str(), "\"Main \"\"Line\"\"\",\"NJ\"\r\n");
    auto choice = Settings::read(folder.path());
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->workspace + "|" + choice->state, "Main \"Line\"|NJ");

    EXPECT_FALSE(Settings::read(""));
    EXPECT_FALSE(Settings::write("", {"INITIAL", "PA"}));
    EXPECT_FALSE(Settings::write(folder.file("no-such-folder/"), {"INITIAL", "PA"}));
    std::ofstream(folder.file("KORA.INI"), std::ios::binary) << "\"INITIAL";
    EXPECT_FALSE(Settings::read(folder.path()));
}

} // namespace
} // namespace kora::test
