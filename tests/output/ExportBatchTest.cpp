#include "database/Installation.h"
#include "database/Transaction.h"
#include "output/ExportWriter.h"
#include "support/StateDatabase.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kora::test {
namespace {

struct QuietProgress : ExportProgress
{
    void starting(long long) override {}
    void counted(long long) override {}
};

// A state of 5,000 companies, two to a file number (sequences 01 and 02). The
// first 450 by name have two mods and two classes that tell which company
// they belong to: an export reads them for batches of companies at once.
class ExportBatchTest : public EngineTest<>
{
protected:
    static constexpr int kCompanies = 5000;
    static constexpr int kExported = 450;

    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        setenv("TMPDIR", m_temporary.path().c_str(), 1);
        Installation(m_program.path()).create(false); // the report template of the scratch copy
        Transaction transaction(db());
        std::string prime, mods, classes, descriptions;
        for (int i = 0; i < kCompanies; ++i) {
            const std::string file = fileOf(i), sequence = sequenceOf(i);
            prime += std::string(prime.empty() ? "" : ", ") + "('" + file + "', '" + sequence +
                     "', '" + file + sequence + "', '" + nameOf(i) + "', '" + nameOf(i) +
                     "', '19000', ' ')";
            if (i < kExported) {
                mods += std::string(mods.empty() ? "" : ", ") + "('" + file + "', '" + sequence +
                        "', '" + dateOf(i, 2025) + "', '" + dateOf(i, 2025) + "', " +
                        std::to_string(i) + "), ('" + file + "', '" + sequence + "', '" +
                        dateOf(i, 2026) + "', '" + dateOf(i, 2026) + "', " +
                        std::to_string(i + 1000) + ")";
                classes += std::string(classes.empty() ? "" : ", ") + "('" + file + "', '" +
                           sequence + "', '" + classOf('B', i) + "'), ('" + file + "', '" +
                           sequence + "', '" + classOf('A', i) + "')";
                descriptions += std::string(descriptions.empty() ? "" : ", ") + "('" +
                                classOf('A', i) + "', 'DESC " + classOf('A', i) + "')";
            }
            if (i % 500 == 499) {
                db().execute("INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, NAME1, NameSort, ZIP, "
                             "Omit) VALUES " +
                             prime);
                prime.clear();
            }
        }
        db().execute("INSERT INTO MODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE, MOD) VALUES " + mods);
        db().execute("INSERT INTO CLASS (FILE, SEQUENCE, CLASS) VALUES " + classes);
        db().execute("INSERT INTO CLASSLIST (CLASS, \"DESC\") VALUES " + descriptions);
        transaction.commit();
    }
    void TearDown() override { unsetenv("TMPDIR"); }

    static std::string fileOf(int i) { return std::to_string(1000000 + i / 2); }
    static std::string sequenceOf(int i) { return i % 2 ? "02" : "01"; }
    static std::string nameOf(int i)
    {
        char name[16];
        std::snprintf(name, sizeof name, "COMPANY %04d", i);
        return name;
    }
    static std::string classOf(char letter, int i)
    {
        char code[8];
        std::snprintf(code, sizeof code, "%c%03d", letter, i % 1000);
        return code;
    }
    // A month and day of its own for each of the first companies.
    static std::string dateOf(int i, int year)
    {
        char date[16];
        std::snprintf(date, sizeof date, "%d-%02d-%02d", year, 1 + i * 7 % 12, 1 + i % 28);
        return date;
    }
    static std::string expirationOf(int i, int year)
    {
        const std::string date = dateOf(i, year);
        return date.substr(5, 2) + "/" + date.substr(8, 2) + "/" + date.substr(0, 4);
    }

    // The export's lines, each split into its unquoted values.
    std::vector<std::vector<std::string>> exported(ExportSort sort)
    {
        const std::string out = m_program.file("OUT.TXT");
        const auto result =
            ExportWriter(db(), "PA", m_program.path())
                .run("SELECT * FROM PRIME WHERE NAME1 < '" + nameOf(kExported) + "' ORDER BY NAME1",
                     {ExportLayout::Comma, sort, false}, out, "T", m_progress);
        EXPECT_EQ(result.outcome, ExportWriter::Outcome::Exported);
        std::ifstream file(out);
        std::vector<std::vector<std::string>> lines;
        std::string line;
        std::getline(file, line); // the header
        while (std::getline(file, line)) {
            std::vector<std::string> values;
            std::istringstream fields(line.substr(0, line.find('\r')));
            for (std::string value; std::getline(fields, value, ',');)
                values.push_back(value.substr(1, value.size() - 2));
            lines.push_back(values);
        }
        return lines;
    }

    // The company a line is of, after checking that its mods and classes are that company's.
    int companyOf(const std::vector<std::string>& line)
    {
        const int i = std::stoi(line.at(1).substr(8));
        EXPECT_EQ(line.at(0), fileOf(i) + "-" + sequenceOf(i));
        const std::vector<std::string> tail(line.begin() + 17, line.begin() + 25);
        EXPECT_EQ(tail, (std::vector<std::string>{expirationOf(i, 2026), std::to_string(i + 1000),
                                                  expirationOf(i, 2025), std::to_string(i), "", "",
                                                  "", ""}))
            << line.at(1);
        const std::vector<std::string> classes(line.begin() + 33, line.begin() + 38);
        EXPECT_EQ(classes, (std::vector<std::string>{classOf('A', i), "DESC " + classOf('A', i),
                                                     classOf('B', i), "", ""}))
            << line.at(1);
        return i;
    }

    TempFolder m_program;
    TempFolder m_temporary;
    QuietProgress m_progress;
};

TEST_P(ExportBatchTest, EveryCompanyGetsItsOwnModsAndClassesAcrossBatches)
{
    const auto byName = exported(ExportSort::Name);
    ASSERT_EQ(byName.size(), static_cast<size_t>(kExported));
    for (int i = 0; i < kExported; ++i)
        EXPECT_EQ(companyOf(byName[i]), i);

    // The expiration order takes each company's latest mod, read a batch at a time.
    const auto byExpiration = exported(ExportSort::Expiration);
    ASSERT_EQ(byExpiration.size(), static_cast<size_t>(kExported));
    std::string previous = "99/99";
    std::vector<bool> seen(kExported);
    for (const auto& line : byExpiration) {
        seen[companyOf(line)] = true;
        const std::string monthDay = line.at(17).substr(0, 5);
        EXPECT_LE(monthDay, previous) << line.at(1);
        previous = monthDay;
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), kExported);
}

INSTANTIATE_TEST_SUITE_P(Engines, ExportBatchTest, ::testing::Values(Engine::File, Engine::Server),
                         engineName);

} // namespace
} // namespace kora::test
