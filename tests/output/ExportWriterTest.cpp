#include "output/ExportWriter.h"
#include "base/ExclamationTest.h"
#include "database/Installation.h"
#include "output/ExportError.h"
#include "output/ExportText.h"
#include "support/TempFolder.h"

#include <QStringList>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kora::test {
namespace {

class CountingProgress : public ExportProgress
{
public:
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

    std::string exportTo(const std::string& source, ExportChoice choice,
                         ExportWriter::Outcome expected = ExportWriter::Outcome::Exported)
    {
        const std::string out = m_program.file("OUT.TXT");
        const auto result =
            ExportWriter(m_db, m_state, m_program.path()).run(source, choice, out, "T", m_progress);
        EXPECT_EQ(result.outcome, expected);
        return bytesOf(out);
    }

    static std::string bytesOf(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The message of an export that fails, "" when it does not.
    std::string failureOf(const std::string& out, ExportLayout layout)
    {
        try {
            ExportWriter(m_db, m_state, m_program.path())
                .run(m_one, {layout, ExportSort::Name, false}, out, "T", m_progress);
        } catch (const ExportError& error) {
            return error.what();
        }
        return {};
    }

    std::string m_state = "PA";
    TempFolder m_program;
    TempFolder m_temporary;
    Database m_db;
    CountingProgress m_progress;
    const std::string m_one = "SELECT * FROM PRIME WHERE FILE = '0000001' AND SEQUENCE = '01'";
};

TEST_F(ExportWriterTest, CommaLayoutWritesHeaderAndEveryValueInItsPlace)
{
    const std::string text = exportTo(m_one, {ExportLayout::Comma, ExportSort::Name, false});
    const auto headerEnd = text.find("\r\n");
    ASSERT_NE(headerEnd, std::string::npos);
    EXPECT_EQ(text.substr(0, 61),
              "\"FILE\",\"NAME1\",\"NAME2\",\"STREET\",\"CITY\",\"STATE\",\"ZIP\","
              "\"PHONE\",");
    EXPECT_NE(text.find("\"CLASS10\",\"CLASSDESC10\"\r\n"), std::string::npos);
    const std::string line = text.substr(headerEnd + 2);
    EXPECT_EQ(
        line,
        "\"0000001-01\",\"ACME WIDGET CO\",\"\",\"1 MAIN ST\",\"NUTLEY\",\"NJ\","
        "\"07013-\",\"201-555-0100\",\"\",\"\",\"\",\"0795\",\"\",\"\",\"Y\",\"\",\"\","
        "\"\",\"1.234\",\"03/15/2026\",\"0.95\",\"12/31/2025\",\"1\","
        "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
        "\"0042\",\"Landscaping\",\"9999\",\"\","
        "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
    EXPECT_EQ(m_progress.total, 1);
    EXPECT_EQ(m_progress.last, 1);
}

TEST_F(ExportWriterTest, TabAndLimitedLayoutsSeparateAndCountAsDescribed)
{
    const std::string tab = exportTo(m_one, {ExportLayout::Tab, ExportSort::Name, false});
    EXPECT_EQ(tab.substr(0, 16), "\"FILE\"\t\"NAME1\"\t\"");
    const std::string limited = exportTo(m_one, {ExportLayout::Limited, ExportSort::Name, true});
    EXPECT_NE(limited.find("\"EXPIRE4\",\"MOD4\"\r\n"), std::string::npos);
    EXPECT_EQ(limited.find("CLASS1"), std::string::npos);
    EXPECT_NE(limited.find("\"Acme Widget Co\""), std::string::npos);
}

TEST_F(ExportWriterTest, FixedLayoutPadsAndCutsEveryColumn)
{
    const std::string line = exportTo(m_one, {ExportLayout::Fixed, ExportSort::Name, false});
    // key 10, columns 253, 8 mods of 15, 10 classes of 54, CR LF.
    ASSERT_EQ(line.size(), 10u + 253 + 120 + 540 + 2);
    EXPECT_EQ(line.substr(0, 10), "0000001-01");
    EXPECT_EQ(line.substr(10, 40), std::string("ACME WIDGET CO") + std::string(26, ' '));
    const size_t mods = 10 + 253;
    EXPECT_EQ(line.substr(mods, 15), std::string(10, ' ') + "1.234");
    EXPECT_EQ(line.substr(mods + 15, 15), "03/15/20260.95 ");
    EXPECT_EQ(line.substr(mods + 45, 75), std::string(75, ' '));
    EXPECT_EQ(line.substr(mods + 120, 54), "0042  Landscaping " + std::string(36, ' '));
    EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
}

TEST_F(ExportWriterTest, ExactlyATenthPassesAndOneMoreIsRefusedWithoutTouchingAFile)
{
    const std::string written = exportTo(m_one, {});
    EXPECT_FALSE(written.empty());
    const std::string two = "SELECT * FROM PRIME WHERE FILE <= '0000002' ORDER BY NAME1";
    EXPECT_EQ(exportTo(two, {}, ExportWriter::Outcome::TooMuchData), written);
    const std::string fresh = m_program.file("FRESH.TXT");
    EXPECT_EQ(
        ExportWriter(m_db, m_state, m_program.path()).run(two, {}, fresh, "T", m_progress).outcome,
        ExportWriter::Outcome::TooMuchData);
    EXPECT_FALSE(std::filesystem::exists(fresh));
}

TEST_F(ExportWriterTest, OmittedCompaniesAreNeitherWrittenNorCounted)
{
    m_db.execute("UPDATE PRIME SET Omit = 'Y'");
    const std::string text = exportTo(m_one, {});
    EXPECT_EQ(text.find("\r\n"), text.size() - 2);
    EXPECT_EQ(m_progress.last, 0);
    EXPECT_TRUE(exportTo(m_one, {ExportLayout::Fixed, ExportSort::Name, false}).empty());
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
    m_db.execute("UPDATE PRIME SET Omit = ' '");
    EXPECT_EQ(exportTo(named, {}), exportTo(m_one + " ORDER BY NAME1", {}));
}

TEST_F(ExportWriterTest, ExpirationSortPutsDecemberFirstAndCompaniesWithoutModsAs1111)
{
    m_db.execute("UPDATE PRIME SET Omit = ' '");
    m_db.execute("INSERT INTO MODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE, MOD) VALUES "
                 "('0000002', '01', '2027-01-01', '2026-12-31', 1.1)");
    const std::string text = exportTo(
        "SELECT * FROM PRIME WHERE FILE IN ('0000001', '0000002', '0000003') ORDER BY "
        "NAME1",
        {ExportLayout::Fixed, ExportSort::Expiration, false}, ExportWriter::Outcome::TooMuchData);
    EXPECT_TRUE(text.empty());
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

TEST_F(ExportWriterTest, AFileThatCannotBeCreatedIsToldAndLeavesNothing)
{
    const std::string out = m_program.file("missing/OUT.CSV");
    EXPECT_EQ(failureOf(out, ExportLayout::Comma), "CANNOT CREATE OUTPUT FILE!");
    EXPECT_FALSE(std::filesystem::exists(out));
}

// An empty result: the delimited layouts write their header alone, the fixed
// layout nothing at all.
class EmptyResultTest : public ExportWriterTest,
                        public ::testing::WithParamInterface<std::pair<ExportLayout, std::string>>
{
};

TEST_P(EmptyResultTest, WritesTheHeaderAlone)
{
    const auto& [layout, header] = GetParam();
    const std::string text = exportTo("SELECT * FROM PRIME WHERE FILE = 'NONE' ORDER BY NAME1",
                                      {layout, ExportSort::Name, false});
    EXPECT_EQ(text, header);
    EXPECT_EQ(m_progress.total, 0);
}

const std::string kLimitedHeader =
    "\"FILE\",\"NAME1\",\"NAME2\",\"STREET\",\"CITY\",\"STATE\",\"ZIP\",\"PHONE\",\"FAX\","
    "\"TITLE\",\"CONTACT\",\"SIC\",\"EMPLOYEES\",\"SALES\",\"User1\",\"User2\",\"User3\","
    "\"EXPIRE1\",\"MOD1\",\"EXPIRE2\",\"MOD2\",\"EXPIRE3\",\"MOD3\",\"EXPIRE4\",\"MOD4\"\r\n";

INSTANTIATE_TEST_SUITE_P(
    Layouts, EmptyResultTest,
    ::testing::Values(
        std::pair{ExportLayout::Limited, kLimitedHeader},
        std::pair{ExportLayout::Fixed, std::string()},
        std::pair{
            ExportLayout::Comma,
            kLimitedHeader.substr(0, kLimitedHeader.size() - 2) +
                ",\"EXPIRE5\",\"MOD5\",\"EXPIRE6\",\"MOD6\",\"EXPIRE7\",\"MOD7\",\"EXPIRE8\","
                "\"MOD8\",\"CLASS1\",\"CLASSDESC1\",\"CLASS2\",\"CLASSDESC2\",\"CLASS3\","
                "\"CLASSDESC3\",\"CLASS4\",\"CLASSDESC4\",\"CLASS5\",\"CLASSDESC5\",\"CLASS6\","
                "\"CLASSDESC6\",\"CLASS7\",\"CLASSDESC7\",\"CLASS8\",\"CLASSDESC8\",\"CLASS9\","
                "\"CLASSDESC9\",\"CLASS10\",\"CLASSDESC10\"\r\n"}));

// A New Jersey state: six columns of its own close every line.
class NewJerseyExportTest : public ExportWriterTest
{
protected:
    NewJerseyExportTest() { m_state = "NJ"; }
    void SetUp() override
    {
        ExportWriterTest::SetUp();
        m_db.execute("UPDATE PRIME SET NJPPAP = 'Y', NJCCPAP = '', NJAR = 0.5, ARESTPREM = "
                     "'12345', ARTOTPREM = '678901', ARTOTLOSS = '0' WHERE FILE = '0000001'");
    }
};

TEST_F(NewJerseyExportTest, SixColumnsOfItsOwnInEveryLayout)
{
    const std::string comma = exportTo(m_one, {ExportLayout::Comma, ExportSort::Name, false});
    const std::string header = comma.substr(0, comma.find("\r\n") + 2);
    EXPECT_EQ(header.substr(header.size() - 77),
              "\"CLASSDESC10\",\"NJPPAP\",\"NJCCPAP\",\"NJAR\",\"ARESTPREM\",\"ARTOTPREM\","
              "\"ARTOTLOSS\"\r\n");
    EXPECT_EQ(comma.substr(comma.size() - 38),
              "\"\",\"Y\",\"\",\"0.5\",\"12345\",\"678901\",\"0\"\r\n");
    const std::string limited = exportTo(m_one, {ExportLayout::Limited, ExportSort::Name, false});
    EXPECT_NE(limited.find("\"MOD4\",\"NJPPAP\",\"NJCCPAP\",\"NJAR\",\"ARESTPREM\""),
              std::string::npos);
    EXPECT_EQ(limited.substr(limited.size() - 35),
              "\"Y\",\"\",\"0.5\",\"12345\",\"678901\",\"0\"\r\n");

    // Fixed: 3, 3, 5 and three times 9 characters; an empty value as one blank.
    const std::string fixed = exportTo(m_one, {ExportLayout::Fixed, ExportSort::Name, false});
    ASSERT_EQ(fixed.size(), 10u + 253 + 120 + 540 + 38 + 2);
    EXPECT_EQ(fixed.substr(fixed.size() - 40), "Y     0.5  12345    678901   0        \r\n");
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
    if (!archive) {
        xml.broken.push_back("(no package)");
        return xml;
    }
    for (zip_int64_t index = 0; index < zip_get_num_entries(archive, 0); ++index) {
        const std::string name = zip_get_name(archive, static_cast<zip_uint64_t>(index), 0);
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(index), 0, &stat);
        QByteArray bytes(static_cast<qsizetype>(stat.size), '\0');
        zip_file_t* member = zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0);
        zip_fread(member, bytes.data(), stat.size);
        zip_fclose(member);
        QXmlStreamReader reader(bytes);
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isStartElement() && reader.name() == QStringLiteral("t"))
                xml.texts << reader.readElementText();
            else if (reader.isStartElement() && reader.name() == QStringLiteral("v"))
                xml.numbers << reader.readElementText();
            else if (reader.isStartElement() && reader.name() == QStringLiteral("sheet"))
                xml.texts << reader.attributes().value(QStringLiteral("name")).toString();
        }
        if (reader.hasError())
            xml.broken.push_back(name + ": " + reader.errorString().toStdString());
    }
    zip_discard(archive);
    return xml;
}

