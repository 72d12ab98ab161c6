#include "results/CompanyNotes.h"

#include "results/NoteLock.h"
#include "support/HolderProcess.h"
#include "support/StateDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

#include <string>
#include <vector>

namespace kora::test {
namespace {

const std::string kHeldMessage = "Another user is working with data which affects your notes.  "
                                 "Try again later to view your information.";
const std::string kNoRow = "TROUBLE IN RIVER CITY";
using Messages = std::vector<std::string>;

class RecordingPrompt : public Prompt
{
public:
    void tell(const std::string& text, const std::string&, Icon) override
    {
        messages.push_back(text);
    }
    bool ask(const std::string& text, const std::string&, Icon) override
    {
        messages.push_back(text);
        return false;
    }

    Messages messages;
};

// One user of the notes: its own connection, lock and messages.
struct NotesUser
{
    explicit NotesUser(const StateDatabase& data)
        : db(data.path(), StateDatabase::kConnect), notes(db, prompt)
    {
    }

    Database db;
    RecordingPrompt prompt;
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

TEST(CompanyNotes, StoresTheNoteAndAnEmptyNoteAsOneBlank)
{
    NotesDatabase data({"old", "keep", "   Call in May   ", Value()});
    NotesUser user(data);
    EXPECT_EQ(user.notes.noteLength("1000001", "01"), 3);
    EXPECT_EQ(user.notes.noteLength("1000003", "01"), 11);
    EXPECT_EQ(user.notes.noteLength("1000004", "01"), 0);

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
    EXPECT_EQ(data.stored("1000002"), Value("keep"));
    EXPECT_TRUE(user.prompt.messages.empty());

    EXPECT_EQ(user.notes.noteLength("9999999", "01"), 0);
    EXPECT_EQ(user.notes.lockedNote("9999999", "01"), CompanyNotes::kLocked);
    EXPECT_EQ(user.prompt.messages, (Messages{kNoRow, kNoRow, kHeldMessage}));
    EXPECT_TRUE(data.lockable("9999999"));
}

TEST(CompanyNotes, SecondHolderIsTurnedAwayUntilTheFirstStoresOrReleases)
{
    NotesDatabase data({"first", "other"});
    NotesUser first(data);
    NotesUser second(data);

    EXPECT_EQ(first.notes.lockedNote("1000001", "01"), "first");
    EXPECT_EQ(second.notes.lockedNote("1000001", "01"), "***LOCKED***");
    EXPECT_EQ(second.prompt.messages, Messages{kHeldMessage});
    // Another company is not held.
    EXPECT_EQ(second.notes.lockedNote("1000002", "01"), "other");
    second.notes.release();

    first.notes.storeNote("stored by the first");
    EXPECT_EQ(second.notes.lockedNote("1000001", "01"), "stored by the first");
    EXPECT_EQ(first.notes.lockedNote("1000001", "01"), "***LOCKED***");
    second.notes.release();
    EXPECT_EQ(first.notes.lockedNote("1000001", "01"), "stored by the first");
    EXPECT_EQ(data.stored("1000001"), Value("stored by the first"));
    EXPECT_EQ(first.prompt.messages, Messages{kHeldMessage});
}

TEST(CompanyNotes, FailedStoreReleasesTheCompany)
{
    NotesDatabase data({"old"});
    data.db().execute("CREATE TRIGGER refuse BEFORE UPDATE ON NOTES "
                      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    NotesUser user(data);
    EXPECT_EQ(user.notes.lockedNote("1000001", "01"), "old");
    EXPECT_THROW(user.notes.storeNote("new"), DbError);
    EXPECT_EQ(data.stored("1000001"), Value("old"));
    EXPECT_TRUE(data.lockable("1000001"));
}

TEST(CompanyNotes, LockHoldsBetweenProcessesUntilTheNoteIsStored)
{
    NotesDatabase data({"before"});
    NotesUser user(data);
    HolderProcess holder(data.path(), StateDatabase::kConnect, "1000001", "01");
    ASSERT_EQ(holder.readLine(), "held");
    EXPECT_EQ(user.notes.lockedNote("1000001", "01"), "***LOCKED***");
    EXPECT_EQ(user.prompt.messages, Messages{kHeldMessage});

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
    EXPECT_EQ(user.notes.lockedNote("1000001", "01"), "***LOCKED***");
    killed.kill();
    EXPECT_EQ(user.notes.lockedNote("1000001", "01"), "written here");
    EXPECT_EQ(user.prompt.messages, (Messages{kHeldMessage, kHeldMessage}));
}

TEST(NoteLock, LockFileBesideTheDatabaseIsSharedLikeIt)
{
    NotesDatabase data({});
    ASSERT_EQ(chmod(data.path().c_str(), 0664), 0);
    // Opening the database made the file already, as the database was then.
    std::filesystem::remove(data.folder().file("KORAPA.LCK"));
    const mode_t oldMask = umask(022);
    const bool locked = data.lockable("1000001");
    umask(oldMask);
    ASSERT_TRUE(locked);
    struct stat file
    {
    };
    ASSERT_EQ(stat(data.folder().file("KORAPA.LCK").c_str(), &file), 0);
    EXPECT_EQ(file.st_mode & 0777, 0664u);
}

} // namespace
} // namespace kora::test
