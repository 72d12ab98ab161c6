#include "output/ExportWriter.h"
#include "database/Installation.h"
#include "database/QueryRecordSet.h"
#include "output/ExportError.h"
#include "output/ReportDatabase.h"
#include "output/WorkbookCheck.h"
#include "support/FixedToday.h"
#include "support/TempFolder.h"
#include "support/WriteFailure.h"

#include <QStringList>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

namespace kora::test {
namespace {

struct CountingProgress : ExportProgress
{
    void starting(long long companies) override { total = companies; }
    void counted(long long count) override { last = count; }
    long long total = -1;
    long long last = 0;
};

// An installation whose state holds ten companies: an exported company
// "ACME WIDGET CO" with three mods and two classes, and nine others.
class ExportWriterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("TMPDIR", m_temporary.path().c_str(), 1);
        Installation installation(m_program.path());
        installation.create(false);
        m_db.open(m_program.file("KORA" + m_state + ".MDB"), installation.stateConnect(m_state));
        addCompany("0000001", "ACME WIDGET CO", "07013", "", "Y");
        for (int i = 2; i <= 10; ++i)
            addCompany("000000" + std::to_string(i % 10) + (i == 10 ? "0" : ""),
                       "OTHER " + std::to_string(i), "1900" + std::to_string(i % 10), "1234", " ");
        for (const auto& [expire, mod] :
             {std::pair{"2026-03-15", 0.95}, {"2025-12-31", 1.0}, {"2050-01-01", 1.234}})
            m_db.prepare("INSERT INTO MODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE, MOD) VALUES "
                         "('0000001', '01', ?, ?, ?)")
                .bindAll({Value(expire), Value(expire), Value(mod)})
                .run();
        m_db.execute("INSERT INTO CLASS (FILE, SEQUENCE, CLASS) VALUES ('0000001', '01', "
                     "'0042'), ('0000001', '01', '9999')");
        m_db.execute("INSERT INTO CLASSLIST (CLASS, \"DESC\") VALUES ('0042', '  Landscaping ')");
        // A follow-up, which goes into the workbook alone: the text layouts
        // below stay as they are, byte for byte.
        m_db.execute("INSERT INTO FOLLOWUP (FILE, SEQUENCE, DUE, TEXT) VALUES ('0000001', '01', "
                     "'2026-12-14', 'Call about renewal')");
    }
    void TearDown() override { unsetenv("TMPDIR"); }

    void addCompany(const std::string& file, const std::string& name, const std::string& zip,
                    const std::string& extension, const std::string& user1)
    {
        m_db.prepare("INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, NAME1, NameSort, STREET, CITY, "
                     "ST, ZIP, ZIPEXT, PHONE, UserPhone, SIC, User1, Omit) VALUES (?, '01', ?, "
                     "?, ?, '1 MAIN ST', 'NUTLEY', 'NJ', ?, ?, ' 201-555-0100 ', ' ', '0795', "
                     "?, ' ')")
            .bindAll({file, file + "01", name, name, zip, extension, user1})
            .run();
    }

    // The bytes of m_out after the export.
    std::string exportTo(const std::string& source, ExportChoice choice,
                         ExportWriter::Outcome expected = ExportWriter::Outcome::Exported,
                         const std::string& title = "T")
    {
        EXPECT_EQ(ExportWriter(m_db, m_state, m_program.path())
                      .run(source, choice, m_out, title, m_progress)
                      .outcome,
                  expected);
        return fileBytes(m_out);
    }

    std::string m_state = "PA";
    TempFolder m_program;
    std::string m_out = m_program.file("OUT.TXT");
    TempFolder m_temporary;
    Database m_db;
    CountingProgress m_progress;
    const std::string m_one = "SELECT * FROM PRIME WHERE FILE = '0000001' AND SEQUENCE = '01'";
};

// The exact bytes of every layout for ACME WIDGET CO, and once it is marked
// Omit: the delimited layouts write their header alone, the fixed layout
// nothing at all. A New Jersey state closes every line with six
// columns of its own.
struct LayoutCase
{
    const char* state;
    ExportLayout layout;
    bool properCase;
    std::string header;
    std::string line;
};

