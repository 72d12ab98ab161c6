#include "lookup/LookupFolder.h"
#include "lookup/Criteria.h"
#include "lookup/LookupFile.h"
#include "lookup/LookupTabs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace kora::test {
namespace {

using F = FieldCatalogue;
namespace fs = std::filesystem;

TEST(LookupFile, WritesOneQuotedLinePerCriterionAndReadsItBack)
{
    TempFolder folder;
    std::vector<SQLPARAMETER> criteria = {
        criterion(F::ExperienceMod, "1.250", "9.999"),
        criterion(F::EmployerName, "  O'BRIEN  ", "12\" PIPE CO ", true),
        criterion(F::User1Field, " ", "Z")};
    criteria[0].SQLDESC = "OLD TITLE";
    ASSERT_TRUE(LookupFile::write(folder.file("SEARCH1.KRD"), " MY, \"BEST\" ", criteria));
    EXPECT_EQ(fileBytes(folder.file("SEARCH1.KRD")),
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
        writeFile(folder.file(name), bytes);
        EXPECT_EQ(LookupFile::read(folder.file(name)).has_value(), name == "UNIX.KRD") << name;
    }
    const auto lfOnly = LookupFile::read(folder.file("UNIX.KRD"));
    ASSERT_TRUE(lfOnly);
    EXPECT_TRUE(lfOnly->front().SQLEXCLUDE);
    EXPECT_FALSE(LookupFile::read(folder.file("MISSING.KRD")));
}

const std::vector<SQLPARAMETER> kModLookup = {criterion(F::ExperienceMod, "1.250", "9.999")};
const std::vector<SQLPARAMETER> kZipLookup = {criterion(F::ZipCode, "19000", "19099")};

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
    writeFile(folder.file("SEARCH2.KRD"), "");
    writeFile(folder.file("SEARCH2.XCL"), "stale");

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
    writeFile(folder.file("UNTITLED.XCL"), "stale");
    EXPECT_EQ(lookups.save("UNTITLED", kZipLookup, "").fileName, "UNTITLED.KRD");
    EXPECT_EQ(lookups.lookupFiles(), std::vector<std::string>{"UNTITLED.KRD"});
    EXPECT_EQ(LookupFile::read(folder.file("UNTITLED.KRD"))->front().SQLEXPR, "ZIP");
    EXPECT_FALSE(fs::exists(folder.file("UNTITLED.XCL")));
    // Only the exact word is the untitled lookup.
    EXPECT_EQ(lookups.save("Untitled", kZipLookup, "").fileName, "SEARCH1.KRD");

    // Retitled while edited: same file, new title, companion gone.
    writeFile(folder.file("SEARCH1.XCL"), "stale");
    EXPECT_EQ(lookups.save("RENAMED", kModLookup, "SEARCH1.KRD").fileName, "SEARCH1.KRD");
    EXPECT_EQ(titleOf(folder.file("SEARCH1.KRD")), "RENAMED");
    EXPECT_FALSE(fs::exists(folder.file("SEARCH1.XCL")));
    // An edited untitled lookup given a title stays untitled's file...
    EXPECT_EQ(lookups.save("NAMED NOW", kModLookup, "UNTITLED.KRD").fileName, "UNTITLED.KRD");
    // ...and an edited named lookup retitled UNTITLED is copied to UNTITLED.KRD.
    EXPECT_EQ(lookups.save("UNTITLED", kZipLookup, "SEARCH1.KRD").fileName, "UNTITLED.KRD");
    EXPECT_EQ(titleOf(folder.file("SEARCH1.KRD")), "RENAMED");
    EXPECT_EQ(lookups.lookupFiles(), (std::vector<std::string>{"SEARCH1.KRD", "UNTITLED.KRD"}));

    // Titles are measured in characters: sixty accented letters fit, an
    // edited lookup's title one longer leaves its file as it was.
    std::string sixty;
    for (int letter = 0; letter < 60; ++letter)
        sixty += "\u00e9";
    EXPECT_EQ(lookups.save(sixty, kZipLookup, "SEARCH1.KRD").fileName, "SEARCH1.KRD");
    const auto longer = lookups.save(sixty + "!", kModLookup, "SEARCH1.KRD");
    EXPECT_FALSE(longer.saved());
    EXPECT_EQ(longer.message->text, "The title is 61 characters long. A lookup title can have at "
                                    "most 60 characters, so that it fits its tab and the printed "
                                    "header.");
    EXPECT_EQ(titleOf(folder.file("SEARCH1.KRD")), sixty);

