#include "upgrade/SelfUpgrade.h"
#include "base/StateCodes.h"
#include "database/ConnectString.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "database/QueryRecordSet.h"
#include "database/Schema.h"
#include "safekeeping/PendingRestore.h"
#include "safekeeping/SafekeepingFolder.h"
#include "safekeeping/UserDataBackup.h"
#include "support/HolderProcess.h"
#include "support/RecordingPrompt.h"
#include "support/TempFolder.h"
#include "support/TestServer.h"
#include "support/WriteFailure.h"
#include "upgrade/StateNotesBackup.h"
#include "upgrade/ZipBuilder.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kora::test {
namespace {

using Texts = std::vector<std::string>;

struct RecordedProgress : UpgradeProgress
{
    void startWork() override { ++started; }
    void status(const std::string& text) override { statuses.push_back(text); }
    void hideStatus() override { statuses.push_back("<hidden>"); }
    void bars(int member, int archive) override { lastBars = {member, archive}; }
    int started = 0;
    Texts statuses;
    std::pair<int, int> lastBars;
};

// A program folder with installed files, a source folder for the archives and
// a backup routine that records the states it saved (or fails when told).
class SelfUpgradeTest : public ::testing::Test
{
public:
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

    TempFolder program;
    TempFolder source;
    TempFolder supplier;
    RecordingPrompt prompt;
    RecordedProgress progress;
    Texts saved;
    bool backupFails = false;
    bool failed = false;
};

TEST_F(SelfUpgradeTest, StateDatabaseSavesNotesReplacesTheFileAndEndsTheProgram)
{
    const std::string pa = delivered("PA");
    ZipBuilder::write(source.file("KORA1.ZIP"),
                      {{"KORAPA.MDB", pa}, {"KORAI.MDB", "new setup"}, {"KORA.HLP", "new help"}});
    EXPECT_EQ(run(), SelfUpgrade::Ending::Restart);

    EXPECT_EQ(saved, Texts{"PA"});
    EXPECT_EQ(fileBytes(program.file("KORAPA.MDB")), pa);
    EXPECT_EQ(fileBytes(program.file("KORAI.MDB")), "new setup");
    EXPECT_EQ(fileBytes(program.file("KORA.HLP")), "new help");
    EXPECT_EQ(fileBytes(program.file("KORANJ.MDB")), "installed NJ");
    EXPECT_EQ(fileBytes(program.file("RESTPA.DAT")), " \r\n");
    EXPECT_FALSE(fs::exists(program.file("RESTNJ.DAT")));
    EXPECT_EQ(progress.started, 1);
    EXPECT_EQ(progress.statuses, (Texts{"Updating... please wait", "Saving PA User Notes & Fields",
                                        "Loading New DataBase Parameters", "Loading New Database",
                                        "KORAPA.MDB  1 of  3", "KORAI.MDB  2 of  3",
                                        "KORA.HLP  3 of  3", " ", "<hidden>"}));
    EXPECT_EQ(progress.lastBars, std::make_pair(100, 100));
    EXPECT_EQ(prompt.toldTexts(), Texts{"Upgrade complete.  Restart KORA to activate changes!"});
    EXPECT_FALSE(failed);
}

// Archives install in name order and the last one decides the ending: with
// no database in it the state is chosen again. An archive that fails leaves
// the others installed. Program files, folders and their Unix permissions
// come through.
TEST_F(SelfUpgradeTest, ArchivesInstallInNameOrderAndTheLastOneDecides)
{
    ZipBuilder::write(source.file("KORA2.ZIP"), {{"KORA.HLP", "help of 2"},
                                                 {"INITIAL/NEW.KRD", "lookup"},
                                                 {"docs/", ""},
                                                 {"kora", "#!/bin/sh\n", S_IFREG | 0755},
                                                 {"plain.txt", "text"}});
    writeFile(source.file("KORA3.ZIP"), "not a zip file at all");
    const std::string nj = delivered("NJ");
    // DE is not installed yet: it has no notes to save.
    const std::string de = delivered("DE");
    ZipBuilder::write(source.file("KORA1.ZIP"),
                      {{"KORANJ.MDB", nj}, {"KORADE.MDB", de}, {"KORA.HLP", "help of 1"}});
    EXPECT_EQ(run(), SelfUpgrade::Ending::SelectState);
    EXPECT_EQ(fileBytes(program.file("KORA.HLP")), "help of 2");
    EXPECT_EQ(fileBytes(program.file("INITIAL/NEW.KRD")), "lookup");
    EXPECT_TRUE(fs::is_directory(program.file("docs")));
    EXPECT_EQ(fs::status(program.file("kora")).permissions() & fs::perms::owner_exec,
              fs::perms::owner_exec);
    EXPECT_EQ(fs::status(program.file("plain.txt")).permissions() & fs::perms::all,
              fs::perms(0644));
    EXPECT_EQ(fileBytes(program.file("KORANJ.MDB")), nj);
    EXPECT_EQ(fileBytes(program.file("KORADE.MDB")), de);
    EXPECT_EQ(fileBytes(program.file("RESTNJ.DAT")), " \r\n");
    EXPECT_FALSE(fs::exists(program.file("RESTDE.DAT")));
    EXPECT_FALSE(fs::exists(program.file("RESTPA.DAT")));
    EXPECT_EQ(saved, Texts{"NJ"});
    EXPECT_EQ(prompt.toldTexts(), (Texts{UpgradeArchive::errorMessage(ZIP_ER_NOZIP),
                                         "Upgrade complete.  Select State!"}));
    EXPECT_TRUE(failed);
}

// An archive KORA1.ZIP that is refused: its members, what spoils it after it
// is written, the start of the one message told and the states whose notes
// were saved before the refusal.
struct Refusal
{
    const char* name;
    std::vector<ZipBuilder::Member> members;
    std::string message;
    void (*spoil)(SelfUpgradeTest& test, const std::string& archive) = nullptr;
    Texts saved = {};
    // Unpacked under a file-size limit, as on a full disk.
    bool sizeLimit = false;
};

class RefusedArchiveTest : public SelfUpgradeTest, public ::testing::WithParamInterface<Refusal>
{
};

// Nothing of the archive is written, in the program folder or beside it, and
// no scratch file is left.
TEST_P(RefusedArchiveTest, InstallsNothingAndSaysWhy)
{
    const Refusal& refusal = GetParam();
    fs::create_directories(program.file("INITIAL"));
    fs::create_symlink(source.path(), program.file("outside"));
    const std::string archive = source.file("KORA1.ZIP");
    ZipBuilder::write(archive, refusal.members);
    if (refusal.spoil)
        refusal.spoil(*this, archive);
    const auto before = programFiles();

    {
        const FileSizeLimit limit(refusal.sizeLimit ? 1 << 20 : RLIM_INFINITY);
        EXPECT_EQ(run(), SelfUpgrade::Ending::NothingInstalled);
    }
    EXPECT_TRUE(failed);
    EXPECT_EQ(saved, refusal.saved);
    ASSERT_EQ(prompt.told.size(), 1u);
    EXPECT_EQ(prompt.told[0].first.substr(0, refusal.message.size()), refusal.message);
    EXPECT_EQ(programFiles(), before);
    const auto beside = fs::path(program.path()).parent_path().parent_path();
    for (const char* planted : {"evil", "y", "..\\evil"}) {
        EXPECT_FALSE(fs::exists(beside / planted)) << planted;
        EXPECT_FALSE(fs::exists(beside.parent_path() / planted)) << planted;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(source.path()), {}), 1);
    EXPECT_FALSE(fs::exists("/tmp/x-kora-upgrade-test"));
}