std::string tabbed(std::string text)
{
    for (size_t at = text.find("\",\""); at != std::string::npos; at = text.find("\",\"", at))
        text.replace(at + 1, 1, "\t");
    return text;
}

// That many empty values of a comma line.
std::string emptyValues(int count)
{
    std::string values;
    while (count-- > 0)
        values += ",\"\"";
    return values;
}

const std::string kLimitedHeader =
    "\"FILE\",\"NAME1\",\"NAME2\",\"STREET\",\"CITY\",\"STATE\",\"ZIP\",\"PHONE\",\"FAX\","
    "\"TITLE\",\"CONTACT\",\"SIC\",\"EMPLOYEES\",\"SALES\",\"User1\",\"User2\",\"User3\","
    "\"EXPIRE1\",\"MOD1\",\"EXPIRE2\",\"MOD2\",\"EXPIRE3\",\"MOD3\",\"EXPIRE4\",\"MOD4\"";
const std::string kCommaHeader =
    kLimitedHeader +
    ",\"EXPIRE5\",\"MOD5\",\"EXPIRE6\",\"MOD6\",\"EXPIRE7\",\"MOD7\",\"EXPIRE8\","
    "\"MOD8\",\"CLASS1\",\"CLASSDESC1\",\"CLASS2\",\"CLASSDESC2\",\"CLASS3\","
    "\"CLASSDESC3\",\"CLASS4\",\"CLASSDESC4\",\"CLASS5\",\"CLASSDESC5\",\"CLASS6\","
    "\"CLASSDESC6\",\"CLASS7\",\"CLASSDESC7\",\"CLASS8\",\"CLASSDESC8\",\"CLASS9\","
    "\"CLASSDESC9\",\"CLASS10\",\"CLASSDESC10\"";
const std::string kNewJerseyHeader =
    ",\"NJPPAP\",\"NJCCPAP\",\"NJAR\",\"ARESTPREM\",\"ARTOTPREM\",\"ARTOTLOSS\"";
const std::string kLimitedLine =
    "\"0000001-01\",\"Acme Widget Co\",\"Division Of A Parent With A Very Long Name\","
    "\"1 Main St\",\"Nutley\",\"NJ\",\"07013-\",\"201-555-0100\",\"\",\"\",\"\",\"0795\",\"\",\"\","
    "\"Y\",\"\",\"\",\"\",\"1.234\",\"03/15/2026\",\"0.95\",\"12/31/2025\",\"1\",\"\",\"\"";
const std::string kCommaLine =
    "\"0000001-01\",\"ACME WIDGET CO\",\"DIVISION OF A PARENT WITH A VERY LONG NAME\","
    "\"1 MAIN ST\",\"NUTLEY\",\"NJ\",\"07013-\",\"201-555-0100\",\"\",\"\",\"\",\"0795\",\"\",\"\","
    "\"Y\",\"\",\"\",\"\",\"1.234\",\"03/15/2026\",\"0.95\",\"12/31/2025\",\"1\"" +
    emptyValues(10) + ",\"0042\",\"Landscaping\",\"9999\",\"\"" + emptyValues(16);
const std::string kNewJerseyValues = ",\"Y\",\"\",\"0.5\",\"12345\",\"678901\",\"0\"";
// Key 10, columns 253, 8 mods of 15 (expiration 10, mod 5), 10 classes of 54.
const std::string kFixedLine =
    "0000001-01" + padded("ACME WIDGET CO", 40) + "DIVISION OF A PARENT WITH A VERY LONG " +
    padded("1 MAIN ST", 40) + padded("NUTLEY", 30) + "NJ" + padded("07013-", 10) + "0795" +
    "  Y  " + "201-555-0100" + padded("", 12 + 30 + 30) + padded("", 10) + "1.234" + "03/15/2026" +
    "0.95 " + "12/31/2025" + padded("1", 5) + padded("", 5 * 15) + "0042" +
    padded("  Landscaping ", 50) + padded("9999", 54) + padded("", 8 * 54);
