#include "results/CompanyNotes.h"

#include "results/NoteLock.h"
#include "results/UserDataChanges.h"
#include "support/FixedToday.h"
#include "support/HolderProcess.h"
#include "support/RecordingPrompt.h"
#include "support/StateDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

#include <string>
#include <vector>

namespace kora::test {
namespace {

const std::string kHeld = "Another user is working with data which affects your notes.  "
                          "Try again later to view your information.";
const std::string kNoRow = "TROUBLE IN RIVER CITY";
using Messages = std::vector<std::string>;

// One user of the notes: its own connection, lock and the messages it was told.
struct NotesUser : RecordingPrompt
{
    explicit NotesUser(const StateDatabase& data)
        : db(data.path(), StateDatabase::kConnect), notes(db, *this)
    {
    }

    Database db;
    CompanyNotes notes;
};

// A state database with one note row per given company ("1000001" ...), sequence 01.
struct NotesDatabase : StateDatabase
{
    explicit NotesDatabase(const std::vector<Value>& notes)
    {
        for (size_t i = 0; i < notes.size(); ++i)
            db().prepare("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES (?, '01', ?)")
                .bindAll({std::to_string(1000001 + i), notes[i]})
                .run();
    }
    Value stored(const char* file)
    {
        return value("SELECT NOTES FROM NOTES WHERE FILE = ? AND SEQUENCE = '01'", {file});
    }
    bool lockable(const char* file) { return NoteLock(db()).tryLock(file, "01"); }
};

TEST(CompanyNotes, StoresTheNoteAndAnEmptyNoteAsOneBlankCountingChangesOnly)
{
    NotesDatabase data({"old", "keep", "   Call in May   ", Value()});
    NotesUser user(data);
    for (const auto& [file, length] : {std::pair{"1000001", 3}, {"1000003", 11}, {"1000004", 0}})
        EXPECT_EQ(user.notes.noteLength(file, "01"), length) << file;

    const long long before = UserDataChanges::count();
    EXPECT_EQ(user.notes.lockedNote("1000001", "01"), "old");
    user.notes.storeNote("01/02/25 - called\nold");
    EXPECT_EQ(data.stored("1000001"), Value("01/02/25 - called\nold"));
    EXPECT_EQ(user.notes.lockedNote("1000001", "01"), "01/02/25 - called\nold");
    user.notes.storeNote("");
    EXPECT_EQ(data.stored("1000001"), Value(" "));
    EXPECT_EQ(user.notes.noteLength("1000001", "01"), 0);
    // Without a held note there is nothing to store into.
    user.notes.storeNote("stray");
    EXPECT_EQ(data.stored("1000001"), Value(" "));
    // A store that leaves the note as it was is no change.
    user.notes.lockedNote("1000001", "01");
    user.notes.storeNote("");
    EXPECT_EQ(UserDataChanges::count() - before, 2);
    EXPECT_EQ(data.stored("1000002"), Value("keep"));
    EXPECT_TRUE(user.told.empty());

    EXPECT_EQ(user.notes.noteLength("9999999", "01"), 0);
    EXPECT_EQ(user.notes.lockedNote("9999999", "01"), CompanyNotes::kLocked);
    EXPECT_EQ(user.toldTexts(), (Messages{kNoRow, kNoRow, kHeld}));
    EXPECT_TRUE(data.lockable("9999999"));

    // A store that fails releases the company.
    data.db().execute("CREATE TRIGGER refuse BEFORE UPDATE ON NOTES "
                      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_EQ(user.notes.lockedNote("1000002", "01"), "keep");
    EXPECT_THROW(user.notes.storeNote("new"), DbError);
    EXPECT_EQ(data.stored("1000002"), Value("keep"));
    EXPECT_TRUE(data.lockable("1000002"));
}

TEST(CompanyNotes, SecondHolderIsTurnedAwayUntilTheFirstStoresOrReleases)
{
    NotesDatabase data({"first", "other"});
    NotesUser first(data);
    NotesUser second(data);

    EXPECT_EQ(first.notes.lockedNote("1000001", "01"), "first");
    EXPECT_EQ(second.notes.lockedNote("1000001", "01"), CompanyNotes::kLocked);
    EXPECT_EQ(second.toldTexts(), Messages{kHeld});
    // Another company is not held.
    EXPECT_EQ(second.notes.lockedNote("1000002", "01"), "other");
    second.notes.release();

    first.notes.storeNote("stored by the first");
    EXPECT_EQ(second.notes.lockedNote("1000001", "01"), "stored by the first");
    EXPECT_EQ(first.notes.lockedNote("1000001", "01"), CompanyNotes::kLocked);
    second.notes.release();
    EXPECT_EQ(first.notes.lockedNote("1000001", "01"), "stored by the first");
    EXPECT_EQ(first.toldTexts(), Messages{kHeld});
}

// Setting, moving and finishing a follow-up from the result list takes the
// company's note lock for that moment; done leaves a dated line in the note.
TEST(CompanyNotes, FollowUpChangesUnderTheNoteLockAndDoneLeavesADatedLine)
{
    NotesDatabase data({" ", "Met the owner"});
    NotesUser first(data);
    NotesUser second(data);
    const FixedToday today("2026-12-07");
    const FollowUp call{"2026-12-14", "Call about renewal"};
    ASSERT_TRUE(first.notes.changeFollowUp("1000002", "01", call, false));
    EXPECT_EQ(FollowUps(data.db()).of("1000002", "01"), call);
    EXPECT_TRUE(data.lockable("1000002"));

    // A record window open elsewhere holds the follow-up with the note.
    EXPECT_EQ(second.notes.lockedNote("1000002", "01"), "Met the owner");
    EXPECT_FALSE(first.notes.changeFollowUp("1000002", "01", std::nullopt, true));
    EXPECT_EQ(first.toldTexts(), Messages{kHeld});
    EXPECT_EQ(FollowUps(data.db()).of("1000002", "01"), call);
    second.notes.release();

    const FollowUp letter{"2026-12-28", "Send the letter"};
    ASSERT_TRUE(first.notes.changeFollowUp("1000002", "01", letter, true));
    EXPECT_EQ(data.stored("1000002"), Value("Met the owner\n12/07/26 - Done: Call about renewal"));
    EXPECT_EQ(FollowUps(data.db()).of("1000002", "01"), letter);
    ASSERT_TRUE(first.notes.changeFollowUp("1000002", "01", std::nullopt, true));
    EXPECT_EQ(data.stored("1000002"), Value("Met the owner\n12/07/26 - Done: Call about "
                                            "renewal\n12/07/26 - Done: Send the letter"));
    EXPECT_EQ(FollowUps(data.db()).of("1000002", "01"), std::nullopt);
    // Done without a follow-up leaves the note alone; a blank note becomes the line.
    ASSERT_TRUE(first.notes.changeFollowUp("1000001", "01", std::nullopt, true));
    EXPECT_EQ(data.stored("1000001"), Value(" "));
    first.notes.changeFollowUp("1000001", "01", call, false);
    first.notes.changeFollowUp("1000001", "01", std::nullopt, true);
    EXPECT_EQ(data.stored("1000001"), Value("12/07/26 - Done: Call about renewal"));
    EXPECT_TRUE(data.lockable("1000001"));

    // A text is kept to 60 characters, none of them cut in two.
    const std::string long_ = std::string(59, 'x') + "\xC3\xA9\xC3\xA9";
    FollowUps(data.db()).store("1000001", "01", FollowUp{"2026-12-14", long_});
    EXPECT_EQ(FollowUps(data.db()).of("1000001", "01")->text, long_.substr(0, 61));

    // 30 days before the next renewal still to come; February 29 renews on March 1.
    EXPECT_EQ(FollowUps::beforeRenewal("2025-12-20", "2026-11-20"), "2026-11-20");
    EXPECT_EQ(FollowUps::beforeRenewal("2025-12-20", "2026-11-21"), "2027-11-20");
    EXPECT_EQ(FollowUps::beforeRenewal("2024-02-29", "2026-12-07"), "2027-01-30");
    EXPECT_EQ(FollowUps::beforeRenewal("", "2026-12-07"), "");
}

TEST(CompanyNotes, LockHoldsBetweenProcessesUntilTheNoteIsStored)
{
    NotesDatabase data({"before"});
    NotesUser user(data);
    HolderProcess holder(data.path(), StateDatabase::kConnect, "1000001", "01");
    ASSERT_EQ(holder.readLine(), "held");
    EXPECT_EQ(user.notes.lockedNote("1000001", "01"), CompanyNotes::kLocked);
    holder.send("written elsewhere");
    EXPECT_EQ(holder.readLine(), "stored");
    EXPECT_EQ(holder.finish(), 0);
    EXPECT_EQ(user.notes.lockedNote("1000001", "01"), "written elsewhere");

    // And the other way round: while this process holds it, the other is refused.
    HolderProcess refused(data.path(), StateDatabase::kConnect, "1000001", "01");
    EXPECT_EQ(refused.readLine(), "locked");
    user.notes.storeNote("written here");
    EXPECT_EQ(data.stored("1000001"), Value("written here"));

    // A holder that is killed leaves no lock behind.
    HolderProcess killed(data.path(), StateDatabase::kConnect, "1000001", "01");
    ASSERT_EQ(killed.readLine(), "held");
    EXPECT_EQ(user.notes.lockedNote("1000001", "01"), CompanyNotes::kLocked);
    killed.kill();
    EXPECT_EQ(user.notes.lockedNote("1000001", "01"), "written here");
    EXPECT_EQ(user.toldTexts(), (Messages{kHeld, kHeld}));
}

TEST(NoteLock, LockFileBesideTheDatabaseIsSharedLikeIt)
{
    NotesDatabase data({});
    ASSERT_EQ(chmod(data.path().c_str(), 0664), 0);
    // Opening the database made the file already, as the database was then.
    const std::string lockFile = data.folder().file("KORAPA.LCK");
    std::filesystem::remove(lockFile);
    const mode_t oldMask = umask(022);
    const bool locked = data.lockable("1000001");
    umask(oldMask);
    ASSERT_TRUE(locked);
    EXPECT_EQ(std::filesystem::status(lockFile).permissions(), std::filesystem::perms(0664));
}

} // namespace
} // namespace kora::test
