#include "lookup/LookupFolder.h"
#include "lookup/Criteria.h"
#include "lookup/LookupFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace kora::test {
namespace {

using F = FieldCatalogue;
namespace fs = std::filesystem;

const std::vector<SQLPARAMETER> kModLookup = {criterion(F::ExperienceMod, "1.250", "9.999")};
const std::vector<SQLPARAMETER> kZipLookup = {criterion(F::ZipCode, "19000", "19099")};

void touch(const std::string& path, const std::string& bytes = "")
{
    std::ofstream(path) << bytes;
}

std::string titleOf(const std::string& path)
{
    const auto criteria = LookupFile::read(path);
    return criteria ? criteria->front().SQLDESC : "(unreadable)";
}

TEST(LookupFolder, NewNamedLookupsTakeTheFirstFreeSlotUpToEight)
{
    TempFolder folder;
    const LookupFolder lookups(folder.path());
    LookupFile::write(folder.file("SEARCH1.KRD"), "ONE", kModLookup);
    LookupFile::write(folder.file("SEARCH3.KRD"), "THREE", kModLookup);
    touch(folder.file("SEARCH2.KRD"));
    touch(folder.file("SEARCH2.XCL"), "stale");

    const auto first = lookups.save("TWO", kZipLookup, "");
    EXPECT_EQ(first.fileName, "SEARCH2.KRD");
    EXPECT_FALSE(first.message);
    EXPECT_EQ(titleOf(folder.file("SEARCH2.KRD")), "TWO");
    EXPECT_FALSE(fs::exists(folder.file("SEARCH2.XCL")));
    for (int slot = 4; slot <= 8; ++slot)
        EXPECT_EQ(lookups.save("LOOKUP", kZipLookup, "").fileName,
                  "SEARCH" + std::to_string(slot) + ".KRD");
    EXPECT_EQ(titleOf(folder.file("SEARCH1.KRD")), "ONE");
    EXPECT_EQ(titleOf(folder.file("SEARCH3.KRD")), "THREE");

    const auto ninth = lookups.save("NINE", kZipLookup, "");
    EXPECT_FALSE(ninth.saved());
    EXPECT_EQ(ninth.message,
              (LookupMessage{"Cannot write search information to disk!  Maximum searches is 8 "
                             "named searches and 1 untitled search.",
                             "Enter Selection Parameters", LookupMessage::Icon::Exclamation}));
    EXPECT_EQ(lookups.lookupFiles().size(), 8u);
    // The untitled lookup still has its place.
    EXPECT_EQ(lookups.save("UNTITLED", kZipLookup, "").fileName, "UNTITLED.KRD");
}

TEST(LookupFolder, UntitledIsReplacedAndEditedLookupsKeepTheirFile)
{
    TempFolder folder;
    const LookupFolder lookups(folder.path());
    EXPECT_EQ(lookups.save("UNTITLED", kModLookup, "").fileName, "UNTITLED.KRD");
    touch(folder.file("UNTITLED.XCL"), "stale");
    EXPECT_EQ(lookups.save("UNTITLED", kZipLookup, "").fileName, "UNTITLED.KRD");
    EXPECT_EQ(lookups.lookupFiles(), std::vector<std::string>{"UNTITLED.KRD"});
    EXPECT_EQ(LookupFile::read(folder.file("UNTITLED.KRD"))->front().SQLEXPR, "ZIP");
    EXPECT_FALSE(fs::exists(folder.file("UNTITLED.XCL")));
    // Only the exact word is the untitled lookup.
    EXPECT_EQ(lookups.save("Untitled", kZipLookup, "").fileName, "SEARCH1.KRD");

    // Retitled while edited: same file, new title, companion gone.
    touch(folder.file("SEARCH1.XCL"), "stale");
    EXPECT_EQ(lookups.save("RENAMED", kModLookup, "SEARCH1.KRD").fileName, "SEARCH1.KRD");
    EXPECT_EQ(titleOf(folder.file("SEARCH1.KRD")), "RENAMED");
    EXPECT_FALSE(fs::exists(folder.file("SEARCH1.XCL")));
    // An edited untitled lookup given a title stays untitled's file...
    EXPECT_EQ(lookups.save("NAMED NOW", kModLookup, "UNTITLED.KRD").fileName, "UNTITLED.KRD");
    // ...and an edited named lookup retitled UNTITLED is copied to UNTITLED.KRD.
    EXPECT_EQ(lookups.save("UNTITLED", kZipLookup, "SEARCH1.KRD").fileName, "UNTITLED.KRD");
    EXPECT_EQ(titleOf(folder.file("SEARCH1.KRD")), "RENAMED");
    EXPECT_EQ(lookups.lookupFiles(), (std::vector<std::string>{"SEARCH1.KRD", "UNTITLED.KRD"}));

    lookups.remove("SEARCH1.KRD");
    touch(folder.file("UNTITLED.XCL"));
    lookups.remove("UNTITLED.KRD");
    lookups.remove("UNTITLED.KRD");
    EXPECT_TRUE(fs::is_empty(folder.path()));
}

TEST(LookupFolder, AFailedWriteKeepsTheOldLookup)
{
    TempFolder folder;
    const LookupFolder lookups(folder.path());
    lookups.save("KEEP ME", kModLookup, "");
    // A folder in the way of the scratch file makes the write fail.
    const std::string scratch = folder.file("SEARCH1.KRD.new" + std::to_string(getpid()));
    fs::create_directory(scratch);
    touch(scratch + "/block");

    const auto result = lookups.save("LOST?", kZipLookup, "SEARCH1.KRD");
    EXPECT_FALSE(result.saved());
    EXPECT_EQ(result.message.value_or(LookupMessage{}).title, "Enter Selection Parameters");
    EXPECT_EQ(titleOf(folder.file("SEARCH1.KRD")), "KEEP ME");
}

} // namespace
} // namespace kora::test