// Fixed New Jersey columns: 3, 3, 5 and three times 9 characters; an empty value as one blank.
const std::string kNewJerseyFixed = "Y     0.5  12345    678901   0        ";

class LayoutTest : public ExportWriterTest, public ::testing::WithParamInterface<LayoutCase>
{
protected:
    LayoutTest() { m_state = GetParam().state; }
};

TEST_P(LayoutTest, WritesTheHeaderAndEveryValueInItsPlace)
{
    const LayoutCase& c = GetParam();
    m_db.execute("UPDATE PRIME SET NAME2 = 'DIVISION OF A PARENT WITH A VERY LONG NAME', NJPPAP = "
                 "'Y', NJCCPAP = '', NJAR = 0.5, ARESTPREM = '12345', ARTOTPREM = '678901', "
                 "ARTOTLOSS = '0' WHERE FILE = '0000001'");
    const ExportChoice choice{c.layout, ExportSort::Name, c.properCase};
    const std::string header = c.header.empty() ? "" : c.header + "\r\n";
    EXPECT_EQ(exportTo(m_one, choice), header + c.line + "\r\n");
    EXPECT_EQ(m_progress.total, 1);
    EXPECT_EQ(m_progress.last, 1);
    m_db.execute("UPDATE PRIME SET Omit = 'Y'");
    m_progress = {};
    EXPECT_EQ(exportTo(m_one, choice), header);
    EXPECT_EQ(m_progress.last, 0);
}

using L = ExportLayout;
INSTANTIATE_TEST_SUITE_P(
    Layouts, LayoutTest,
    ::testing::Values(LayoutCase{"PA", L::Comma, false, kCommaHeader, kCommaLine},
                      LayoutCase{"PA", L::Tab, false, tabbed(kCommaHeader), tabbed(kCommaLine)},
                      LayoutCase{"PA", L::Limited, true, kLimitedHeader, kLimitedLine},
                      LayoutCase{"PA", L::Fixed, false, "", kFixedLine},
                      LayoutCase{"NJ", L::Comma, false, kCommaHeader + kNewJerseyHeader,
                                 kCommaLine + kNewJerseyValues},
                      LayoutCase{"NJ", L::Limited, true, kLimitedHeader + kNewJerseyHeader,
                                 kLimitedLine + kNewJerseyValues},
                      LayoutCase{"NJ", L::Fixed, false, "", kFixedLine + kNewJerseyFixed}));

TEST_F(ExportWriterTest, ExactlyATenthPassesAndOneMoreIsRefusedWithoutTouchingAFile)
{
    const std::string written = exportTo(m_one, {});
    EXPECT_FALSE(written.empty());
    const std::string two = "SELECT * FROM PRIME WHERE FILE <= '0000002' ORDER BY NAME1";
    EXPECT_EQ(exportTo(two, {}, ExportWriter::Outcome::TooMuchData), written);
    m_out = m_program.file("FRESH.TXT");
    exportTo(two, {}, ExportWriter::Outcome::TooMuchData);
    EXPECT_FALSE(std::filesystem::exists(m_out));
}

TEST_F(ExportWriterTest, SortsCutTheOrderAndReplaceIt)
{
    const std::string source = "SELECT * FROM PRIME WHERE FILE = '1' ORDER BY NAME1";
    EXPECT_EQ(ExportWriter::sortedSource(source, ExportSort::Name),
              "SELECT * FROM PRIME WHERE FILE = '1' ORDER BY  NAMESORT");
    EXPECT_EQ(ExportWriter::sortedSource(source, ExportSort::Zip),
              "SELECT * FROM PRIME WHERE FILE = '1' ORDER BY  ZIP");
    EXPECT_EQ(ExportWriter::sortedSource(m_one, ExportSort::Zip), m_one);

    // A criterion's value may read like the order; the statement's own order is the last.
    const std::string named = m_one + " AND NAME1 <> 'ORDER BY' ORDER BY NAME1";
    EXPECT_EQ(ExportWriter::sortedSource(named, ExportSort::Name),
              m_one + " AND NAME1 <> 'ORDER BY' ORDER BY  NAMESORT");
    EXPECT_EQ(exportTo(named, {}), exportTo(m_one + " ORDER BY NAME1", {}));
}

