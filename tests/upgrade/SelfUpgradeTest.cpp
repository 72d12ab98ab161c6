#include "upgrade/SelfUpgrade.h"
#include "base/Prompt.h"
#include "base/StateCodes.h"
#include "database/ConnectString.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "database/QueryRecordSet.h"
#include "database/Schema.h"
#include "support/TempFolder.h"
#include "upgrade/ZipBuilder.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kora {
namespace {

using test::fileBytes;
using test::writeFile;
using test::ZipBuilder;

struct RecordedPrompt : Prompt
{
    void tell(const std::string& text, const std::string&, Icon) override { told.push_back(text); }
    bool ask(const std::string&, const std::string&, Icon) override { return false; }
    std::vector<std::string> told;
};

struct RecordedProgress : UpgradeProgress
{
    void startWork() override { ++started; }
    void status(const std::string& text) override { statuses.push_back(text); }
    void hideStatus() override { statuses.push_back("<hidden>"); }
    void bars(int member, int archive) override { lastBars = {member, archive}; }
    int started = 0;
    std::vector<std::string> statuses;
    std::pair<int, int> lastBars;
};

// A program folder with installed files, a source folder for the archives and
// a backup routine that records the states it saved (or fails when told).
class SelfUpgradeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeFile(program.file("KORAPA.MDB"), "installed PA");
        writeFile(program.file("KORANJ.MDB"), "installed NJ");
        writeFile(program.file("KORA.HLP"), "installed help");
    }

    UpgradeArchive::NotesBackup backup()
    {
        return [this](const std::string& state) {
            if (backupFails)
                throw std::runtime_error("BACKUP" + state + ".MDB is read-only");
            saved.push_back(state);
        };
    }

    SelfUpgrade::Ending run()
    {
        SelfUpgrade upgrade(program.path(), prompt, progress, backup());
        const auto ending = upgrade.run(source.path());
        failed = upgrade.hadFailure();
        return ending;
    }

    // A state database as the data supplier builds it, in an installation of
    // its own, holding one note that tells it apart.
    std::string delivered(const std::string& state)
    {
        Installation installation(supplier.path());
        installation.create(false);
        const std::string path = supplier.file(stateDatabaseName(state));
        Database db(path, installation.stateConnect(state));
        db.execute("DELETE FROM NOTES");
        db.execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) "
                   "VALUES ('1234567', '01', 'from the supplier')");
        db.close();
        return fileBytes(path);
    }

    // Every file of the program folder with its bytes, but for the lock files
    // of the state databases.
    std::map<std::string, std::string> programFiles() const
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(program.path()))
            if (entry.path().extension() != ".LCK")
                files[entry.path().lexically_relative(program.path()).string()] =
                    entry.is_regular_file() ? fileBytes(entry.path().string()) : "<folder>";
        return files;
    }

    test::TempFolder program;
    test::TempFolder source;
    test::TempFolder supplier;
    RecordedPrompt prompt;
    RecordedProgress progress;
    std::vector<std::string> saved;
    bool backupFails = false;
    bool failed = false;
};

TEST_F(SelfUpgradeTest, StateDatabaseSavesNotesReplacesTheFileAndEndsTheProgram)
{
    const std::string pa = delivered("PA");
    ZipBuilder::write(source.file("KORA1.ZIP"),
                      {{"KORAPA.MDB", pa}, {"KORAI.MDB", "new setup"}, {"KORA.HLP", "new help"}});
    EXPECT_EQ(run(), SelfUpgrade::Ending::Restart);

    EXPECT_EQ(saved, std::vector<std::string>{"PA"});
    EXPECT_EQ(fileBytes(program.file("KORAPA.MDB")), pa);
    EXPECT_EQ(fileBytes(program.file("KORAI.MDB")), "new setup");
    EXPECT_EQ(fileBytes(program.file("KORA.HLP")), "new help");
    EXPECT_EQ(fileBytes(program.file("KORANJ.MDB")), "installed NJ");
    EXPECT_EQ(fileBytes(program.file("RESTPA.DAT")), " \r\n");
    EXPECT_FALSE(fs::exists(program.file("RESTNJ.DAT")));
    EXPECT_EQ(progress.started, 1);
    EXPECT_EQ(progress.statuses,
              (std::vector<std::string>{"Updating... please wait", "Saving PA User Notes & Fields",
                                        "Loading New DataBase Parameters", "Loading New Database",
                                        "KORAPA.MDB  1 of  3", "KORAI.MDB  2 of  3",
                                        "KORA.HLP  3 of  3", " ", "<hidden>"}));
    EXPECT_EQ(progress.lastBars, std::make_pair(100, 100));
    EXPECT_EQ(prompt.told,
              std::vector<std::string>{"Upgrade complete.  Restart KORA to activate changes!"});
    EXPECT_FALSE(failed);
}

