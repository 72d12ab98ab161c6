#include "upgrade/SelfUpgrade.h"
#include "base/Prompt.h"
#include "database/Database.h"
#include "database/Schema.h"
#include "support/TempFolder.h"
#include "upgrade/ZipBuilder.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>

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

    SelfUpgrade::Ending run()
    {
        SelfUpgrade upgrade(program.path(), prompt, progress, [this](const std::string& state) {
            if (backupFails)
                throw std::runtime_error("BACKUP" + state + ".MDB is read-only");
            saved.push_back(state);
        });
        const auto ending = upgrade.run(source.path());
        failed = upgrade.hadFailure();
        return ending;
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
    RecordedPrompt prompt;
    RecordedProgress progress;
    std::vector<std::string> saved;
    bool backupFails = false;
    bool failed = false;
};

TEST_F(SelfUpgradeTest, StateDatabaseSavesNotesReplacesTheFileAndEndsTheProgram)
{
    ZipBuilder::write(
        source.file("KORA1.ZIP"),
        {{"KORAPA.MDB", "new PA"}, {"KORAI.MDB", "new setup"}, {"KORA.HLP", "new help"}});
    EXPECT_EQ(run(), SelfUpgrade::Ending::Restart);

    EXPECT_EQ(saved, std::vector<std::string>{"PA"});
    EXPECT_EQ(fileBytes(program.file("KORAPA.MDB")), "new PA");
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
    ZipBuilder::write(source.file("KORA1.ZIP"),
                      {{"KORANJ.MDB", "new NJ"}, {"KORA.HLP", "help of 1"}});
    EXPECT_EQ(run(), SelfUpgrade::Ending::SelectState);
    EXPECT_EQ(fileBytes(program.file("KORA.HLP")), "help of 2");
    EXPECT_EQ(fileBytes(program.file("KORANJ.MDB")), "new NJ");
    EXPECT_EQ(fileBytes(program.file("RESTNJ.DAT")), " \r\n");
    EXPECT_EQ(saved, std::vector<std::string>{"NJ"});
}

TEST_F(SelfUpgradeTest, AStateNotInstalledYetHasNoNotesToSave)
{
    ZipBuilder::write(source.file("KORA1.ZIP"), {{"KORADE.MDB", "new DE"}});
    EXPECT_EQ(run(), SelfUpgrade::Ending::Restart);
    EXPECT_TRUE(saved.empty());
    EXPECT_EQ(fileBytes(program.file("KORADE.MDB")), "new DE");
    EXPECT_FALSE(fs::exists(program.file("RESTDE.DAT")));
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
    ZipBuilder::write(source.file("KORA1.ZIP"), {{"KORAPA.MDB", "new PA"}});
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
    EXPECT_EQ(fileBytes(path), "new PA");
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
                                           ZipBuilder::link("INITIAL/link", "/etc/passwd")),
                         [](const auto& info) { return "Member" + std::to_string(info.index); });

// Damaged archives change no installed file, leave no scratch file and give
// the error message with libzip's error number.
struct Damage
{
    const char* name;
    void (*apply)(const std::string& path);
    int code;
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
    EXPECT_EQ(prompt.told.back(), UpgradeArchive::errorMessage(GetParam().code));
    EXPECT_NE(
        prompt.told.back().find("Technical Support. (" + std::to_string(GetParam().code) + ")"),
        std::string::npos);
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

INSTANTIATE_TEST_SUITE_P(Archives, DamagedArchiveTest,
                         ::testing::Values(Damage{"Truncated", truncate, ZIP_ER_NOZIP},
                                           Damage{"NotAZip", notAZip, ZIP_ER_NOZIP},
                                           Damage{"CorruptData", corruptData, ZIP_ER_ZLIB}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kora
