#include "demo/DemoInstallation.h"
#include "base/StateCodes.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "demo/DemoData.h"
#include "loading/RecordedProgress.h"
#include "loading/UpdateRun.h"
#include "lookup/LookupFolder.h"
#include "support/StateDatabase.h"
#include "upgrade/ZipBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace kora::test {
namespace {

// Facts of a loaded state database, each 1 when it holds.
const char* const kFacts =
    "SELECT (SELECT COUNT(*) = 50 FROM PRIME) || (SELECT COUNT(*) = 50 FROM NOTES) || "
    // The latest of the two loads changed something.
    "(SELECT COUNT(*) > 0 FROM LOADCHANGES) || (SELECT COUNT(*) > 100 FROM MODS) || "
    "(SELECT COUNT(*) > 100 FROM CLASS) || "
    "(SELECT COUNT(*) = 2 FROM SICCODES WHERE CODE IN ('1500', '5812')) || "
    // Everything the files refer to was loaded with them.
    "(SELECT COUNT(*) = 0 FROM PRIME WHERE COUNTYNAME IS NULL) || "
    "(SELECT COUNT(*) = 0 FROM CLASS WHERE CLASSDESC IS NULL OR FILESEQ NOT IN "
    "(SELECT FILESEQ FROM PRIME)) || "
    "(SELECT COUNT(*) = 0 FROM MODS WHERE FILE || SEQUENCE NOT IN (SELECT FILESEQ FROM PRIME)) || "
    "(SELECT COUNT(*) = 0 FROM PRIME WHERE EXPIRE IS NOT NULL AND NOT EXISTS (SELECT 1 FROM MODS "
    "WHERE MODS.FILE = PRIME.FILE AND MODS.SEQUENCE = PRIME.SEQUENCE AND MODS.EXPIRE = "
    "PRIME.EXPIRE)) || "
    // Associated companies share a file number.
    "(SELECT COUNT(*) > 0 FROM PRIME WHERE ASSOCIATES = 1 AND SEQUENCE = '02') || "
    "(SELECT COUNT(*) = 0 FROM PRIME WHERE ISSUE1 IS NULL AND EXPIRE IS NOT NULL) || "
    "' ' || (SELECT COUNT(*) FROM COUNTY) || ' ' || "
    "(SELECT COUNT(*) > 0 FROM PRIME WHERE NJAR IS NOT NULL) || "
    "(SELECT COUNT(*) > 0 FROM MODS WHERE [MOD] IN (9.884, 9.885, 9.886, 8.888)) || "
    "(SELECT COUNT(*) > 0 FROM PRIME WHERE INTERSTATE = 1)";
const char* const kNewYorkFacts =
    "SELECT (SELECT COUNT(*) > 20 FROM ADDRESSES) || (SELECT COUNT(*) = 0 FROM PRIME WHERE "
    "LENGTH(FILE) <> 9 OR SUBSTR(FILE, 4, 1) <> ' ' OR SUBSTR(FILE, 7, 1) <> ' ')";

TEST(DemoInstallation, EveryStateIsLoadedWithTheGivenNumberOfCompanies)
{
    TempFolder folder;
    RecordedProgress progress;
    DemoInstallation::create(folder.path(), 50, progress);

    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        EXPECT_NE(entry.path().extension(), ".DAT") << entry.path();
    // Sample lookups wait in the INITIAL workspace, and every state finds companies.
    const std::vector<std::string> lookups = {"SEARCH1.KRD", "SEARCH2.KRD", "SEARCH3.KRD"};
    EXPECT_EQ(LookupFolder(folder.file("INITIAL/")).lookupFiles(), lookups);
    const std::map<std::string, std::string> facts = {
        {"DE", "111111111111 3 000"},  {"NJ", "111111111111 21 100"},
        {"NY", "111111111110 62 001"}, {"PA", "111111111111 67 000"},
        {"PM", "111111111111 67 010"}, {"DM", "111111111111 67 010"}};
    const Installation installation(folder.path());
    for (auto code : kStateCodes) {
        const std::string state(code);
        Database db(folder.file(stateDatabaseName(state)), installation.stateConnect(state));
        EXPECT_EQ(queryRows(db, kFacts), std::vector<std::string>{facts.at(state)}) << state;
    }
    Database ny(folder.file(stateDatabaseName("NY")), installation.stateConnect("NY"));
    EXPECT_EQ(queryRows(ny, kNewYorkFacts), std::vector<std::string>{"11"});
}

TEST(DemoInstallation, LatestLoadAddsCompaniesAndModsToTheEarlierOneAndRepeatsItself)
{
    TempFolder folder;
    RecordedProgress progress;
    Installation installation(folder.path());
    installation.create(false);
    Database db(folder.file("KORAPA.MDB"), installation.stateConnect("PA"));
    std::string earlier;
    for (const auto delivery : {DemoData::Delivery::Earlier, DemoData::Delivery::Latest}) {
        DemoData("PA", 400, "2026-05-06", delivery).writeUpdateFiles(folder.path());
        if (earlier.empty())
            earlier = fileBytes(folder.file("DATAPA.DAT"));
        UpdateRun::run(db, folder.path(), "PA", progress);
    }
    const auto count = [&db](const std::string& sql) {
        return std::stoi(queryRows(db, sql).at(0));
    };
    EXPECT_EQ(count("SELECT COUNT(*) FROM PRIME"), 400);
    const int earlierCompanies =
        400 - count("SELECT COUNT(*) FROM LOADCHANGES WHERE CHANGE = 'New Company'");
    const int newMods = count("SELECT COUNT(*) FROM LOADCHANGES WHERE CHANGE = 'New Mod'");
    EXPECT_EQ(earlier.size() % 502, 0u);
    EXPECT_TRUE(earlierCompanies > 360 && earlierCompanies < 396)
        << earlierCompanies << ' ' << newMods;
    EXPECT_TRUE(newMods > 4 && newMods < 60) << earlierCompanies << ' ' << newMods;

    DemoData("PA", 400, "2026-05-06", DemoData::Delivery::Earlier).writeUpdateFiles(folder.path());
    EXPECT_EQ(fileBytes(folder.file("DATAPA.DAT")), earlier);
}

} // namespace
} // namespace kora::test
