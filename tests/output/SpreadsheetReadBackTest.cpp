// The delimited layouts and the workbook as a real spreadsheet reads them:
// LibreOffice converts each export to CSV, and every value must come back in
// the column its header names, the workbook's zip and SIC as text.

#include "database/Installation.h"
#include "output/ExportLine.h"
#include "output/ExportWriter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kora::test {
namespace {

struct Cell
{
    std::string text;
    bool quoted = false; // LibreOffice quotes text cells and leaves numbers bare
};
using Rows = std::vector<std::vector<Cell>>;

class QuietProgress : public ExportProgress
{
public:
    void starting(long long) override {}
    void counted(long long) override {}
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// soffice on the PATH, or "" when it is not installed.
std::string soffice()
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');)
        if (!folder.empty() && std::filesystem::exists(folder + "/soffice"))
            return folder + "/soffice";
    return {};
}

// A CSV text as LibreOffice writes it: comma separated, a quoted field may
// hold commas and doubled quotes, lines end with LF or CR LF.
Rows parseCsv(const std::string& text)
{
    Rows rows;
    std::vector<Cell> row;
    Cell cell;
    bool inQuotes = false;
    bool atLineStart = true;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        atLineStart = false;
        if (inQuotes) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                cell.text += text[++i];
            else if (c == '"')
                inQuotes = false;
            else
                cell.text += c;
        } else if (c == '"') {
            inQuotes = cell.quoted = true;
        } else if (c == ',') {
            row.push_back(std::move(cell));
            cell = {};
        } else if (c == '\n') {
            row.push_back(std::move(cell));
            rows.push_back(std::move(row));
            cell = {};
            row = {};
            atLineStart = true;
        } else if (c != '\r') {
            cell.text += c;
        }
    }
    if (!atLineStart) {
        row.push_back(std::move(cell));
        rows.push_back(std::move(row));
    }
    return rows;
}

// The texts of a delimited export line, as the layout writes them: each value
// in quotes, the values joined by quote, separator, quote.
std::vector<std::string> splitExportLine(const std::string& line, char separator)
{
    const std::string joint = std::string("\"") + separator + "\"";
    std::vector<std::string> values;
    const std::string inner = line.substr(1, line.size() - 2);
    for (size_t at = 0;;) {
        const size_t next = inner.find(joint, at);
        values.push_back(inner.substr(at, next - at));
        if (next == std::string::npos)
            return values;
        at = next + joint.size();
    }
}

std::vector<std::vector<std::string>> exportLines(const std::string& text, char separator)
{
    std::vector<std::vector<std::string>> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        lines.push_back(splitExportLine(text.substr(at, end - at), separator));
        at = end + 2;
    }
    return lines;
}

// A New Jersey state of thirty companies, three of which are exported: one
// with a zip extension, a SIC with a leading zero, commas and an ampersand in
// its name, three mods and two classes; one without mods; one whose only mod
// expires on the placeholder date.
class SpreadsheetReadBackTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_office = soffice();
        if (m_office.empty())
            GTEST_SKIP() << "soffice is not installed (Debian package libreoffice-calc-nogui): "
                            "the exports are not read back in a spreadsheet";
        setenv("TMPDIR", m_temporary.path().c_str(), 1);
        Installation installation(m_program.path());
        installation.create(false);
        m_db.open(m_program.file("KORANJ.MDB"), installation.stateConnect("NJ"));
        addCompany("0000001", "ACME, WIDGET & SONS", "07013", "1234", "0795");
        addCompany("0000002", "BETA TOOL CO", "08822", "", "1711");
        addCompany("0000003", "GAMMA; DELTA LLC", "07202", "0001", "7538");
        for (int i = 0; i < 27; ++i)
            addCompany("9" + std::to_string(100000 + i), "FILLER", "08000", "", "0000");
        for (const auto& [file, expire, mod] : {std::tuple{"0000001", "2026-03-15", 0.95},
                                                {"0000001", "2025-12-31", 1.0},
                                                {"0000001", "2024-11-01", 1.234},
                                                {"0000003", "2050-01-01", 0.876}})
            m_db.prepare("INSERT INTO MODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE, MOD) VALUES (?, "
                         "'01', ?, ?, ?)")
                .bindAll({Value(file), Value(expire), Value(expire), Value(mod)})
                .run();
        m_db.execute("INSERT INTO CLASS (FILE, SEQUENCE, CLASS) VALUES ('0000001', '01', "
                     "'0042'), ('0000001', '01', '8810')");
        m_db.execute("INSERT INTO CLASSLIST (CLASS, \"DESC\") VALUES ('0042', 'LANDSCAPING, "
                     "GARDENING'), ('8810', 'CLERICAL OFFICE EMPLOYEES NOC')");
    }
    void TearDown() override { unsetenv("TMPDIR"); }

    void addCompany(const std::string& file, const std::string& name, const std::string& zip,
                    const std::string& extension, const std::string& sic)
    {
        m_db.prepare("INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, NAME1, NameSort, STREET, CITY, "
                     "ST, ZIP, ZIPEXT, PHONE, SIC, NJPPAP, NJAR, ARESTPREM, Omit) VALUES (?, "
                     "'01', ?, ?, ?, '1 MAIN ST', 'NUTLEY', 'NJ', ?, ?, '201-555-0100', ?, "
                     "'A1', 0.5, '12345', ' ')")
            .bindAll({file, file + "01", name, name, zip, extension, sic})
            .run();
    }

    std::string exportAs(ExportLayout layout, const std::string& name)
    {
        const std::string out = m_program.file(name);
        QuietProgress quiet;
        ExportWriter(m_db, "NJ", m_program.path())
            .run("SELECT * FROM PRIME WHERE FILE < '1' ORDER BY NAME1",
                 {layout, ExportSort::Name, false}, out, "Read back", quiet);
        return out;
    }

    // The file as LibreOffice reads it, written back as CSV with every text
    // cell quoted. inputFilter: empty for a workbook.
    Rows readBack(const std::string& path, const std::string& inputFilter)
    {
        const std::string outFolder = m_program.file("converted");
        std::string command = "timeout 100 '" + m_office + "' '-env:UserInstallation=file://" +
                              m_profile.path() + "' --headless";
        if (!inputFilter.empty())
            command += " '--infilter=Text - txt - csv (StarCalc):" + inputFilter + "'";
        command += " --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true,true' "
                   "--outdir '" +
                   outFolder + "' '" + path + "' > /dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        const std::string converted =
            outFolder + "/" + std::filesystem::path(path).stem().string() + ".csv";
        EXPECT_TRUE(std::filesystem::exists(converted)) << command;
        return parseCsv(readFile(converted));
    }

    // Checks that the spreadsheet holds the export's lines cell for cell.
    static void expectSameCells(const std::vector<std::vector<std::string>>& lines,
                                const Rows& rows)
    {
        ASSERT_EQ(rows.size(), lines.size());
        for (size_t r = 0; r < rows.size(); ++r) {
            ASSERT_EQ(rows[r].size(), lines[r].size()) << "line " << r;
            for (size_t c = 0; c < rows[r].size(); ++c)
                EXPECT_EQ(rows[r][c].text, lines[r][c])
                    << "line " << r << ", column " << lines[0][c];
        }
    }

    static size_t column(const Rows& rows, const std::string& header)
    {
        for (size_t c = 0; c < rows[0].size(); ++c)
            if (rows[0][c].text == header)
                return c;
        ADD_FAILURE() << "no column " << header;
        return 0;
    }

    std::string m_office;
    TempFolder m_program;
    TempFolder m_temporary;
    TempFolder m_profile;
    Database m_db;
};

