#include "results/CompanyNotes.h"

#include "database/Schema.h"
#include "results/NoteLock.h"
#include "support/HolderProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

#include <string>
#include <vector>

namespace kora::test {
namespace {

const std::string kHeldMessage = "Another user is working with data which affects your notes.  "
                                 "Try again later to view your information.";
constexpr const char* kConnect = ";PWD=notes1";

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

    std::vector<std::string> messages;
};

// A state database whose NOTES table holds the rows a test puts in.
struct NotesDatabase
{
    NotesDatabase()
    {
        Schema::createStateDatabase(path(), kConnect, "PA");
        db.open(path(), kConnect);
    }

    std::string path() const { return folder.file("KORAPA.MDB"); }
    void addNote(const std::string& file, const std::string& sequence, const Value& note)
    {
        db.prepare("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES (?, ?, ?)")
            .bindAll({file, sequence, note})
            .run();
    }
    Value storedNote(const std::string& file, const std::string& sequence)
    {
        Statement query = db.prepare("SELECT NOTES FROM NOTES WHERE FILE = ? AND SEQUENCE = ?");
        query.bindAll({file, sequence});
        return query.step() ? query.column(0) : Value("(no row)");
    }

    TempFolder folder;
    Database db;
};

// One user of the notes: its own connection, lock and messages.
struct NotesUser
{
    explicit NotesUser(const std::string& path) : db(path, kConnect), notes(db, prompt) {}

