#include "database/Installation.h"
#include "base/StateCodes.h"
#include "database/ConnectString.h"
#include "database/Database.h"
#include "database/QueryRecordSet.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace kora::test {
namespace {

namespace fs = std::filesystem;

long long notes(const TempFolder& folder, const Installation& installation,
                const std::string& state)
{
    Database db(folder.file("KORA" + state + ".MDB"), installation.stateConnect(state));
    return QueryRecordSet(db, "SELECT * FROM NOTES").recordCount();
}

TEST(Installation, LaysOutSixStatesOfTheirOwnPasswordsAndKeepsThemUnlessReplacing)
{
    TempFolder folder;
    Installation installation(folder.path());
    installation.create(false);
    EXPECT_TRUE(fs::is_directory(folder.file("INITIAL")));
    EXPECT_TRUE(fs::is_regular_file(folder.file("KORA.HLP")));
    Database setup(folder.file("KORAI.MDB"), ";PWD=TRZN382pbk");
    std::set<std::string> passwords;
    for (auto code : kStateCodes) {
        const std::string state(code);
        const std::string connect = installation.stateConnect(state);
        EXPECT_EQ(connect, stateConnectOf(state));
        passwords.insert(connect);
        Database stateDb(folder.file("KORA" + state + ".MDB"), connect);
        EXPECT_EQ(QueryRecordSet(stateDb, "SELECT * FROM VERSION WHERE Dummy = '1'").recordCount(),
                  1);
        EXPECT_TRUE(Database(folder.file("BACKUP" + state + ".MDB"), "").tableExists("USER"));
    }
    EXPECT_EQ(passwords.size(), 6u);
    for (const auto& entry : fs::directory_iterator(folder.path()))
        EXPECT_EQ(entry.path().string().find(".new"), std::string::npos) << entry.path();

    const std::string before = installation.stateConnect("NJ");
    Database(folder.file("KORANJ.MDB"), before)
        .execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES ('1', '01', 'kept')");
    installation.create(false);
    EXPECT_EQ(installation.stateConnect("NJ"), before);
    EXPECT_EQ(notes(folder, installation, "NJ"), 1);

    // A program that died with the database open leaves its journal behind:
    // the replaced database takes nothing from it.
    const std::string journal = folder.file("KORAPA.MDB-wal");
    {
        Database pa(folder.file("KORAPA.MDB"), installation.stateConnect("PA"));
        pa.execute("PRAGMA wal_autocheckpoint = 0");
        pa.execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES ('1234567', '01', 'old')");
        fs::copy_file(journal, journal + ".left");
    }
    fs::rename(journal + ".left", journal);
    installation.create(true);
    EXPECT_EQ(notes(folder, installation, "NJ"), 0);
    EXPECT_EQ(notes(folder, installation, "PA"), 0);
}

} // namespace
} // namespace kora::test