std::string outside(const std::string& member)
{
    return "The update KORA1.ZIP holds the member " + member +
           ", which would be written outside the KORA program folder. Nothing of KORA1.ZIP was "
           "installed.";
}

std::vector<ZipBuilder::Member> between(const ZipBuilder::Member& hostile)
{
    return {{"KORA.HLP", "new help"}, hostile, {"KORAPA.MDB", "new PA"}};
}

const std::vector<ZipBuilder::Member> kLargeMembers = {{"KORA.HLP", std::string(5000, 'h')},
                                                       {"KORAPA.MDB", std::string(5000, 'p')}};

std::string wontBecomePa(const std::string& reason)
{
    return "The update KORA1.ZIP holds the member KORAPA.MDB, which cannot become the PA "
           "database: " +
           reason;
}

INSTANTIATE_TEST_SUITE_P(
    Archives, RefusedArchiveTest,
    ::testing::Values(
        Refusal{"Parent", between({"../evil", "x"}), outside("../evil")},
        Refusal{"Absolute", between({"/tmp/x-kora-upgrade-test", "x"}),
                outside("/tmp/x-kora-upgrade-test")},
        Refusal{"ParentInside", between({"a/../../y", "x"}), outside("a/../../y")},
        Refusal{"Drive", between({"C:evil", "x"}), outside("C:evil")},
        Refusal{"Backslashes", between({"..\\evil", "x"}), outside("..\\evil")},
        Refusal{"BackslashesInside", between({"INITIAL\\..\\..\\evil", "x"}),
                outside("INITIAL\\..\\..\\evil")},
        Refusal{"ThroughALinkedFolder", between({"outside/planted", "x"}),
                outside("outside/planted")},
        Refusal{"SymbolicLink", between({"INITIAL/link", "/etc/passwd", S_IFLNK | 0777}),
                outside("INITIAL/link")},
        Refusal{"Journal", between({"KORAPA.MDB-wal", "x"}),
                "The update KORA1.ZIP holds the member KORAPA.MDB-wal, the journal of a database, "
                "which would be played into that database when it is next opened. Nothing of "
                "KORA1.ZIP was installed."},
        Refusal{"FailingBackup", between({"INITIAL/NEW.KRD", "x"}),
                "The PA user notes and fields could not be saved (BACKUPPA.MDB is read-only). "
                "Nothing of KORA1.ZIP was installed. KORAPA.MDB stays as it was.",
                [](SelfUpgradeTest& test, const std::string&) { test.backupFails = true; }},
        // One that cannot be read at all gives libzip's error number.
        Refusal{"Truncated", kLargeMembers, UpgradeArchive::errorMessage(ZIP_ER_NOZIP),
                [](SelfUpgradeTest&, const std::string& archive) {
                    fs::resize_file(archive, fs::file_size(archive) / 2);
                }},
        // Stored bytes of the second member flipped, the directory whole.
        Refusal{"CorruptData",
                kLargeMembers,
                "The member KORAPA.MDB of KORA1.ZIP is damaged (Zlib error",
                [](SelfUpgradeTest&, const std::string& archive) {
                    std::string bytes = fileBytes(archive);
                    const size_t second = bytes.find("KORAPA.MDB");
                    for (size_t i = second + 20; i < second + 30; ++i)
                        bytes[i] = static_cast<char>(bytes[i] ^ 0x5a);
                    writeFile(archive, bytes);
                },
                {"PA"}},
        Refusal{"AnotherStatesDatabase",
                {},
                wontBecomePa("it does not open with the password of the PA database"),
                [](SelfUpgradeTest& test, const std::string& archive) {
                    ZipBuilder::write(archive, {{"KORAPA.MDB", test.delivered("NJ")}});
                },
                {"PA"}},
        // The pages after the first two overwritten with garbage.
        Refusal{"DamagedDatabase",
                {},
                wontBecomePa("it is damaged ("),
                [](SelfUpgradeTest& test, const std::string& archive) {
                    std::string bytes = test.delivered("PA");
                    for (size_t i = 2 * 4096; i < bytes.size(); ++i)
                        bytes[i] = static_cast<char>(i * 7);
                    ZipBuilder::write(archive, {{"KORAPA.MDB", bytes}});
                },
                {"PA"}},
        // A member larger than the limit fails as a full disk would.
        Refusal{"FileSizeLimit",
                {{"KORA.HLP", std::string(4 << 20, 'h')}},
                "KORA.HLP could not be written into the KORA program folder (File too large). "
                "Nothing of KORA1.ZIP was installed.",
                nullptr,
                {},
                true},
        // A member that inflates past its declared size stops there.
        Refusal{"InflatesPastItsSize",
                {{"KORA.HLP", std::string(4 << 20, 'h')}},
                "The member KORA.HLP of KORA1.ZIP is damaged (more data than its declared size "
                "of 1000 bytes)",
                [](SelfUpgradeTest&, const std::string& archive) {
                    ZipBuilder::declareSize(archive, "KORA.HLP", 1000);
                },
                {},
                true}),
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

// A state database built by another installation replaces the installed one
// once no one has that open, and opens here with the password drawn at random
// that this installation keeps for the state.
TEST_F(SelfUpgradeTest, ADeliveredDatabaseWaitsForItsUsersAndTakesThePasswordOfTheInstallation)
{
    Installation installation(program.path());
    installation.create(true);
    const std::string connect = ";PWD=dr4wnAtRandom";
    Database(program.file("KORAI.MDB"), std::string(kSetupConnect))
        .execute("UPDATE Setup SET pwd = '" + connect + "' WHERE State = 'PA'");
    const std::string path = program.file("KORAPA.MDB");
    fs::remove(path);
    Schema::createStateDatabase(path, connect, "PA");
    ZipBuilder::write(source.file("KORA1.ZIP"), {{"KORAPA.MDB", delivered("PA")}});
    {
        Database other(path, connect);
        Statement read = other.prepare("SELECT COUNT(*) FROM VERSION");
        ASSERT_TRUE(read.step());
        EXPECT_EQ(run(), SelfUpgrade::Ending::NothingInstalled);
        EXPECT_TRUE(saved.empty());
        // The other user goes on working on the installed file.
        Statement again = other.prepare("SELECT COUNT(*) FROM VERSION");
        EXPECT_TRUE(again.step());
    }
    EXPECT_EQ(run(), SelfUpgrade::Ending::Restart);
    EXPECT_EQ(saved, Texts{"PA"});
    EXPECT_EQ(fileBytes(program.file("RESTPA.DAT")), " \r\n");
    EXPECT_EQ(installation.stateConnect("PA"), connect);
    Database pa(path, connect);
    EXPECT_EQ(
        QueryRecordSet(pa, "SELECT * FROM NOTES WHERE NOTES = 'from the supplier'").recordCount(),
        1);
}

// A PA installation whose first companies carry notes, and a delivery of a
// new PA database holding the same companies without notes.
class StateReplacementTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        installed.load(10);
        for (int n = 0; n < 10; ++n)
            keys.push_back(installed.company(n));
        for (int n = 0; n < 3; ++n)
            installed.setNote(keys[n], "note " + std::to_string(n));
        // The installation's setup gives PA the password its database has.
        TempFolder setup;
        Installation(setup.path()).create(false);
        fs::copy_file(setup.file(std::string(kSetupDatabaseName)),
                      installed.path() + "/" + std::string(kSetupDatabaseName));
        Database(installed.path() + "/" + std::string(kSetupDatabaseName),
                 std::string(kSetupConnect))
            .prepare("UPDATE Setup SET pwd = ? WHERE State = 'PA'")
            .bindAll({Value(SafekeepingFolder::kConnect)})
            .run();
        SafekeepingFolder delivered;
        delivered.load(10);
        delivered.db().execute("VACUUM INTO '" + source.file("new.MDB") + "'");
        ZipBuilder::write(source.file("KORA1.ZIP"),
                          {{"KORAPA.MDB", fileBytes(source.file("new.MDB"))}});
        fs::remove(source.file("new.MDB"));
        installed.db().close();
    }

    // Upgrades the installation from the delivery, with whileSaving run after
    // the upgrade has saved the notes.
    SelfUpgrade::Ending upgrade(const std::function<void()>& whileSaving = {})
    {
        SelfUpgrade run(installed.path(), prompt, progress, [&](const std::string& state) {
            UserDataBackup::run(installed.path(), state, SafekeepingFolder::kConnect);
            if (whileSaving)
                whileSaving();
        });
        return run.run(source.path());
    }

    // Chooses the state again, as the workspace window does, and gives the
    // note of the n-th company.
    Value noteAfterRestore(int n)
    {
        if (!installed.db().isOpen()) {
            installed.db().open(installed.statePath(), SafekeepingFolder::kConnect);
            EXPECT_TRUE(
                PendingRestore::run(installed.path(), "PA", SafekeepingFolder::kConnect, prompt));
        }
        return installed.note(keys[n]);
    }

    SafekeepingFolder installed;
    std::vector<std::pair<std::string, std::string>> keys;
    TempFolder source;
    RecordingPrompt prompt;
    RecordedProgress progress;
};

