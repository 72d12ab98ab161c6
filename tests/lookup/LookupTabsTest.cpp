#include "lookup/LookupTabs.h"
#include "lookup/Criteria.h"
#include "lookup/LookupFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kora::test {
namespace {

const std::vector<SQLPARAMETER> kLookup = {criterion(FieldCatalogue::ZipCode, "19000", "19099")};

std::vector<std::string> captions(const LookupTabs& tabs)
{
    std::vector<std::string> all;
    for (int tab = 0; tab <= 10; ++tab)
        all.push_back(tabs.caption(tab));
    return all;
}

TEST(LookupTabs, ShowAtMostNineLookupsInFileNameOrder)
{
    TempFolder folder;
    for (const char* name :
         {"ZZ.KRD", "UNTITLED.KRD", "SEARCH8.KRD", "SEARCH1.KRD", "SEARCH5.KRD", "SEARCH2.KRD",
          "SEARCH7.KRD", "SEARCH3.KRD", "SEARCH6.KRD", "SEARCH4.KRD"})
        LookupFile::write(folder.file(name), std::string("TITLE OF ") + name, kLookup);
    std::ofstream(folder.file("SEARCH1.XCL")) << "x";
    std::ofstream(folder.file("NOTES.TXT")) << "x";

    LookupTabs tabs(folder.path());
    EXPECT_EQ(tabs.reload(0), 0);
    EXPECT_EQ(tabs.count(), 9);
    EXPECT_EQ(tabs.fileOfTab(0), "");
    for (int tab = 1; tab <= 8; ++tab)
        EXPECT_EQ(tabs.fileOfTab(tab), "SEARCH" + std::to_string(tab) + ".KRD");
    EXPECT_EQ(tabs.fileOfTab(9), "UNTITLED.KRD");
    EXPECT_EQ(tabs.fileOfTab(10), "");
    EXPECT_EQ(tabs.caption(1), "TITLE OF SEARCH1.KRD");
    EXPECT_EQ(tabs.caption(9), "TITLE OF UNTITLED.KRD");
    EXPECT_EQ(tabs.caption(10), "");
}

TEST(LookupTabs, RebuildFollowsTheFolderAndNamesTheCurrentFile)
{
    TempFolder folder;
    LookupTabs tabs(folder.path());
    const LookupFolder& lookups = tabs.folder();
    lookups.save("FIRST", kLookup, "");
    lookups.save("SECOND", kLookup, "");
    lookups.save("THIRD", kLookup, "");
    std::ofstream(folder.file("BROKEN.KRD")) << "\"ONLY\",\"Zip Code\"\r\n";
    std::ofstream(folder.file("EMPTY.KRD"));

    EXPECT_EQ(tabs.reload(0), 0);
    EXPECT_EQ(captions(tabs), (std::vector<std::string>{"", "BROKEN.KRD", "EMPTY.KRD", "FIRST",
                                                        "SECOND", "THIRD", "", "", "", "", ""}));
    EXPECT_EQ(tabs.fileOfTab(2), "EMPTY.KRD");
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
    lookups.save("RENAMED", kLookup, "SEARCH2.KRD");
    EXPECT_EQ(tabs.reload(5), 5);
    EXPECT_EQ(tabs.caption(4), "RENAMED");
    EXPECT_EQ(tabs.fileOfTab(4), "SEARCH2.KRD");

    // The selected tab is kept while it still has a lookup, otherwise tab 0.
    lookups.remove("SEARCH3.KRD");
    EXPECT_EQ(tabs.reload(4), 4);
    EXPECT_EQ(tabs.reload(5), 0);
    EXPECT_EQ(tabs.count(), 4);
    lookups.remove("BROKEN.KRD");
    lookups.remove("EMPTY.KRD");
    lookups.remove("SEARCH1.KRD");
    lookups.remove("SEARCH2.KRD");
    EXPECT_EQ(tabs.reload(1), 0);
    EXPECT_EQ(captions(tabs), std::vector<std::string>(11));
}

} // namespace
} // namespace kora::test
