#include "SafekeepingFolder.h"

#include "base/Dates.h"
#include "database/DbError.h"
#include "safekeeping/NotesSafekeeping.h"
#include "safekeeping/PendingRestore.h"
#include "safekeeping/UserDataBackup.h"
#include "safekeeping/UserDataRestore.h"
#include "support/HolderProcess.h"
#include "support/RecordingPrompt.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kora::test {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using Mode = UserDataRestore::Mode;
constexpr const char* kConnect = SafekeepingFolder::kConnect;

UserDataCounts backUp(SafekeepingFolder& folder)
{
    return UserDataBackup::run(folder.path(), "PA", folder.connect());
}

UserDataCounts restore(SafekeepingFolder& folder, Mode mode = Mode::Restore)
{
    return UserDataRestore::run(mode, folder.statePath(), folder.connect(), folder.backupPath());
}

// Whether a scratch file of a backup is left beside it.
bool scratchLeft(const SafekeepingFolder& folder)
{
    for (const auto& entry : fs::directory_iterator(folder.path()))
        if (entry.path().filename().string().starts_with("BACKUPPA.MDB.new"))
            return true;
    return false;
}

// "FILE|SEQUENCE|" of a company, as a backup row begins.
std::string keyOf(const SafekeepingFolder::Key& key)
{
    return key.first + "|" + key.second + "|";
}

// Backup, restore and merge, run on a state in a file and on the server.
class Safekeeping : public EngineTest<SafekeepingFolder>
{
};

class SafekeepingAfterALoad : public EngineTest<SafekeepingFolder>
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (!IsSkipped())
            data().load(20);
    }
};

TEST_P(Safekeeping, BackupSavesFilledNotesAndCompaniesWithAnyUserField)
{
    SafekeepingFolder& folder = data();
    folder.load(12);
    // A fresh load leaves single blanks in the notes and user fields: none are the user's.
    // The missing backup database is made, with its version row.
    fs::remove(folder.backupPath());
    const UserDataCounts fresh = backUp(folder);
    EXPECT_EQ(fresh.notes + fresh.fields, 0);
    EXPECT_EQ(folder.backupRows("USER"), Strings{});
    EXPECT_EQ(folder.backupRows("VERSION"), Strings{"1|" + Dates::today()});
    EXPECT_FALSE(scratchLeft(folder));

    const auto a = folder.company(0), b = folder.company(1), c = folder.company(2),
               d = folder.company(3), e = folder.company(4);
    folder.setNote(a, "Called 01/02/25");
    folder.setNote(b, "   ");
    folder.setNote(c, Value());
    folder.setNote(d, "  indented\r\nsecond line");
    folder.setFields(a, {{"UserFax", "215-555-0100"}});
    folder.setFields(b, {{"User1", "  "}, {"User2", " "}, {"UserTitle", "   "}});
    folder.setFields(c, {{"Omit", "Y"}});
    folder.setFields(e, {{"User1", "!&"}, {"User2", "1 Main St"}, {"User3", "Media PA 19063"}});

    const UserDataCounts counts = backUp(folder);
    EXPECT_EQ(counts.notes, 2);
    EXPECT_EQ(counts.fields, 3);
    EXPECT_EQ(folder.backupRows("NOTES"),
              (Strings{keyOf(a) + "Called 01/02/25", keyOf(d) + "  indented\r\nsecond line"}));
    EXPECT_EQ(folder.backupRows("USER"),
              (Strings{keyOf(a) + " | | |NULL|215-555-0100|NULL|NULL| ",
                       keyOf(c) + " | | |NULL|NULL|NULL|NULL|Y",
                       keyOf(e) + "!&|1 Main St|Media PA 19063|NULL|NULL|NULL|NULL| "}));

    // The next backup replaces the rows: one generation only.
    folder.setNote(d, " ");
    folder.setFields(a, {{"UserFax", Value()}});
    const UserDataCounts again = backUp(folder);
    EXPECT_EQ(again.notes, 1);
    EXPECT_EQ(again.fields, 2);
    EXPECT_EQ(folder.backupRows("NOTES"), Strings{keyOf(a) + "Called 01/02/25"});
}