TEST_F(SpreadsheetReadBackTest, EveryValueComesBackInTheColumnItsHeaderNames)
{
    const ExportChoice full{ExportLayout::Comma, ExportSort::Name, false};
    const std::string comma = exportAs(ExportLayout::Comma, "COMMA.CSV");
    const auto lines = exportLines(readFile(comma), ',');
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], ExportLine::headerNames(full, true));
    EXPECT_EQ(lines[1][0], "0000001-01");
    EXPECT_EQ(lines[2][0], "0000002-01");

    // Quoted fields are read as text, so that the spreadsheet keeps the
    // values as written; a comma inside quotes stays in its cell.
    const Rows commaRows = readBack(comma, "44,34,76,1,,0,true,false");
    expectSameCells(lines, commaRows);
    EXPECT_EQ(commaRows[1][column(commaRows, "NAME1")].text, "ACME, WIDGET & SONS");
    EXPECT_EQ(commaRows[1][column(commaRows, "CLASSDESC1")].text, "LANDSCAPING, GARDENING");

    const std::string tab = exportAs(ExportLayout::Tab, "TAB.TXT");
    expectSameCells(exportLines(readFile(tab), '\t'), readBack(tab, "9,34,76,1,,0,true,false"));
    EXPECT_EQ(exportLines(readFile(tab), '\t'), lines);
}

TEST_F(SpreadsheetReadBackTest, WorkbookKeepsCodesAsTextModsAsNumbersAndExpirationsAsDates)
{
    const auto lines = exportLines(readFile(exportAs(ExportLayout::Comma, "COMMA.CSV")), ',');
    const Rows book = readBack(exportAs(ExportLayout::Workbook, "BOOK.XLSX"), "");
    ASSERT_EQ(book.size(), lines.size());
    for (size_t c = 0; c < lines[0].size(); ++c)
        EXPECT_EQ(book[0][c].text, lines[0][c]);
    for (size_t r = 1; r < book.size(); ++r) {
        ASSERT_EQ(book[r].size(), lines[r].size()) << "line " << r;
        for (size_t c = 0; c < book[r].size(); ++c) {
            const std::string& header = lines[0][c];
            const Cell& cell = book[r][c];
            const std::string where = "line " + std::to_string(r) + ", column " + header;
            if (lines[r][c].empty()) {
                EXPECT_EQ(cell.text, "") << where;
            } else if (header.rfind("MOD", 0) == 0) {
                EXPECT_FALSE(cell.quoted) << where;
                EXPECT_DOUBLE_EQ(std::stod(cell.text), std::stod(lines[r][c])) << where;
                EXPECT_EQ(cell.text.size() - cell.text.find('.'), 4u) << where; // 0.000
            } else if (header.rfind("EXPIRE", 0) == 0) {
                EXPECT_FALSE(cell.quoted) << where;
                EXPECT_EQ(cell.text, lines[r][c]) << where;
            } else {
                EXPECT_TRUE(cell.quoted) << where;
                EXPECT_EQ(cell.text, lines[r][c]) << where;
            }
        }
    }
    EXPECT_EQ(book[1][column(book, "ZIP")].text, "07013-1234");
    EXPECT_TRUE(book[1][column(book, "ZIP")].quoted);
    EXPECT_EQ(book[1][column(book, "SIC")].text, "0795");
    EXPECT_TRUE(book[1][column(book, "SIC")].quoted);
    EXPECT_EQ(book[1][column(book, "MOD1")].text, "0.950");
    EXPECT_EQ(book[1][column(book, "EXPIRE1")].text, "03/15/2026");
    EXPECT_EQ(book[3][column(book, "EXPIRE1")].text, "");
}

} // namespace
} // namespace kora::test