// Notes of a user whose program crashed and notes waiting for a restore
// survive two upgrades; a user opening the state while one runs is turned away.
TEST_F(StateReplacementTest, NotesSurviveTwoUpgradesAndALateUserIsTurnedAway)
{
    // A user's program ends without closing the database: its last note is
    // only in the journal beside it.
    const pid_t user = fork();
    if (user == 0) {
        Database db(installed.statePath(), SafekeepingFolder::kConnect);
        db.prepare("UPDATE NOTES SET NOTES = 'in the journal' WHERE FILE = ? AND SEQUENCE = ?")
            .bindAll({keys[9].first, keys[9].second})
            .run();
        _exit(0);
    }
    waitpid(user, nullptr, 0);
    ASSERT_TRUE(fs::exists(installed.statePath() + "-wal"));

    std::string lateUser;
    EXPECT_EQ(upgrade([&] {
                  HolderProcess other(installed.statePath(), SafekeepingFolder::kConnect,
                                      keys[0].first, keys[0].second);
                  lateUser = other.readLine();
              }),
              SelfUpgrade::Ending::Restart);
    EXPECT_EQ(lateUser, "KORAPA.MDB is being replaced by an update of KORA just now: open it "
                        "again when the update has finished.");
    EXPECT_EQ(upgrade(), SelfUpgrade::Ending::Restart);
    EXPECT_EQ(prompt.toldTexts(), Texts(2, SelfUpgrade::kRestart));
    for (int n = 0; n < 3; ++n)
        EXPECT_EQ(noteAfterRestore(n), Value("note " + std::to_string(n)));
    EXPECT_EQ(noteAfterRestore(9), Value("in the journal"));
    HolderProcess after(installed.statePath(), SafekeepingFolder::kConnect, keys[0].first,
                        keys[0].second);
    EXPECT_EQ(after.readLine(), "held");
}