TEST_F(ExportWriterTest, ExpirationSortPutsDecemberFirstAndCompaniesWithoutModsAs1111)
{
    m_db.execute("INSERT INTO MODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE, MOD) VALUES "
                 "('0000002', '01', '2027-01-01', '2026-12-31', 1.1)");
    m_db.execute("DELETE FROM PRIME WHERE FILE > '0000003'");
    for (int i = 0; i < 27; ++i)
        addCompany("9" + std::to_string(100000 + i), "FILLER", "00000", "", " ");
    const std::string lines =
        exportTo("SELECT * FROM PRIME WHERE FILE IN ('0000001', '0000002', '0000003') ORDER BY "
                 "NAME1",
                 {ExportLayout::Fixed, ExportSort::Expiration, false});
    std::vector<std::string> keys;
    for (size_t at = 0; at < lines.size(); at = lines.find("\r\n", at) + 2)
        keys.push_back(lines.substr(at, 10));
    EXPECT_EQ(keys, (std::vector<std::string>{"0000002-01", "0000003-01", "0000001-01"}));
    // The scratch row holds the zip with its extension joined only when it is filled.
    EXPECT_EQ(lines.substr(lines.find("0000003-01") + 10 + 150, 10), "19003-1234");
}

// Seen on December 8, the renewal order starts with that day, runs over the
// year's end into March and ends with the days before today; a company
// without mods comes last. Ties keep the order the companies were copied in.
TEST_F(ExportWriterTest, RenewalSortStartsAtTodayAndWrapsOverTheYearEnd)
{
    const FixedToday today("2026-12-08");
    m_db.execute("DELETE FROM MODS");
    m_db.execute("INSERT INTO MODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE, MOD) VALUES "
                 "('0000001', '01', '2026-03-15', '2027-03-15', 1), "
                 "('0000002', '01', '2025-12-01', '2026-12-01', 1), "
                 "('0000003', '01', '2026-01-05', '2027-01-05', 1), "
                 "('0000004', '01', '2025-12-20', '2026-12-20', 1), "
                 "('0000005', '01', '2025-12-08', '2026-12-08', 1), "
                 "('0000006', '01', '2025-12-20', '2026-12-20', 1)");
    for (int i = 0; i < 60; ++i)
        addCompany("9" + std::to_string(100000 + i), "FILLER", "00000", "", " ");
    const auto keys = [this](ExportSort sort) {
        const std::string lines = exportTo("SELECT * FROM PRIME WHERE FILE BETWEEN '0000001' AND "
                                           "'0000007' ORDER BY NAME1 DESC",
                                           {ExportLayout::Fixed, sort, false});
        std::string order;
        for (size_t at = 0; at < lines.size(); at = lines.find("\r\n", at) + 2)
            order += lines.substr(at + 6, 1);
        return order;
    };
    EXPECT_EQ(keys(ExportSort::Renewal), "5463127");
    EXPECT_EQ(keys(ExportSort::Expiration), "4652713");
}

// The expiration sort and the prints fill a copy of the program's report database.
TEST_F(ExportWriterTest, EachScratchReportDatabaseStartsFromTheUntouchedTemplate)
{
    const auto rows = [](Database&& db) {
        return QueryRecordSet(db, "SELECT * FROM PRIME").recordCount();
    };
    ASSERT_EQ(ReportDatabase::scratchPath(), m_temporary.file("REPORT.MDB"));
    ReportDatabase::openScratch(m_program.path())
        .execute("INSERT INTO PRIME (FILE, SEQUENCE, MOD19, EXPIRE, NJAR, REVISED) VALUES "
                 "('1234567', '01', 1.25, 1231, '03/25', 1)");
    EXPECT_EQ(rows(ReportDatabase::openScratch(m_program.path())), 0);
    EXPECT_EQ(rows(Database(m_program.file("REPORT.MDB"), "")), 0);

    std::filesystem::remove(m_temporary.file("REPORT.MDB"));
    std::filesystem::remove(m_program.file("REPORT.MDB"));
    EXPECT_THROW(ReportDatabase::openScratch(m_program.path()), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(m_temporary.file("REPORT.MDB")));
}