TEST(UserDataBackup, FailedBackupLeavesThePreviousFileByteForByte)
{
    SafekeepingFolder folder;
    folder.load(10);
    for (int n = 0; n < 6; ++n)
        folder.setNote(folder.company(n), "note " + std::to_string(n));
    ASSERT_EQ(backUp(folder).notes, 6);
    const std::string before = fileBytes(folder.backupPath());

    // The state database cannot be opened.
    for (int n = 0; n < 6; ++n)
        folder.setNote(folder.company(n), "changed");
    EXPECT_THROW(UserDataBackup::run(folder.path(), "PA", ";PWD=wrong"), DbError);
    EXPECT_EQ(fileBytes(folder.backupPath()), before);

    // A write fails after half the notes.
    Database(folder.backupPath(), "")
        .execute("CREATE TRIGGER fault BEFORE INSERT ON NOTES WHEN (SELECT COUNT(*) FROM NOTES) "
                 ">= 3 BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    const std::string withTrigger = fileBytes(folder.backupPath());
    EXPECT_THROW(backUp(folder), DbError);
    EXPECT_EQ(fileBytes(folder.backupPath()), withTrigger);
    EXPECT_FALSE(scratchLeft(folder));
}

TEST_P(Safekeeping, ASecondBackupOfTheStateWhileOneRunsIsRefused)
{
    SafekeepingFolder& folder = data();
    folder.load(10);
    const auto first = folder.company(0);
    folder.setNote(first, "first");
    std::string secondFailure;
    const UserDataCounts counts = UserDataBackup::run(folder.path(), "PA", folder.connect(), [&] {
        // Another user's backup, on connections of its own, meanwhile.
        folder.setNote(folder.company(1), "second");
        try {
            backUp(folder);
        } catch (const std::runtime_error& failure) {
            secondFailure = failure.what();
        }
    });

    EXPECT_EQ(counts.notes, 1);
    EXPECT_EQ(secondFailure, "another backup of the PA user notes and fields is being made just "
                             "now; try again when it has finished");
    EXPECT_EQ(folder.backupRows("NOTES"), Strings{keyOf(first) + "first"});
    EXPECT_FALSE(scratchLeft(folder));
    EXPECT_EQ(backUp(folder).notes, 2);
}

TEST_P(SafekeepingAfterALoad, RestoreBringsBackNotesFieldsAndTheOverriddenAddress)
{
    SafekeepingFolder& folder = data();
    const auto plain = folder.company(2), moved = folder.company(5), noted = folder.company(7),
               short_ = folder.company(1), dropped = folder.company(19);
    folder.setNote(noted, "Renewal in March");
    folder.setNote(dropped, "gone");
    folder.setFields(plain, {{"UserPhone", "610-555-0101"}, {"Omit", "Y"}});
    folder.setFields(moved, {{"User1", "!&"},
                             {"User2", "12 Oak Lane"},
                             {"User3", "Bryn Mawr PA 19010-3301"},
                             {"UserContact", "J. Ruiz"}});
    folder.setFields(short_,
                     {{"User1", "!&"}, {"User2", "9 Elm St"}, {"User3", "Lancaster 17601"}});
    folder.setFields(dropped, {{"User1", "gone too"}});
    backUp(folder);

    // The next delivery: user fields and addresses come back as delivered, a note changed
    // since, a company dropped (its notes row left behind).
    folder.load(20);
    ASSERT_EQ(folder.fields(plain, "UserPhone, Omit"), "NULL| ");
    ASSERT_NE(folder.fields(moved, "STREET"), "12 Oak Lane");
    folder.setNote(noted, "typed after the backup");
    folder.db().execute("DELETE FROM PRIME WHERE FILE = '" + dropped.first + "' AND SEQUENCE = '" +
                        dropped.second + "'");
    folder.setNote(dropped, " ");

    const UserDataCounts counts = restore(folder);
    EXPECT_EQ(UserDataRestore::message(UserDataRestore::Mode::Restore, counts, "/p/BACKUPPA.MDB"),
              "1 User Notes and 3 Fields Restored From /p/BACKUPPA.MDB");
    EXPECT_EQ(folder.note(noted), Value("Renewal in March"));
    EXPECT_EQ(folder.note(dropped), Value(" "));
    EXPECT_EQ(folder.fields(plain, "UserPhone, Omit"), "610-555-0101|Y");
    const std::string address = "UserContact, STREET, CITY, ST, ZIP, ZIPEXT";
    EXPECT_EQ(folder.fields(moved, address), "J. Ruiz|12 Oak Lane|Bryn Mawr|PA|19010|3301");
    EXPECT_EQ(folder.fields(short_, address), "NULL|9 Elm St|Lancaster|NULL|17601|NULL");
}

TEST_P(SafekeepingAfterALoad, MergeAppendsTheBackupNoteAfterTheCurrentOneOnce)
{
    SafekeepingFolder& folder = data();
    const auto blank = folder.company(0), typed = folder.company(1), empty = folder.company(2);
    folder.setNote(blank, "from backup");
    folder.setNote(typed, "older");
    folder.setNote(empty, "saved");
    folder.setFields(typed, {{"UserTitle", "Owner"}});
    backUp(folder);
    folder.setNote(blank, " ");
    folder.setNote(typed, "newer");
    folder.setNote(empty, Value());
    folder.setFields(typed, {{"UserTitle", "Manager"}});

    const UserDataCounts counts = restore(folder, Mode::Merge);
    EXPECT_EQ(counts.notes, 3);
    EXPECT_EQ(counts.fields, 1);
    EXPECT_EQ(folder.note(blank), Value(" \r\nfrom backup"));
    EXPECT_EQ(folder.note(typed), Value("newer\r\nolder"));
    EXPECT_EQ(folder.note(empty), Value("saved"));
    // The backup wins for the user fields.
    EXPECT_EQ(folder.fields(typed, "UserTitle"), "Owner");

    // The same backup merged again adds nothing; a note changed since gets it again.
    folder.setNote(empty, "retyped");
    EXPECT_EQ(restore(folder, Mode::Merge).notes, 3);
    EXPECT_EQ(folder.note(typed), Value("newer\r\nolder"));
    EXPECT_EQ(folder.note(blank), Value(" \r\nfrom backup"));
    EXPECT_EQ(folder.note(empty), Value("retyped\r\nsaved"));
}

TEST_P(SafekeepingAfterALoad, AFailureMidwayChangesNothing)
{
    SafekeepingFolder& folder = data();
    std::vector<SafekeepingFolder::Key> keys;
    for (int n = 0; n < 8; ++n) {
        keys.push_back(folder.company(n));
        folder.setNote(keys.back(), "saved " + std::to_string(n));
        folder.setFields(keys.back(), {{"User2", "saved"}});
    }
    backUp(folder);
    for (const auto& key : keys) {
        folder.setNote(key, "current");
        folder.setFields(key, {{"User2", "current"}});
    }
    // The user fields of the fifth company cannot be written.
    if (GetParam() == Engine::File)
        folder.db().execute(
            "CREATE TRIGGER fault BEFORE UPDATE OF User2 ON PRIME WHEN OLD.FILE = '" +
            keys[4].first + "' BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END");
    else
        folder.db().execute("CREATE FUNCTION fault() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN "
                            "IF OLD.file = '" +
                            keys[4].first +
                            "' THEN RAISE EXCEPTION 'disk I/O "
                            "error'; END IF; RETURN NEW; END$$; CREATE TRIGGER fault BEFORE UPDATE "
                            "OF user2 ON prime FOR EACH ROW EXECUTE FUNCTION fault()");

    for (Mode mode : {Mode::Restore, Mode::Merge}) {
        EXPECT_THROW(restore(folder, mode), DbError);
        for (const auto& key : keys) {
            EXPECT_EQ(folder.note(key), Value("current"));
            EXPECT_EQ(folder.fields(key, "User2"), "current");
        }
    }

    // A state database that cannot be opened, and a backup that is not there.
    EXPECT_THROW(UserDataRestore::run(Mode::Restore, folder.path() + "KORAXX.MDB", kConnect,
                                      folder.backupPath()),
                 DbError);
    EXPECT_THROW(UserDataRestore::run(Mode::Restore, folder.statePath(), kConnect,
                                      folder.path() + "NONE.MDB"),
                 DbError);
    EXPECT_EQ(folder.note(keys[0]), Value("current"));
}

TEST_P(SafekeepingAfterALoad, NoteOpenInAnotherUsersRecordWindowIsPassedOver)
{
    SafekeepingFolder& folder = data();
    const auto held = folder.company(3), free = folder.company(4);
    folder.setNote(held, "saved held");
    folder.setNote(free, "saved free");
    folder.setFields(held, {{"User3", "saved"}});
    backUp(folder);
    folder.setNote(held, "being typed");
    folder.setNote(free, "old");

    HolderProcess holder(folder.statePath(), folder.connect(), held.first, held.second);
    ASSERT_EQ(holder.readLine(), "held");
    EXPECT_EQ(UserDataRestore::message(UserDataRestore::Mode::Restore, restore(folder), "B.MDB"),
              "1 User Notes and 1 Fields Restored From B.MDB\r\n1 User Notes open in another "
              "user's record window were left as they were.");
    EXPECT_EQ(folder.note(held), Value("being typed"));
    EXPECT_EQ(folder.note(free), Value("saved free"));
    EXPECT_EQ(folder.fields(held, "User3"), "saved");

    // The holder stores its own note when its window closes.
    holder.send("typed by the other user");
    EXPECT_EQ(holder.readLine(), "stored");
    EXPECT_EQ(holder.finish(), 0);
    EXPECT_EQ(folder.note(held), Value("typed by the other user"));
}

using Message = RecordingPrompt::Message;
using Messages = std::vector<Message>;

TEST(PendingRestore, RestoresAfterAnUpgradeAndDeletesTheMarkerOnlyWhenItWorked)
{
    SafekeepingFolder folder;
    folder.load(10);
    const auto key = folder.company(6);
    folder.setNote(key, "Met the owner");
    folder.setFields(key, {{"User1", "Key account"}});
    backUp(folder);
    // The upgrade replaces the database; the new data knows nothing of the user's.
    folder.replaceStateDatabase();
    folder.load(10);
    ASSERT_EQ(folder.note(key), Value(" "));
    const std::string marker = PendingRestore::markerPath(folder.path(), "PA");

    RecordingPrompt prompt;
    writeFile(marker, "");
    EXPECT_FALSE(PendingRestore::isPending(folder.path(), "PA"));
    EXPECT_TRUE(PendingRestore::run(folder.path(), "PA", kConnect, prompt));
    EXPECT_EQ(folder.note(key), Value(" "));
    EXPECT_TRUE(prompt.told.empty());

    // The backup cannot be read: the marker stays for the next acceptance.
    writeFile(marker, " \r\n");
    const std::string saved = fileBytes(folder.backupPath());
    writeFile(folder.backupPath(), "not a database");
    EXPECT_FALSE(PendingRestore::run(folder.path(), "PA", kConnect, prompt));
    EXPECT_TRUE(fs::exists(marker));
    ASSERT_EQ(prompt.told.size(), 1u);
    EXPECT_NE(prompt.told[0].first.find("could not be restored"), std::string::npos);
    EXPECT_NE(prompt.told[0].first.find("the next time PA is chosen"), std::string::npos);
    EXPECT_EQ(folder.note(key), Value(" "));

    writeFile(folder.backupPath(), saved);
    prompt.told.clear();
    EXPECT_TRUE(PendingRestore::run(folder.path(), "PA", kConnect, prompt));
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_EQ(folder.note(key), Value("Met the owner"));
    EXPECT_EQ(folder.fields(key, "User1"), "Key account");
    EXPECT_EQ(prompt.told,
              (Messages{{"1 User Notes and 1 Fields Restored From " + folder.backupPath(),
                         "Restore Complete"}}));

    // A backup made while a restore waits (a second upgrade, before the state is
    // chosen again) brings the user's data back before it saves the state's.
    folder.replaceStateDatabase();
    folder.load(10);
    writeFile(marker, " \r\n");
    EXPECT_EQ(backUp(folder).notes, 1);
    EXPECT_EQ(folder.backupRows("NOTES"), Strings{keyOf(key) + "Met the owner"});
    EXPECT_EQ(folder.note(key), Value("Met the owner"));
    EXPECT_FALSE(fs::exists(marker));
}

// Follow-ups go wherever the notes go: through a company load, into the
// backup, back by restore (the backup's wins) and merge (the earlier date
// wins), and across an upgrade that delivers a database without their table.
TEST_P(SafekeepingAfterALoad, FollowUpsAreKeptLikeNotes)
{
    SafekeepingFolder& folder = data();
    const auto a = folder.company(0), b = folder.company(1), c = folder.company(2),
               dropped = folder.company(19);
    folder.setFollowUp(a, FollowUp{"2026-03-14", "Call about renewal"});
    folder.setFollowUp(b, FollowUp{"2026-04-01", "Send the letter"});
    folder.setFollowUp(dropped, FollowUp{"2026-05-01", "gone"});
    folder.load(20);
    EXPECT_EQ(folder.followUp(a), "2026-03-14|Call about renewal");

    EXPECT_EQ(backUp(folder).followUps, 3);
    EXPECT_EQ(folder.backupRows("FOLLOWUP"), (Strings{keyOf(a) + "2026-03-14|Call about renewal",
                                                      keyOf(b) + "2026-04-01|Send the letter",
                                                      keyOf(dropped) + "2026-05-01|gone"}));

    folder.setFollowUp(a, std::nullopt);
    folder.setFollowUp(b, FollowUp{"2026-06-01", "Moved"});
    folder.setFollowUp(c, FollowUp{"2026-01-05", "Only here"});
    folder.db().execute("DELETE FROM PRIME WHERE FILE = '" + dropped.first + "' AND SEQUENCE = '" +
                        dropped.second + "'");
    folder.setFollowUp(dropped, std::nullopt);
    EXPECT_EQ(restore(folder).followUps, 2);
    EXPECT_EQ(folder.followUp(a), "2026-03-14|Call about renewal");
    EXPECT_EQ(folder.followUp(b), "2026-04-01|Send the letter");
    EXPECT_EQ(folder.followUp(c), "2026-01-05|Only here");
    EXPECT_EQ(folder.followUp(dropped), "(none)");

    folder.setFollowUp(a, FollowUp{"2026-03-01", "Earlier here"});
    folder.setFollowUp(b, FollowUp{"2026-04-02", "Later here"});
    restore(folder, Mode::Merge);
    EXPECT_EQ(folder.followUp(a), "2026-03-01|Earlier here");
    EXPECT_EQ(folder.followUp(b), "2026-04-01|Send the letter");

    // What is due by a day: oldest first, with the company's name.
    std::vector<std::string> due;
    for (const FollowUps::Due& one : FollowUps(folder.db()).dueBy("2026-03-31"))
        due.push_back(one.due + " " + one.file + " " + one.sequence + " " + one.text);
    EXPECT_EQ(due, (Strings{"2026-01-05 " + c.first + " " + c.second + " Only here",
                            "2026-03-01 " + a.first + " " + a.second + " Earlier here"}));
}

TEST(PendingRestore, BringsFollowUpsIntoADeliveredDatabaseWithoutTheirTable)
{
    SafekeepingFolder folder;
    folder.load(10);
    const auto key = folder.company(3);
    folder.setFollowUp(key, FollowUp{"2026-03-14", "Call about renewal"});
    backUp(folder);
    folder.replaceStateDatabase();
    folder.db().execute("DROP TABLE FOLLOWUP");
    folder.load(10);
    writeFile(PendingRestore::markerPath(folder.path(), "PA"), " \r\n");
    RecordingPrompt prompt;
    ASSERT_TRUE(PendingRestore::run(folder.path(), "PA", kConnect, prompt));
    EXPECT_EQ(folder.followUp(key), "2026-03-14|Call about renewal");
}

TEST(NotesSafekeeping, BacksUpToAnotherFolderThenRestoresAndMergesFromIt)
{
    SafekeepingFolder folder;
    folder.load(5);
    const auto key = folder.company(2);
    folder.setNote(key, "from diskette");
    RecordingPrompt prompt;
    NotesSafekeeping keeping(folder.path(), "PA", kConnect, prompt);
    using Operation = NotesSafekeeping::Operation;
    using Outcome = NotesSafekeeping::Outcome;
    // Runs the operation with nothing told or asked before it.
    const auto run = [&](Operation operation, const std::string& path) {
        prompt.told.clear();
        prompt.asked.clear();
        return keeping.run(operation, path);
    };
    const std::string other = folder.path() + "diskette";
    fs::create_directory(other);
    const std::string chosen = keeping.pathIn(other);
    EXPECT_EQ(chosen, other + "/BACKUPPA.MDB");

    EXPECT_EQ(run(Operation::Backup, chosen), Outcome::Done);
    EXPECT_EQ(prompt.asked, (Messages{{"Backup User Data and Notes to " + chosen + "?",
                                       "Backup User Notes & Data"}}));
    EXPECT_EQ(prompt.told, (Messages{{"1 User Notes and 0 Fields Saved to " + folder.backupPath(),
                                      "Backup Complete"},
                                     {"Backup copied to " + chosen, "KORA"}}));
    EXPECT_EQ(fileBytes(chosen), fileBytes(folder.backupPath()));

    EXPECT_EQ(run(Operation::Backup, keeping.pathIn(folder.path() + "no-such-folder")),
              Outcome::Failed);
    ASSERT_EQ(prompt.told.size(), 2u);
    EXPECT_EQ(prompt.told[1].first, "Error copying file!  Make sure path is correct!");

    // No, and the backup stays as it was.
    prompt.answer = false;
    folder.setNote(key, "here");
    EXPECT_EQ(run(Operation::Backup, ""), Outcome::Declined);
    EXPECT_TRUE(prompt.told.empty());
    EXPECT_EQ(folder.backupRows("NOTES").size(), 1u);

    prompt.answer = true;
    fs::remove(folder.backupPath());
    EXPECT_EQ(run(Operation::Restore, ""), Outcome::Failed);
    EXPECT_EQ(prompt.told,
              (Messages{{folder.backupPath() + " file was not found.  Please select the "
                                               "correct path and try again.",
                         "KORA"}}));
    EXPECT_TRUE(prompt.asked.empty());

    EXPECT_EQ(run(Operation::Merge, chosen), Outcome::Done);
    EXPECT_EQ(prompt.asked, (Messages{{"Merge User Data and Notes from " + chosen + "?",
                                       "Merge User Notes & Data"}}));
    EXPECT_EQ(prompt.told,
              (Messages{{"1 User Notes and 0 Fields Merged From " + chosen, "Merge Complete"},
                        {"User Notes and Fields Merged!", "Merge Complete"}}));
    EXPECT_EQ(folder.note(key), Value("here\r\nfrom diskette"));

    EXPECT_EQ(run(Operation::Restore, chosen), Outcome::Done);
    EXPECT_EQ(prompt.told.back(), Message("User Notes and Fields Restored!", "Restore Complete"));
    EXPECT_EQ(folder.note(key), Value("from diskette"));
}

INSTANTIATE_TEST_SUITE_P(Engines, Safekeeping, ::testing::Values(Engine::File, Engine::Server),
                         engineName);
INSTANTIATE_TEST_SUITE_P(Engines, SafekeepingAfterALoad,
                         ::testing::Values(Engine::File, Engine::Server), engineName);

} // namespace
} // namespace kora::test