// A delivered database of a state on a server: its notes are saved from the
// server, its rows go into the server in place of the old ones, no file is
// renamed into the folder, a delivered setup keeps the state on the server,
// and the pending restore brings the notes back there.
TEST(ServerUpgrade, DeliveredRowsGoIntoTheServerAndTheNotesComeBack)
{
    KORA_SKIP_WITHOUT_SERVER();
    SafekeepingFolder installed("PA", Engine::Server);
    installed.load(10);
    std::vector<SafekeepingFolder::Key> keys;
    for (int n = 0; n < 3; ++n) {
        keys.push_back(installed.company(n));
        installed.setNote(keys[n], "note " + std::to_string(n));
    }
    TempFolder setup;
    Installation(setup.path()).create(false);
    const std::string setupPath = setup.file(std::string(kSetupDatabaseName));
    const std::string installedSetup = installed.path() + "/" + std::string(kSetupDatabaseName);
    fs::copy_file(setupPath, installedSetup);
    Database(installedSetup, std::string(kSetupConnect))
        .prepare("UPDATE Setup SET pwd = ? WHERE State = 'PA'")
        .bindAll({Value(installed.connect())})
        .run();

    SafekeepingFolder delivered;
    delivered.load(10);
    delivered.setFields(keys[1], {{"NAME1", Value("AS DELIVERED")}});
    // The supplier's file opens with the state's own connect string.
    delivered.db().changePassword(stateConnectOf("PA"));
    TempFolder source;
    delivered.db().execute("VACUUM INTO '" + source.file("new.MDB") + "'");
    ZipBuilder::write(source.file("KORA1.ZIP"), {{"KORAPA.MDB", fileBytes(source.file("new.MDB"))},
                                                 {"KORAI.MDB", fileBytes(setupPath)}});
    fs::remove(source.file("new.MDB"));

    RecordingPrompt prompt;
    RecordedProgress progress;
    SelfUpgrade upgrade(installed.path(), prompt, progress, stateNotesBackup(installed.path()));
    EXPECT_EQ(upgrade.run(source.path()), SelfUpgrade::Ending::Restart);
    EXPECT_EQ(prompt.toldTexts(), Texts{SelfUpgrade::kRestart});
    EXPECT_EQ(installed.fields(keys[1], "NAME1"), "AS DELIVERED");
    EXPECT_NE(installed.note(keys[0]), Value("note 0"));
    EXPECT_FALSE(fs::exists(installed.path() + "/KORAPA.MDB"));
    EXPECT_TRUE(fs::exists(installed.path() + "/RESTPA.DAT"));
    EXPECT_EQ(Installation(installed.path()).stateConnect("PA"), installed.connect());
    EXPECT_NE(std::find(progress.statuses.begin(), progress.statuses.end(),
                        "Copying KORAPA.MDB to the server"),
              progress.statuses.end());

    EXPECT_TRUE(PendingRestore::run(installed.path(), "PA", installed.connect(), prompt));
    for (int n = 0; n < 3; ++n)
        EXPECT_EQ(installed.note(keys[n]), Value("note " + std::to_string(n)));
}

} // namespace
} // namespace kora::test
