#include "base/Prompt.h"
#include "base/StateCodes.h"
#include "database/Installation.h"
#include "safekeeping/PendingRestore.h"
#include "safekeeping/SafekeepingFolder.h"
#include "safekeeping/UserDataBackup.h"
#include "support/HolderProcess.h"
#include "upgrade/SelfUpgrade.h"
#include "upgrade/ZipBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kora::test {
namespace {

struct QuietUpgrade : Prompt, UpgradeProgress
{
    void tell(const std::string& text, const std::string&, Icon) override { told.push_back(text); }
    bool ask(const std::string&, const std::string&, Icon) override { return false; }
    void startWork() override {}
    void status(const std::string&) override {}
    void hideStatus() override {}
    void bars(int, int) override {}
    std::vector<std::string> told;
};

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
        SelfUpgrade run(installed.path(), quiet, quiet, [&](const std::string& state) {
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
                PendingRestore::run(installed.path(), "PA", SafekeepingFolder::kConnect, quiet));
        }
        return installed.note(keys[n]);
    }

    SafekeepingFolder installed;
    std::vector<std::pair<std::string, std::string>> keys;
    TempFolder source;
    QuietUpgrade quiet;
};

TEST_F(StateReplacementTest, NotesOfACrashedUserAndOfAWaitingRestoreSurviveTwoUpgrades)
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

    EXPECT_EQ(upgrade(), SelfUpgrade::Ending::Restart);
    EXPECT_EQ(upgrade(), SelfUpgrade::Ending::Restart);
    EXPECT_EQ(quiet.told, std::vector<std::string>(2, SelfUpgrade::kRestart));
    for (int n = 0; n < 3; ++n)
        EXPECT_EQ(noteAfterRestore(n), Value("note " + std::to_string(n)));
    EXPECT_EQ(noteAfterRestore(9), Value("in the journal"));
}

TEST_F(StateReplacementTest, AUserOpeningTheStateDuringTheUpgradeIsTurnedAway)
{
    std::string lateUser;
    EXPECT_EQ(upgrade([&] {
                  HolderProcess other(installed.statePath(), SafekeepingFolder::kConnect,
                                      keys[0].first, keys[0].second);
                  lateUser = other.readLine();
              }),
              SelfUpgrade::Ending::Restart);
    EXPECT_EQ(lateUser, "KORAPA.MDB is being replaced by an update of KORA just now: open it "
                        "again when the update has finished.");
    EXPECT_EQ(noteAfterRestore(2), Value("note 2"));
    HolderProcess after(installed.statePath(), SafekeepingFolder::kConnect, keys[0].first,
                        keys[0].second);
    EXPECT_EQ(after.readLine(), "held");
}

} // namespace
} // namespace kora::test
