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

TEST(Installation, LaysOutAProgramFolder)
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
        QueryRecordSet version(stateDb, "SELECT * FROM VERSION WHERE Dummy = '1'");
        EXPECT_EQ(version.recordCount(), 1);
        Database backup(folder.file("BACKUP" + state + ".MDB"), "");
        EXPECT_TRUE(backup.tableExists("USER"));
        EXPECT_TRUE(backup.tableExists("NOTES"));
    }
    EXPECT_EQ(passwords.size(), 6u);
    // No scratch file is left behind.
    for (const auto& entry : fs::directory_iterator(folder.path()))
        EXPECT_EQ(entry.path().string().find(".new"), std::string::npos) << entry.path();
}

TEST(Installation, KeepsExistingFilesUnlessReplacing)
{
    TempFolder folder;
    Installation installation(folder.path());
    installation.create(false);
    const std::string before = installation.stateConnect("NJ");
    {
        Database nj(folder.file("KORANJ.MDB"), before);
        nj.execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES ('1', '01', 'kept')");
    }
    installation.create(false);
    EXPECT_EQ(installation.stateConnect("NJ"), before);
    {
        Database nj(folder.file("KORANJ.MDB"), before);
        EXPECT_EQ(QueryRecordSet(nj, "SELECT * FROM NOTES").recordCount(), 1);
    }
    installation.create(true);
    Database nj(folder.file("KORANJ.MDB"), installation.stateConnect("NJ"));
    EXPECT_EQ(QueryRecordSet(nj, "SELECT * FROM NOTES").recordCount(), 0);
}

TEST(Installation, ReplacedDatabaseTakesNothingFromTheOldOnesJournal)
{
    TempFolder folder;
    Installation installation(folder.path());
    installation.create(false);
    const std::string database = folder.file("KORAPA.MDB");
    const std::string journal = database + "-wal";
    // A program that died with the database open leaves its journal behind.
    {
        Database pa(database, installation.stateConnect("PA"));
        pa.execute("PRAGMA wal_autocheckpoint = 0");
        pa.execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES ('1234567', '01', 'old')");
        fs::copy_file(journal, journal + ".left");
    }
    fs::rename(journal + ".left", journal);

    installation.create(true);
    Database pa(database, installation.stateConnect("PA"));
    EXPECT_EQ(QueryRecordSet(pa, "SELECT * FROM NOTES").recordCount(), 0);
}

} // namespace
} // namespace kora::test