TEST_F(SelfUpgradeTest, ProgramFilesOnlyAskForTheStateAgain)
{
    ZipBuilder::write(source.file("KORA1.ZIP"),
                      {{"KORA.HLP", "new help"}, {"INITIAL/NEW.KRD", "lookup"}, {"docs/", ""}});
    EXPECT_EQ(run(), SelfUpgrade::Ending::SelectState);
    EXPECT_TRUE(saved.empty());
    EXPECT_EQ(fileBytes(program.file("KORA.HLP")), "new help");
    EXPECT_EQ(fileBytes(program.file("INITIAL/NEW.KRD")), "lookup");
    EXPECT_TRUE(fs::is_directory(program.file("docs")));
    EXPECT_FALSE(fs::exists(program.file("RESTPA.DAT")));
    EXPECT_EQ(prompt.told, std::vector<std::string>{"Upgrade complete.  Select State!"});
}

TEST_F(SelfUpgradeTest, ADatabaseNameInOtherLetterCaseEndsTheProgramButSavesNoNotes)
{
    ZipBuilder::write(source.file("KORA1.ZIP"), {{"kOraPa.mdb", "new lower"}});
    EXPECT_EQ(run(), SelfUpgrade::Ending::Restart);
    EXPECT_TRUE(saved.empty());
    EXPECT_EQ(fileBytes(program.file("kOraPa.mdb")), "new lower");
    EXPECT_EQ(fileBytes(program.file("KORAPA.MDB")), "installed PA");
    EXPECT_FALSE(fs::exists(program.file("RESTPA.DAT")));
}

TEST_F(SelfUpgradeTest, ArchivesInstallInNameOrderAndTheLastOneDecides)
{
    ZipBuilder::write(source.file("KORA2.ZIP"), {{"KORA.HLP", "help of 2"}});
    const std::string nj = delivered("NJ");
    // DE is not installed yet: it has no notes to save.
    const std::string de = delivered("DE");
    ZipBuilder::write(source.file("KORA1.ZIP"),
                      {{"KORANJ.MDB", nj}, {"KORADE.MDB", de}, {"KORA.HLP", "help of 1"}});
    EXPECT_EQ(run(), SelfUpgrade::Ending::SelectState);
    EXPECT_EQ(fileBytes(program.file("KORA.HLP")), "help of 2");
    EXPECT_EQ(fileBytes(program.file("KORANJ.MDB")), nj);
    EXPECT_EQ(fileBytes(program.file("KORADE.MDB")), de);
    EXPECT_EQ(fileBytes(program.file("RESTNJ.DAT")), " \r\n");
    EXPECT_FALSE(fs::exists(program.file("RESTDE.DAT")));
    EXPECT_EQ(saved, std::vector<std::string>{"NJ"});
}

TEST_F(SelfUpgradeTest, UnixPermissionsComeThrough)
{
    ZipBuilder::write(source.file("KORA1.ZIP"),
                      {{"kora", "#!/bin/sh\n", S_IFREG | 0755}, {"plain.txt", "text"}});
    run();
    EXPECT_EQ(fs::status(program.file("kora")).permissions() & fs::perms::owner_exec,
              fs::perms::owner_exec);
    EXPECT_EQ(fs::status(program.file("plain.txt")).permissions() & fs::perms::all,
              fs::perms(0644));
}

TEST_F(SelfUpgradeTest, NoArchiveSaysWhereItLookedAndStartsNothing)
{
    writeFile(source.file("OTHER.ZIP"), "x");
    EXPECT_EQ(run(), SelfUpgrade::Ending::NoArchive);
    EXPECT_EQ(prompt.told, std::vector<std::string>{
                               "The KORA*.ZIP file was not found in the directory (" +
                               source.path() + ")  Please select the correct path and try again."});
    EXPECT_EQ(progress.started, 0);
}

TEST_F(SelfUpgradeTest, AFailingBackupStopsTheArchiveBeforeAnythingIsUnpacked)
{
    const auto before = programFiles();
    backupFails = true;
    ZipBuilder::write(source.file("KORA1.ZIP"),
                      {{"KORA.HLP", "new help"}, {"KORAPA.MDB", "new PA"}});
    EXPECT_EQ(run(), SelfUpgrade::Ending::NothingInstalled);
    EXPECT_EQ(programFiles(), before);
    ASSERT_EQ(prompt.told.size(), 1u);
    EXPECT_NE(prompt.told[0].find("The PA user notes and fields could not be saved"),
              std::string::npos);
    EXPECT_TRUE(failed);
}