// A link keeps pointing at the file it names, which the export replaces; a
// pipe (as /dev/stdout may be) is written into, with nothing made beside it.
TEST_F(ExportWriterTest, WritesThroughALinkAndIntoAPipe)
{
    const std::string bytes = exportTo(m_one, {});
    const std::string named = m_temporary.file("NAMED.TXT");
    writeFile(named, "old");
    m_out = m_program.file("LINK.TXT");
    std::filesystem::create_symlink(named, m_out);
    exportTo(m_one, {});
    EXPECT_TRUE(std::filesystem::is_symlink(m_out));
    EXPECT_EQ(fileBytes(named), bytes);

    m_out = m_program.file("PIPE");
    ASSERT_EQ(mkfifo(m_out.c_str(), 0600), 0);
    std::string piped;
    std::thread reader([&] { piped = fileBytes(m_out); });
    ExportWriter(m_db, m_state, m_program.path()).run(m_one, {}, m_out, "T", m_progress);
    // A reader still waiting, as when the export wrote elsewhere, is let go.
    ::close(::open(m_out.c_str(), O_WRONLY | O_NONBLOCK));
    reader.join();
    EXPECT_EQ(piped, bytes);
    for (const auto& entry : std::filesystem::directory_iterator(m_program.path()))
        EXPECT_FALSE(entry.path().string().ends_with(".partial")) << entry.path();
}

// A full disk (a file size limit) and a folder no file can be made in: the
// export says why, leaves no file or scratch file, and a file already there
// keeps its bytes.
TEST_F(ExportWriterTest, AFailedWriteLeavesNoHalfFileAndKeepsTheOldOne)
{
    // 150 companies of 1510: under a tenth, and far more than the limit below lets a file hold.
    m_db.begin();
    for (int n = 0; n < 1500; ++n)
        addCompany(std::to_string(2000000 + n), "FILLER", "19103", "", " ");
    m_db.commit();
    const std::string lows = "SELECT * FROM PRIME WHERE FILE < '2000140' ORDER BY NAME1";
    const std::string cutShort =
        "not all of the workbook could be written (disk full or file too large)";
    const std::pair<ExportLayout, std::string> cases[] = {{ExportLayout::Comma, "File too large"},
                                                          {ExportLayout::Fixed, "File too large"},
                                                          {ExportLayout::Workbook, cutShort}};
    for (const auto& [layout, reason] : cases)
        for (const char* old : {"", "OLD CONTENT"}) {
            SCOPED_TRACE(static_cast<int>(layout));
            m_out = m_program.file(*old ? "OLD.OUT" : "NEW.OUT");
            if (*old)
                writeFile(m_out, old);
            try {
                const FileSizeLimit limit(20000);
                ExportWriter(m_db, m_state, m_program.path())
                    .run(lows, {layout, ExportSort::Name, false}, m_out, "T", m_progress);
                ADD_FAILURE() << "exported";
            } catch (const ExportError& error) {
                EXPECT_EQ(error.what(), "CANNOT WRITE OUTPUT FILE! " + m_out + ": " + reason);
            }
            EXPECT_TRUE(fileBytes(m_out) == old);
            EXPECT_EQ(std::filesystem::exists(m_out), *old != 0);
            for (const auto& entry : std::filesystem::directory_iterator(m_program.path()))
                EXPECT_FALSE(entry.path().string().ends_with(".partial")) << entry.path();
        }

    m_out = m_program.file("missing/OUT.CSV");
    try {
        exportTo(m_one, {});
        ADD_FAILURE() << "exported";
    } catch (const ExportError& error) {
        EXPECT_STREQ(error.what(), "CANNOT CREATE OUTPUT FILE!");
    }
    EXPECT_FALSE(std::filesystem::exists(m_out));
}

// The XML parts of a workbook package that an XML parser finds not well
// formed, the texts of the cells and of the sheet names, and the numbers.
struct WorkbookXml
{
    std::vector<std::string> broken;
    QStringList texts;
    QStringList numbers;
};

