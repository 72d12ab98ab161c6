#include "output/WorkbookCheck.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <zip.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace kora::test {
namespace {

// A package of the given members, each stored as its text.
std::string package(const TempFolder& folder,
                    const std::vector<std::pair<std::string, std::string>>& members)
{
    const std::string path = folder.file("BOOK.XLSX");
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    EXPECT_NE(archive, nullptr);
    for (const auto& [name, text] : members) {
        zip_source_t* source = zip_source_buffer(archive, text.data(), text.size(), 0);
        EXPECT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE), 0);
    }
    EXPECT_EQ(zip_close(archive), 0);
    return path;
}

const std::string kSheet = "<?xml version=\"1.0\"?>\n<worksheet xmlns=\"x\"><sheetData><row "
                           "r=\"1\"><c r=\"A1\"/></row></sheetData></worksheet>\n";

TEST(WorkbookCheck, EveryXmlPartMustReachTheEndOfItsRoot)
{
    TempFolder folder;
    const std::pair<std::string, std::string> types{"[Content_Types].xml",
                                                    "<?xml version=\"1.0\"?><Types></Types>"};
    EXPECT_TRUE(
        WorkbookCheck::complete(package(folder, {types, {"xl/worksheets/sheet1.xml", kSheet}})));
    // Cut inside the rows, and cut right after a closing tag that is not the root's.
    EXPECT_FALSE(WorkbookCheck::complete(
        package(folder, {types, {"xl/worksheets/sheet1.xml", kSheet.substr(0, 70)}})));
    EXPECT_FALSE(WorkbookCheck::complete(package(
        folder,
        {types, {"xl/worksheets/sheet1.xml", kSheet.substr(0, kSheet.find("</sheetData>"))}})));
    EXPECT_FALSE(
        WorkbookCheck::complete(package(folder, {types, {"xl/_rels/workbook.xml.rels", ""}})));
    EXPECT_FALSE(WorkbookCheck::complete(folder.file("NONE.XLSX")));
    std::ofstream(folder.file("TEXT.XLSX")) << "not a package";
    EXPECT_FALSE(WorkbookCheck::complete(folder.file("TEXT.XLSX")));
}

} // namespace
} // namespace kora::test