TEST_F(SelfUpgradeTest, AStateDatabaseIsReplacedOnlyOnceNoOneHasItOpen)
{
    const std::string path = program.file("KORAPA.MDB");
    fs::remove(path);
    Schema::createStateDatabase(path, ";PWD=pa", "PA");
    const std::string pa = delivered("PA");
    ZipBuilder::write(source.file("KORA1.ZIP"), {{"KORAPA.MDB", pa}});
    {
        Database other(path, ";PWD=pa");
        Statement read = other.prepare("SELECT COUNT(*) FROM VERSION");
        ASSERT_TRUE(read.step());
        EXPECT_EQ(run(), SelfUpgrade::Ending::NothingInstalled);
        EXPECT_TRUE(saved.empty());
        // The other user goes on working on the installed file.
        Statement again = other.prepare("SELECT COUNT(*) FROM VERSION");
        EXPECT_TRUE(again.step());
    }
    EXPECT_EQ(run(), SelfUpgrade::Ending::Restart);
    EXPECT_EQ(fileBytes(path), pa);
    EXPECT_EQ(saved, std::vector<std::string>{"PA"});
}

TEST_F(SelfUpgradeTest, AnArchiveThatFailsLeavesTheOthersInstalled)
{
    ZipBuilder::write(source.file("KORA1.ZIP"), {{"KORA.HLP", "new help"}});
    writeFile(source.file("KORA2.ZIP"), "not a zip file at all");
    EXPECT_EQ(run(), SelfUpgrade::Ending::SelectState);
    EXPECT_EQ(fileBytes(program.file("KORA.HLP")), "new help");
    EXPECT_TRUE(failed);
    ASSERT_EQ(prompt.told.size(), 2u);
    EXPECT_EQ(prompt.told[1], "Upgrade complete.  Select State!");
}

// Hostile members: nothing of the archive is written, in the program folder
// or beside it, and the message names the member.
class HostileMemberTest : public SelfUpgradeTest,
                          public ::testing::WithParamInterface<ZipBuilder::Member>
{
};

TEST_P(HostileMemberTest, IsRefusedWithNothingWritten)
{
    fs::create_directories(program.file("INITIAL"));
    fs::create_symlink(source.path(), program.file("outside"));
    const auto before = programFiles();
    const auto beside = fs::path(program.path()).parent_path().parent_path();
    ZipBuilder::write(source.file("KORA1.ZIP"),
                      {{"KORA.HLP", "new help"}, GetParam(), {"KORAPA.MDB", "new PA"}});

    EXPECT_EQ(run(), SelfUpgrade::Ending::NothingInstalled);
    EXPECT_EQ(programFiles(), before);
    for (const char* planted : {"evil", "y", "..\\evil"}) {
        EXPECT_FALSE(fs::exists(beside / planted)) << planted;
        EXPECT_FALSE(fs::exists(beside.parent_path() / planted)) << planted;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(source.path()), {}), 1);
    EXPECT_FALSE(fs::exists("/tmp/x-kora-upgrade-test"));
    EXPECT_TRUE(saved.empty());
    ASSERT_EQ(prompt.told.size(), 1u);
    EXPECT_NE(prompt.told[0].find("holds the member " + GetParam().name + ","), std::string::npos);
    EXPECT_TRUE(failed);
}

INSTANTIATE_TEST_SUITE_P(Names, HostileMemberTest,
                         ::testing::Values(ZipBuilder::Member{"../evil", "x"},
                                           ZipBuilder::Member{"/tmp/x-kora-upgrade-test", "x"},
                                           ZipBuilder::Member{"a/../../y", "x"},
                                           ZipBuilder::Member{"C:evil", "x"},
                                           ZipBuilder::Member{"..\\evil", "x"},
                                           ZipBuilder::Member{"INITIAL\\..\\..\\evil", "x"},
                                           ZipBuilder::Member{"outside/planted", "x"},
                                           ZipBuilder::Member{"KORAPA.MDB-wal", "x"},
                                           ZipBuilder::link("INITIAL/link", "/etc/passwd")),
                         [](const auto& info) { return "Member" + std::to_string(info.index); });