WorkbookXml readWorkbookXml(const std::string& path)
{
    WorkbookXml xml;
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    for (zip_uint64_t index = 0; archive && index < zip_uint64_t(zip_get_num_entries(archive, 0));
         ++index) {
        zip_stat_t stat;
        zip_stat_index(archive, index, 0, &stat);
        QByteArray bytes(qsizetype(stat.size), '\0');
        zip_file_t* member = zip_fopen_index(archive, index, 0);
        zip_fread(member, bytes.data(), stat.size);
        zip_fclose(member);
        QXmlStreamReader reader(bytes);
        while (!reader.atEnd()) {
            if (reader.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (reader.name() == QStringLiteral("t"))
                xml.texts << reader.readElementText();
            else if (reader.name() == QStringLiteral("v"))
                xml.numbers << reader.readElementText();
            else if (reader.name() == QStringLiteral("sheet"))
                xml.texts << reader.attributes().value(QStringLiteral("name")).toString();
        }
        if (reader.hasError())
            xml.broken.push_back(stat.name + (": " + reader.errorString().toStdString()));
    }
    if (!archive)
        xml.broken.push_back("(no package)");
    zip_discard(archive);
    return xml;
}

TEST_F(ExportWriterTest, WorkbookIsWellFormedAndKeepsCodesAsTextAndModsAsNumbers)
{
    // A Latin-1 second name, a UTF-8 name cut inside its last character, and a
    // Latin-1 lookup title as the sheet's name.
    m_db.execute("UPDATE PRIME SET EMPLOYEES = '3', SALES = '9' WHERE FILE = '0000001'");
    m_db.prepare("UPDATE PRIME SET NAME1 = ?, NAME2 = ? WHERE FILE = '0000001'")
        .bindAll({Value(std::string("CAF\xC9 ROYAL")), Value(std::string("JOS\xC3\xA9 M\xC3"))})
        .run();
    m_out = m_program.file("BOOK.XLSX");
    exportTo(m_one, {ExportLayout::Workbook, ExportSort::Name, false},
             ExportWriter::Outcome::Exported, "R\xC9SUM\xC9");
    const WorkbookXml xml = readWorkbookXml(m_out);
    EXPECT_EQ(xml.broken, std::vector<std::string>{});
    for (const char* text : {"CAF\xC3\x89 ROYAL", "JOS\xC3\xA9 M", "R\xC3\x89SUM\xC3\x89",
                             "0000001-01", "07013-", "0795", "0042", "Landscaping"})
        EXPECT_TRUE(xml.texts.contains(QString::fromUtf8(text))) << text;
    // The band texts stand beside their codes, in the header and on the line.
    const auto after = [&xml](const char* text) {
        const auto at = xml.texts.indexOf(QString(text));
        return at < 0 ? QStringList() : xml.texts.mid(at, 4);
    };
    EXPECT_EQ(after("EMPLOYEES"), QStringList({"EMPLOYEES", "EMPDESC", "SALES", "SALESDESC"}));
    EXPECT_EQ(after("10 - 19"), QStringList({"10 - 19", "9", "1 Billion +", "Y"}));
    EXPECT_EQ(xml.texts.at(xml.texts.indexOf("10 - 19") - 1), QString("3"));
    // 03/15/2026, 12/31/2025 and 12/14/2026 as day numbers; 0.95 is stored as its double.
    // The follow-up's day and text are the last two columns.
    const auto line = xml.texts.indexOf("0000001-01");
    EXPECT_EQ(xml.texts.mid(line - 2, 2), QStringList({"FOLLOWUPDUE", "FOLLOWUPTEXT"}));
    EXPECT_GT(xml.texts.indexOf("Call about renewal"), line);
    for (const char* number : {"1.234", "46096", "1", "46022", "46370"})
        EXPECT_TRUE(xml.numbers.contains(QString(number))) << number;
    EXPECT_EQ(xml.numbers.size(), 6);
}

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
    writeFile(folder.file("TEXT.XLSX"), "not a package");
    EXPECT_FALSE(WorkbookCheck::complete(folder.file("TEXT.XLSX")));
}

} // namespace
} // namespace kora::test
