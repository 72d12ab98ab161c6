#include "lookup/LookupTabs.h"
#include "lookup/Criteria.h"
#include "lookup/LookupFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kora::test {
namespace {

const std::vector<SQLPARAMETER> kLookup = {criterion(FieldCatalogue::ZipCode, "19000", "19099")};

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
        LookupFile::write(folder.file(name + ".KRD"), name, kLookup);
    std::ofstream(folder.file("SEARCH1.XCL")) << "x";
    std::ofstream(folder.file("NOTES.TXT")) << "x";

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
    lookups.save("FIRST", kLookup, "");
    lookups.save("SECOND", kLookup, "");
    lookups.save("THIRD", kLookup, "");
    std::ofstream(folder.file("BROKEN.KRD")) << "\"ONLY\",\"Zip Code\"\r\n";
    std::ofstream(folder.file("EMPTY.KRD"));

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
    lookups.save("RENAMED", kLookup, "SEARCH2.KRD");
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
