#include "demo/DemoInstallation.h"
#include "base/StateCodes.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "demo/DemoData.h"
#include "loading/UpdateRun.h"
#include "lookup/LookupFolder.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace kora::test {
namespace {

namespace fs = std::filesystem;

class SilentProgress : public LoadProgress
{
public:
    void status(const std::string&) override {}
};

long long number(Database& db, const std::string& sql)
{
    Statement query = db.prepare(sql);
    return query.step() ? query.column(0).toInteger() : -1;
}

TEST(DemoInstallation, EveryStateIsLoadedWithTheGivenNumberOfCompanies)
{
    TempFolder folder;
    SilentProgress progress;
    DemoInstallation::create(folder.path(), 50, progress);

    for (const auto& entry : fs::directory_iterator(folder.path()))
        EXPECT_NE(entry.path().extension(), ".DAT") << entry.path();
    // Sample lookups wait in the INITIAL workspace, and every state finds companies.
    const std::vector<std::string> lookups = {"SEARCH1.KRD", "SEARCH2.KRD", "SEARCH3.KRD"};
    EXPECT_EQ(LookupFolder(folder.file("INITIAL/")).lookupFiles(), lookups);
    const std::map<std::string, long long> counties = {{"DE", 3},  {"NJ", 21}, {"NY", 62},
                                                       {"PA", 67}, {"PM", 67}, {"DM", 67}};
    const Installation installation(folder.path());
    for (auto code : kStateCodes) {
        const std::string state(code);
        SCOPED_TRACE(state);
        Database db(folder.file(stateDatabaseName(state)), installation.stateConnect(state));
        EXPECT_EQ(number(db, "SELECT COUNT(*) FROM PRIME"), 50);
        // The latest of the two loads changed something.
        EXPECT_GT(number(db, "SELECT COUNT(*) FROM LOADCHANGES"), 0);
        EXPECT_EQ(number(db, "SELECT COUNT(*) FROM NOTES"), 50);
        EXPECT_GT(number(db, "SELECT COUNT(*) FROM MODS"), 100);
        EXPECT_GT(number(db, "SELECT COUNT(*) FROM CLASS"), 100);
        EXPECT_EQ(number(db, "SELECT COUNT(*) FROM COUNTY"), counties.at(state));
        EXPECT_EQ(number(db, "SELECT COUNT(*) FROM SICCODES WHERE CODE IN ('1500', '5812')"), 2);
        // Everything the files refer to was loaded with them.
        EXPECT_EQ(number(db, "SELECT COUNT(*) FROM PRIME WHERE COUNTYNAME IS NULL"), 0);
        EXPECT_EQ(number(db, "SELECT COUNT(*) FROM CLASS WHERE CLASSDESC IS NULL OR "
                             "FILESEQ NOT IN (SELECT FILESEQ FROM PRIME)"),
                  0);
        EXPECT_EQ(number(db, "SELECT COUNT(*) FROM MODS WHERE FILE || SEQUENCE NOT IN "
                             "(SELECT FILESEQ FROM PRIME)"),
                  0);
        EXPECT_EQ(number(db, "SELECT COUNT(*) FROM PRIME WHERE EXPIRE IS NOT NULL AND NOT "
                             "EXISTS (SELECT 1 FROM MODS WHERE MODS.FILE = PRIME.FILE AND "
                             "MODS.SEQUENCE = PRIME.SEQUENCE AND MODS.EXPIRE = PRIME.EXPIRE)"),
                  0);
        // Associated companies share a file number.
        EXPECT_GT(number(db, "SELECT COUNT(*) FROM PRIME WHERE ASSOCIATES = 1 AND SEQUENCE = '02'"),
                  0);
        EXPECT_EQ(number(db, "SELECT COUNT(*) FROM PRIME WHERE NJAR IS NOT NULL") > 0,
                  state == "NJ");
        EXPECT_EQ(number(db, "SELECT COUNT(*) FROM MODS WHERE [MOD] IN (9.884, 9.885, 9.886, "
                             "8.888)") > 0,
                  state == "PM" || state == "DM");
        if (state == "NY") {
            EXPECT_GT(number(db, "SELECT COUNT(*) FROM ADDRESSES"), 20);
            EXPECT_EQ(number(db, "SELECT COUNT(*) FROM PRIME WHERE LENGTH(FILE) <> 9 OR "
                                 "SUBSTR(FILE, 4, 1) <> ' ' OR SUBSTR(FILE, 7, 1) <> ' '"),
                      0);
            EXPECT_GT(number(db, "SELECT COUNT(*) FROM PRIME WHERE INTERSTATE = 1"), 0);
        } else {
            EXPECT_EQ(number(db, "SELECT COUNT(*) FROM PRIME WHERE ISSUE1 IS NULL AND "
                                 "EXPIRE IS NOT NULL"),
                      0);
        }
    }
}

TEST(DemoInstallation, LatestLoadAddsCompaniesAndModsToTheEarlierOne)
{
    TempFolder folder;
    SilentProgress progress;
    Installation installation(folder.path());
    installation.create(false);
    Database db(folder.file("KORAPA.MDB"), installation.stateConnect("PA"));
    const auto load = [&](DemoData::Delivery delivery) {
        DemoData("PA", 400, "2026-05-06", delivery).writeUpdateFiles(folder.path());
        UpdateRun::run(db, folder.path(), "PA", progress);
    };
    load(DemoData::Delivery::Earlier);
    const long long earlierCompanies = number(db, "SELECT COUNT(*) FROM PRIME");
    const long long earlierMods = number(db, "SELECT COUNT(*) FROM MODS");
    load(DemoData::Delivery::Latest);

    EXPECT_EQ(number(db, "SELECT COUNT(*) FROM PRIME"), 400);
    const long long newCompanies =
        number(db, "SELECT COUNT(*) FROM LOADCHANGES WHERE CHANGE = 'New Company'");
    const long long newMods =
        number(db, "SELECT COUNT(*) FROM LOADCHANGES WHERE CHANGE = 'New Mod'");
    EXPECT_EQ(newCompanies, 400 - earlierCompanies);
    EXPECT_GT(newCompanies, 4);
    EXPECT_LT(newCompanies, 40);
    EXPECT_GT(newMods, 4);
    EXPECT_LT(newMods, 60);
    EXPECT_GE(number(db, "SELECT COUNT(*) FROM MODS"), earlierMods + newMods);
}

std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(DemoInstallation, SameStateCountAndDateGiveTheSameFiles)
{
    TempFolder first;
    TempFolder second;
    DemoData("NY", 40, "2024-05-06").writeUpdateFiles(first.path());
    DemoData("NY", 40, "2024-05-06").writeUpdateFiles(second.path());
    for (const char* name :
         {"DATANY.DAT", "DATA1NY.DAT", "DATA2NY.DAT", "CTYNY.DAT", "SIC.DAT", "CLASSES.DAT"}) {
        const std::string bytes = contents(fs::path(first.path()) / name);
        EXPECT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(bytes, contents(fs::path(second.path()) / name)) << name;
    }
    EXPECT_EQ(contents(fs::path(first.path()) / "DATANY.DAT").size() % 502, 0u);
}

} // namespace
} // namespace kora::test