    Database db;
    RecordingPrompt prompt;
    CompanyNotes notes;
};

TEST(CompanyNotes, LengthIgnoresSurroundingBlanks)
{
    NotesDatabase data;
    data.addNote("1000001", "01", " ");
    data.addNote("1000002", "01", "   Call in May   ");
    data.addNote("1000003", "01", Value());
    NotesUser user(data.path());

    EXPECT_EQ(user.notes.GetNoteLength("1000001", "01"), 0);
    EXPECT_EQ(user.notes.GetNoteLength("1000002", "01"), 11);
    EXPECT_EQ(user.notes.GetNoteLength("1000003", "01"), 0);
    EXPECT_TRUE(user.prompt.messages.empty());

    EXPECT_EQ(user.notes.GetNoteLength("9999999", "01"), 0);
    EXPECT_EQ(user.prompt.messages, std::vector<std::string>{"TROUBLE IN RIVER CITY"});
}

TEST(CompanyNotes, StoresTheNoteAndAnEmptyNoteAsOneBlank)
{
    NotesDatabase data;
    data.addNote("1000001", "01", "old");
    data.addNote("1000002", "01", "keep");
    NotesUser user(data.path());

    EXPECT_EQ(user.notes.GETNOTES("1000001", "01"), "old");
    user.notes.SETNOTES("01/02/25 - called\nold");
    EXPECT_EQ(data.storedNote("1000001", "01"), Value("01/02/25 - called\nold"));

    EXPECT_EQ(user.notes.GETNOTES("1000001", "01"), "01/02/25 - called\nold");
    user.notes.SETNOTES("");
    EXPECT_EQ(data.storedNote("1000001", "01"), Value(" "));

    // Without a held note there is nothing to store into.
    user.notes.SETNOTES("stray");
    EXPECT_EQ(data.storedNote("1000001", "01"), Value(" "));
    EXPECT_EQ(data.storedNote("1000002", "01"), Value("keep"));
    EXPECT_TRUE(user.prompt.messages.empty());
}

TEST(CompanyNotes, SecondHolderIsTurnedAwayUntilTheFirstStoresOrReleases)
{
    NotesDatabase data;
    data.addNote("1000001", "01", "first");
    data.addNote("1000002", "01", "other");
    NotesUser first(data.path());
    NotesUser second(data.path());

    EXPECT_EQ(first.notes.GETNOTES("1000001", "01"), "first");
    EXPECT_EQ(second.notes.GETNOTES("1000001", "01"), "***LOCKED***");
    EXPECT_EQ(second.prompt.messages, std::vector<std::string>{kHeldMessage});
    // Another company is not held.
    EXPECT_EQ(second.notes.GETNOTES("1000002", "01"), "other");
    second.notes.release();

    first.notes.SETNOTES("stored by the first");
    EXPECT_EQ(second.notes.GETNOTES("1000001", "01"), "stored by the first");
    EXPECT_EQ(first.notes.GETNOTES("1000001", "01"), "***LOCKED***");
    second.notes.release();
    EXPECT_EQ(first.notes.GETNOTES("1000001", "01"), "stored by the first");
    EXPECT_EQ(data.storedNote("1000001", "01"), Value("stored by the first"));
    EXPECT_TRUE(first.prompt.messages.size() == 1 && first.prompt.messages[0] == kHeldMessage);
}

TEST(CompanyNotes, CompanyWithoutANoteRowIsNotOpened)
{
    NotesDatabase data;
    NotesUser user(data.path());

    EXPECT_EQ(user.notes.GETNOTES("1000001", "01"), "***LOCKED***");
    EXPECT_EQ(user.prompt.messages,
              (std::vector<std::string>{"TROUBLE IN RIVER CITY", kHeldMessage}));
    NoteLock other(data.path());
    EXPECT_TRUE(other.tryLock("1000001", "01"));
}

TEST(CompanyNotes, FailedStoreReleasesTheCompany)
{
    NotesDatabase data;
    data.addNote("1000001", "01", "old");
    data.db.execute("CREATE TRIGGER refuse BEFORE UPDATE ON NOTES "
                    "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    NotesUser user(data.path());

    EXPECT_EQ(user.notes.GETNOTES("1000001", "01"), "old");
    EXPECT_THROW(user.notes.SETNOTES("new"), DbError);
    EXPECT_EQ(data.storedNote("1000001", "01"), Value("old"));
    NoteLock other(data.path());
    EXPECT_TRUE(other.tryLock("1000001", "01"));
}

TEST(CompanyNotes, LockHoldsBetweenProcessesUntilTheNoteIsStored)
{
    NotesDatabase data;
    data.addNote("1000001", "01", "before");
    NotesUser user(data.path());

    HolderProcess holder(data.path(), kConnect, "1000001", "01");
    ASSERT_EQ(holder.readLine(), "held");
    EXPECT_EQ(user.notes.GETNOTES("1000001", "01"), "***LOCKED***");
    EXPECT_EQ(user.prompt.messages, std::vector<std::string>{kHeldMessage});

    holder.send("written elsewhere");
    EXPECT_EQ(holder.readLine(), "stored");
    EXPECT_EQ(holder.finish(), 0);
    EXPECT_EQ(user.notes.GETNOTES("1000001", "01"), "written elsewhere");

    // And the other way round: while this process holds it, the other is refused.
    HolderProcess refused(data.path(), kConnect, "1000001", "01");
    EXPECT_EQ(refused.readLine(), "locked");
    user.notes.SETNOTES("written here");
    EXPECT_EQ(data.storedNote("1000001", "01"), Value("written here"));
}

TEST(CompanyNotes, LockOfAKilledProcessIsReleased)
{
    NotesDatabase data;
    data.addNote("1000001", "01", "before");
    NotesUser user(data.path());

    HolderProcess holder(data.path(), kConnect, "1000001", "01");
    ASSERT_EQ(holder.readLine(), "held");
    EXPECT_EQ(user.notes.GETNOTES("1000001", "01"), "***LOCKED***");

    holder.kill();
    EXPECT_EQ(user.notes.GETNOTES("1000001", "01"), "before");
    EXPECT_EQ(user.prompt.messages, std::vector<std::string>{kHeldMessage});
}

TEST(NoteLock, LockFileBesideTheDatabaseIsSharedLikeIt)
{
    NotesDatabase data;
    ASSERT_EQ(chmod(data.path().c_str(), 0664), 0);
    // Opening the database made the file already, as the database was then.
    std::filesystem::remove(data.folder.file("KORAPA.LCK"));
    const mode_t oldMask = umask(022);
    NoteLock lock(data.path());
    const bool locked = lock.tryLock("1000001", "01");
    umask(oldMask);
    ASSERT_TRUE(locked);

    struct stat file
    {
    };
    ASSERT_EQ(stat(data.folder.file("KORAPA.LCK").c_str(), &file), 0);
    EXPECT_EQ(file.st_mode & 0777, 0664u);
}

} // namespace
} // namespace kora::test