    lookups.remove("SEARCH1.KRD");
    writeFile(folder.file("UNTITLED.XCL"), "");
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
    writeFile(scratch + "/block", "");

    const auto result = lookups.save("LOST?", kZipLookup, "SEARCH1.KRD");
    EXPECT_FALSE(result.saved());
    EXPECT_EQ(result.message.value_or(LookupMessage{}).title, "Enter Selection Parameters");
    EXPECT_EQ(titleOf(folder.file("SEARCH1.KRD")), "KEEP ME");
}

// Tabs 0 to 10, each as its file and caption.
std::string tabsOf(const LookupTabs& tabs)
{
    std::string all;
    for (int tab = 0; tab <= 10; ++tab)
        all += tabs.fileOfTab(tab) + " " + tabs.caption(tab) + "|";
    return all;
}

TEST(LookupTabs, ShowAtMostNineLookupsInFileNameOrder)
{
    TempFolder folder;
    // Each lookup is titled with its file name without the extension.
    for (const std::string name : {"ZZ", "UNTITLED", "SEARCH8", "SEARCH1", "SEARCH5", "SEARCH2",
                                   "SEARCH7", "SEARCH3", "SEARCH6", "SEARCH4"})
        LookupFile::write(folder.file(name + ".KRD"), name, kZipLookup);
    writeFile(folder.file("SEARCH1.XCL"), "x");
    writeFile(folder.file("NOTES.TXT"), "x");

    LookupTabs tabs(folder.path());
    EXPECT_EQ(tabs.reload(0), 0);
    EXPECT_EQ(tabs.count(), 9);
    EXPECT_EQ(tabsOf(tabs),
              " |SEARCH1.KRD SEARCH1|SEARCH2.KRD SEARCH2|SEARCH3.KRD SEARCH3|SEARCH4.KRD "
              "SEARCH4|SEARCH5.KRD SEARCH5|SEARCH6.KRD SEARCH6|SEARCH7.KRD "
              "SEARCH7|SEARCH8.KRD SEARCH8|UNTITLED.KRD UNTITLED| |");
}

TEST(LookupTabs, RebuildFollowsTheFolderAndNamesTheCurrentFile)
{
    TempFolder folder;
    LookupTabs tabs(folder.path());
    const LookupFolder& lookups = tabs.folder();
    lookups.save("FIRST", kZipLookup, "");
    lookups.save("SECOND", kZipLookup, "");
    lookups.save("THIRD", kZipLookup, "");
    writeFile(folder.file("BROKEN.KRD"), "\"ONLY\",\"Zip Code\"\r\n");
    writeFile(folder.file("EMPTY.KRD"), "");

    EXPECT_EQ(tabs.reload(0), 0);
    EXPECT_EQ(tabsOf(tabs), " |BROKEN.KRD BROKEN.KRD|EMPTY.KRD EMPTY.KRD|SEARCH1.KRD "
                            "FIRST|SEARCH2.KRD SECOND|SEARCH3.KRD THIRD| | | | | |");
    tabs.chooseCurrentFile(false, 4);
    EXPECT_EQ(tabs.currentFile(), "SEARCH2.KRD");
    tabs.chooseCurrentFile(true, 4);
    EXPECT_EQ(tabs.currentFile(), "");
    for (int tab : {0, 7}) {
        tabs.setCurrentFile("SEARCH1.KRD");
        tabs.chooseCurrentFile(false, tab);
        EXPECT_EQ(tabs.currentFile(), "") << tab;
    }

    // Retitling changes the caption, not the file.
    lookups.save("RENAMED", kZipLookup, "SEARCH2.KRD");
    EXPECT_EQ(tabs.reload(5), 5);
    EXPECT_EQ(tabs.fileOfTab(4) + " " + tabs.caption(4), "SEARCH2.KRD RENAMED");

    // The selected tab is kept while it still has a lookup, otherwise tab 0.
    lookups.remove("SEARCH3.KRD");
    EXPECT_EQ(tabs.reload(4), 4);
    EXPECT_EQ(tabs.reload(5), 0);
    EXPECT_EQ(tabs.count(), 4);
    for (const char* name : {"BROKEN.KRD", "EMPTY.KRD", "SEARCH1.KRD", "SEARCH2.KRD"})
        lookups.remove(name);
    EXPECT_EQ(tabs.reload(1), 0);
    EXPECT_EQ(tabsOf(tabs), " | | | | | | | | | | |");
}

} // namespace
} // namespace kora::test
