#include "output/WorkbookCheck.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <zip.h>

#include <fstream>

namespace kora::test {
namespace {

const std::string kSheet = "<?xml version=\"1.0\"?>\n<worksheet xmlns=\"x\"><sheetData><row "
                           "r=\"1\"><c r=\"A1\"/></row></sheetData></worksheet>\n";

TEST(WorkbookCheck, EveryXmlPartMustReachTheEndOfItsRoot)
{
    TempFolder folder;
    const std::string path = folder.file("BOOK.XLSX");
    // Whether a package of the content types and this member is complete.
    const auto complete = [&](const char* name, const std::string& text) {
        int error = 0;
        zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        const std::string types = "<?xml version=\"1.0\"?><Types></Types>";
        zip_file_add(archive, "[Content_Types].xml",
                     zip_source_buffer(archive, types.data(), types.size(), 0), 0);
        zip_file_add(archive, name, zip_source_buffer(archive, text.data(), text.size(), 0), 0);
        EXPECT_EQ(zip_close(archive), 0);
        return WorkbookCheck::complete(path);
    };
    EXPECT_TRUE(complete("xl/worksheets/sheet1.xml", kSheet));
    // Cut inside the rows, and cut right after a closing tag that is not the root's.
    EXPECT_FALSE(complete("xl/worksheets/sheet1.xml", kSheet.substr(0, 70)));
    EXPECT_FALSE(
        complete("xl/worksheets/sheet1.xml", kSheet.substr(0, kSheet.find("</sheetData>"))));
    EXPECT_FALSE(complete("xl/_rels/workbook.xml.rels", ""));
    EXPECT_FALSE(WorkbookCheck::complete(folder.file("NONE.XLSX")));
    std::ofstream(folder.file("TEXT.XLSX")) << "not a package";
    EXPECT_FALSE(WorkbookCheck::complete(folder.file("TEXT.XLSX")));
}

} // namespace
} // namespace kora::test