TEST_F(ExportWriterTest, WorkbookKeepsCodesAsTextAndModsAndExpirationsAsNumbers)
{
    const std::string out = m_program.file("BOOK.XLSX");
    ExportWriter(m_db, m_state, m_program.path())
        .run(m_one, {ExportLayout::Workbook, ExportSort::Name, false}, out, "T", m_progress);
    const WorkbookXml xml = readWorkbookXml(out);
    for (const char* text : {"0000001-01", "07013-", "0795", "0042", "Landscaping"})
        EXPECT_TRUE(xml.texts.contains(QString(text))) << text;
    // 03/15/2026 and 12/31/2025 as day numbers; 0.95 is stored as its double.
    for (const char* number : {"1.234", "46096", "1", "46022"})
        EXPECT_TRUE(xml.numbers.contains(QString(number))) << number;
    EXPECT_EQ(xml.numbers.size(), 5);
}

TEST_F(ExportWriterTest, WorkbookTakesNamesThatAreNoUtf8AsWellFormedXml)
{
    // A Latin-1 name, a UTF-8 name cut inside its last character, and a
    // Latin-1 lookup title as the sheet's name.
    m_db.prepare("UPDATE PRIME SET NAME1 = ?, NAME2 = ? WHERE FILE = '0000001'")
        .bindAll({Value(std::string("CAF\xC9 ROYAL")), Value(std::string("JOS\xC3\xA9 M\xC3"))})
        .run();
    const std::string out = m_program.file("BOOK.XLSX");
    ExportWriter(m_db, m_state, m_program.path())
        .run(m_one, {ExportLayout::Workbook, ExportSort::Name, false}, out, "R\xC9SUM\xC9",
             m_progress);
    const WorkbookXml xml = readWorkbookXml(out);
    EXPECT_EQ(xml.broken, std::vector<std::string>{});
    for (const char* text : {"CAF\xC3\x89 ROYAL", "JOS\xC3\xA9 M", "R\xC3\x89SUM\xC3\x89"})
        EXPECT_TRUE(xml.texts.contains(QString::fromUtf8(text))) << text;
}

TEST(ExportText, ProperCaseAndExpirationTexts)
{
    EXPECT_EQ(ExportText::properCase("acme widget x"), "Acme Widget X");
    EXPECT_EQ(ExportText::properCase("ACME"), "Acme");
    EXPECT_EQ(ExportText::properCase(""), "");
    EXPECT_EQ(ExportText::expirationText("2050-01-01"), "");
    EXPECT_EQ(ExportText::expirationText("1950-01-01"), "");
    EXPECT_EQ(ExportText::expirationText("2026-07-04"), "07/04/2026");
    EXPECT_FALSE(kora::passesExclamationTest(" X"));
    EXPECT_FALSE(kora::passesExclamationTest("!"));
    EXPECT_TRUE(kora::passesExclamationTest("A"));
}

} // namespace
} // namespace kora::test