// Damaged archives change no installed file and leave no scratch file. One
// that cannot be read at all gives the error message with libzip's error
// number; a damaged member is named with the cause.
struct Damage
{
    const char* name;
    void (*apply)(const std::string& path);
    std::string message;
};

class DamagedArchiveTest : public SelfUpgradeTest, public ::testing::WithParamInterface<Damage>
{
};

TEST_P(DamagedArchiveTest, ChangesNoInstalledFile)
{
    const auto before = programFiles();
    const std::string path = source.file("KORA1.ZIP");
    ZipBuilder::write(
        path, {{"KORA.HLP", std::string(5000, 'h')}, {"KORAPA.MDB", std::string(5000, 'p')}});
    GetParam().apply(path);

    EXPECT_EQ(run(), SelfUpgrade::Ending::NothingInstalled);
    EXPECT_EQ(programFiles(), before);
    ASSERT_FALSE(prompt.told.empty());
    EXPECT_EQ(prompt.told.back().rfind(GetParam().message, 0), 0u) << prompt.told.back();
}

void truncate(const std::string& path)
{
    fs::resize_file(path, fs::file_size(path) / 2);
}

void notAZip(const std::string& path)
{
    writeFile(path, "This is a text file named like an archive.\n");
}

// Flips stored bytes of the second member, leaving the directory whole.
void corruptData(const std::string& path)
{
    std::string bytes = fileBytes(path);
    const size_t second = bytes.find("KORAPA.MDB");
    for (size_t i = second + 20; i < second + 30; ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ 0x5a);
    writeFile(path, bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Archives, DamagedArchiveTest,
    ::testing::Values(Damage{"Truncated", truncate, UpgradeArchive::errorMessage(ZIP_ER_NOZIP)},
                      Damage{"NotAZip", notAZip, UpgradeArchive::errorMessage(ZIP_ER_NOZIP)},
                      Damage{"CorruptData", corruptData,
                             "The member KORAPA.MDB of KORA1.ZIP is damaged (Zlib error"}),
    [](const auto& info) { return std::string(info.param.name); });

// A crash among the renames: whatever was replaced by then, the restore
// marker is there, and the next upgrade sweeps the scratch files away.
class CrashTest : public SelfUpgradeTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(CrashTest, LeavesTheMarkerAndTheNextUpgradeRemovesTheScratch)
{
    const std::string pa = delivered("PA");
    ZipBuilder::write(source.file("KORA1.ZIP"), {{"KORAPA.MDB", pa}, {"KORA.HLP", "new help"}});
    EXPECT_EXIT(
        {
            UpgradeArchive archive(program.path(), prompt, progress, backup());
            int replacing = 0;
            archive.beforeReplacing([&](const fs::path&) {
                if (replacing++ == GetParam())
                    _exit(9);
            });
            archive.install(source.file("KORA1.ZIP"));
        },
        ::testing::ExitedWithCode(9), "");

    EXPECT_EQ(fileBytes(program.file("RESTPA.DAT")), " \r\n");
    EXPECT_EQ(fileBytes(program.file("KORAPA.MDB")), GetParam() == 0 ? "installed PA" : pa);
    const auto scratch = [this] {
        int count = 0;
        for (const auto& [name, bytes] : programFiles())
            count += name.rfind("KORAPA.MDB.", 0) == 0 || name.rfind("KORA.HLP.", 0) == 0;
        return count;
    };
    ASSERT_EQ(scratch(), GetParam() == 0 ? 2 : 1);

    ZipBuilder::write(source.file("KORA1.ZIP"), {{"INITIAL/NEW.KRD", "lookup"}});
    EXPECT_EQ(run(), SelfUpgrade::Ending::SelectState);
    EXPECT_EQ(scratch(), 0);
    EXPECT_EQ(fileBytes(program.file("KORA.HLP")), "installed help");
}

INSTANTIATE_TEST_SUITE_P(Renames, CrashTest, ::testing::Values(0, 1),
                         [](const auto& info) { return "Before" + std::to_string(info.param); });

// State databases delivered into an installation of their own: one built by
// another installation installs and opens here, with the password the
// installation keeps for the state; a damaged one, or another state's, is
// refused with the installed file kept.
struct Delivery
{
    const char* name;
    // The member's bytes, from the supplier's PA and NJ databases.
    std::string (*bytes)(const std::string& pa, const std::string& nj);
    // The installation's PA password before the upgrade; empty for its own.
    std::string installedConnect;
    // Empty when the delivery installs.
    std::string refusal;
};

class DeliveredDatabaseTest : public SelfUpgradeTest, public ::testing::WithParamInterface<Delivery>
{
};

TEST_P(DeliveredDatabaseTest, InstallsOnlyASoundDatabaseOfTheState)
{
    Installation installation(program.path());
    installation.create(true);
    std::string connect = installation.stateConnect("PA");
    if (!GetParam().installedConnect.empty()) {
        connect = GetParam().installedConnect;
        Database setup(program.file("KORAI.MDB"), std::string(kSetupConnect));
        setup.execute("UPDATE Setup SET pwd = '" + connect + "' WHERE State = 'PA'");
        setup.close();
        fs::remove(program.file("KORAPA.MDB"));
        Schema::createStateDatabase(program.file("KORAPA.MDB"), connect, "PA");
    }
    const auto before = programFiles();
    ZipBuilder::write(source.file("KORA1.ZIP"),
                      {{"KORAPA.MDB", GetParam().bytes(delivered("PA"), delivered("NJ"))}});

    if (!GetParam().refusal.empty()) {
        EXPECT_EQ(run(), SelfUpgrade::Ending::NothingInstalled);
        EXPECT_EQ(programFiles(), before);
        ASSERT_EQ(prompt.told.size(), 1u);
        EXPECT_NE(prompt.told[0].find("holds the member KORAPA.MDB, which cannot become the PA "
                                      "database: " +
                                      GetParam().refusal),
                  std::string::npos)
            << prompt.told[0];
        return;
    }
    EXPECT_EQ(run(), SelfUpgrade::Ending::Restart);
    EXPECT_EQ(fileBytes(program.file("RESTPA.DAT")), " \r\n");
    EXPECT_EQ(installation.stateConnect("PA"), connect);
    Database pa(program.file("KORAPA.MDB"), connect);
    EXPECT_EQ(
        QueryRecordSet(pa, "SELECT * FROM NOTES WHERE NOTES = 'from the supplier'").recordCount(),
        1);
}

std::string supplierPa(const std::string& pa, const std::string&)
{
    return pa;
}

std::string supplierNj(const std::string&, const std::string& nj)
{
    return nj;
}

// Overwrites the pages after the first two with garbage.
std::string damagedPa(const std::string& pa, const std::string&)
{
    std::string bytes = pa;
    for (size_t i = 2 * 4096; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Members, DeliveredDatabaseTest,
    ::testing::Values(Delivery{"AnotherInstallation", supplierPa, "", ""},
                      Delivery{"InstallationWithARandomPassword", supplierPa, ";PWD=dr4wnAtRandom",
                               ""},
                      Delivery{"AnotherState", supplierNj, "",
                               "it does not open with the password of the PA database"},
                      Delivery{"Damaged", damagedPa, "", "it is damaged ("}),
    [](const auto& info) { return std::string(info.param.name); });

// Unpacking under a file-size limit, as under "ulimit -f" with SIGXFSZ
// ignored: a member larger than the limit fails as a full disk would, and a
// member that inflates past its declared size stops there. Either installs
// nothing and names the member and the cause.
struct Limit
{
    const char* name;
    bool understated;
    const char* message;
};

class WriteLimitTest : public SelfUpgradeTest, public ::testing::WithParamInterface<Limit>
{
};

TEST_P(WriteLimitTest, InstallsNothingAndNamesTheCause)
{
    const auto before = programFiles();
    const std::string path = source.file("KORA1.ZIP");
    ZipBuilder::write(path, {{"KORA.HLP", std::string(4 << 20, 'h')}});
    if (GetParam().understated)
        ZipBuilder::declareSize(path, "KORA.HLP", 1000);
    rlimit limit;
    limit.rlim_cur = limit.rlim_max = 1 << 20;
    EXPECT_EXIT(
        {
            std::signal(SIGXFSZ, SIG_IGN);
            setrlimit(RLIMIT_FSIZE, &limit);
            const auto ending = run();
            std::cerr << prompt.told.back();
            _exit(ending == SelfUpgrade::Ending::NothingInstalled ? 1 : 0);
        },
        ::testing::ExitedWithCode(1), GetParam().message);
    EXPECT_EQ(programFiles(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Members, WriteLimitTest,
    ::testing::Values(Limit{"FileSizeLimit", false,
                            "^KORA.HLP could not be written into the KORA program folder \\(File "
                            "too large\\)\\. Nothing of KORA1.ZIP was installed\\.$"},
                      Limit{"InflatesPastItsSize", true,
                            "^The member KORA.HLP of KORA1.ZIP is damaged \\(more data than its "
                            "declared size of 1000 bytes\\)"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kora
