#include "safekeeping/UserDataRestore.h"

#include "SafekeepingFolder.h"

#include "database/DbError.h"
#include "safekeeping/UserDataBackup.h"
#include "support/HolderProcess.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

using Mode = UserDataRestore::Mode;

class UserDataRestoreTest : public ::testing::Test
{
protected:
    void SetUp() override { folder.load(20); }

    void backUp() { UserDataBackup::run(folder.path(), "PA", SafekeepingFolder::kConnect); }
    UserDataCounts restore(Mode mode = Mode::Restore)
    {
        return UserDataRestore::run(mode, folder.statePath(), SafekeepingFolder::kConnect,
                                    folder.backupPath());
    }

    SafekeepingFolder folder;
};

TEST_F(UserDataRestoreTest, RestoreAfterALoadBringsBackNotesFieldsAndTheOverriddenAddress)
{
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
    backUp();

    // The next delivery: user fields and addresses come back as delivered, a note changed
    // since, a company dropped (its notes row left behind).
    folder.load(20);
    ASSERT_EQ(folder.fields(plain, "UserPhone, Omit"), "NULL| ");
    ASSERT_NE(folder.fields(moved, "STREET"), "12 Oak Lane");
    folder.setNote(noted, "typed after the backup");
    folder.db().execute("DELETE FROM PRIME WHERE FILE = '" + dropped.first + "' AND SEQUENCE = '" +
                        dropped.second + "'");
    folder.setNote(dropped, " ");

    const UserDataCounts counts = restore();
    EXPECT_EQ(UserDataRestore::message(counts, "/p/BACKUPPA.MDB"),
              "1 User Notes and 3 Fields Restored From /p/BACKUPPA.MDB");
    EXPECT_EQ(folder.note(noted), Value("Renewal in March"));
    EXPECT_EQ(folder.note(dropped), Value(" "));
    EXPECT_EQ(folder.fields(plain, "UserPhone, Omit"), "610-555-0101|Y");
    const std::string address = "UserContact, STREET, CITY, ST, ZIP, ZIPEXT";
    EXPECT_EQ(folder.fields(moved, address), "J. Ruiz|12 Oak Lane|Bryn Mawr|PA|19010|3301");
    EXPECT_EQ(folder.fields(short_, address), "NULL|9 Elm St|Lancaster|NULL|17601|NULL");
}

TEST_F(UserDataRestoreTest, MergeAppendsTheBackupNoteAfterTheCurrentOneEachTime)
{
    const auto blank = folder.company(0), typed = folder.company(1), empty = folder.company(2);
    folder.setNote(blank, "from backup");
    folder.setNote(typed, "older");
    folder.setNote(empty, "saved");
    folder.setFields(typed, {{"UserTitle", "Owner"}});
    backUp();
    folder.setNote(blank, " ");
    folder.setNote(typed, "newer");
    folder.setNote(empty, Value());
    folder.setFields(typed, {{"UserTitle", "Manager"}});

    const UserDataCounts counts = restore(Mode::Merge);
    EXPECT_EQ(counts.notes, 3);
    EXPECT_EQ(counts.fields, 1);
    EXPECT_EQ(folder.note(blank), Value(" \r\nfrom backup"));
    EXPECT_EQ(folder.note(typed), Value("newer\r\nolder"));
    EXPECT_EQ(folder.note(empty), Value("saved"));
    // The backup wins for the user fields.
    EXPECT_EQ(folder.fields(typed, "UserTitle"), "Owner");

    restore(Mode::Merge);
    EXPECT_EQ(folder.note(typed), Value("newer\r\nolder\r\nolder"));
}

TEST_F(UserDataRestoreTest, AFailureMidwayChangesNothing)
{
    std::vector<SafekeepingFolder::Key> keys;
    for (int n = 0; n < 8; ++n) {
        keys.push_back(folder.company(n));
        folder.setNote(keys.back(), "saved " + std::to_string(n));
        folder.setFields(keys.back(), {{"User2", "saved"}});
    }
    backUp();
    for (const auto& key : keys) {
        folder.setNote(key, "current");
        folder.setFields(key, {{"User2", "current"}});
    }
    // The user fields of the fifth company cannot be written.
    folder.db().execute("CREATE TRIGGER fault BEFORE UPDATE OF User2 ON PRIME WHEN OLD.FILE = '" +
                        keys[4].first + "' BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END");

    for (Mode mode : {Mode::Restore, Mode::Merge}) {
        EXPECT_THROW(restore(mode), DbError);
        for (const auto& key : keys) {
            EXPECT_EQ(folder.note(key), Value("current"));
            EXPECT_EQ(folder.fields(key, "User2"), "current");
        }
    }

    // A state database that cannot be opened, and a backup that is not there.
    EXPECT_THROW(UserDataRestore::run(Mode::Restore, folder.path() + "KORAXX.MDB",
                                      SafekeepingFolder::kConnect, folder.backupPath()),
                 DbError);
    EXPECT_THROW(UserDataRestore::run(Mode::Restore, folder.statePath(),
                                      SafekeepingFolder::kConnect, folder.path() + "NONE.MDB"),
                 DbError);
    EXPECT_EQ(folder.note(keys[0]), Value("current"));
}

TEST_F(UserDataRestoreTest, NoteOpenInAnotherUsersRecordWindowIsPassedOver)
{
    const auto held = folder.company(3), free = folder.company(4);
    folder.setNote(held, "saved held");
    folder.setNote(free, "saved free");
    folder.setFields(held, {{"User3", "saved"}});
    backUp();
    folder.setNote(held, "being typed");
    folder.setNote(free, "old");

    HolderProcess holder(folder.statePath(), SafekeepingFolder::kConnect, held.first, held.second);
    ASSERT_EQ(holder.readLine(), "held");
    EXPECT_EQ(UserDataRestore::message(restore(), "B.MDB"),
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

} // namespace
} // namespace kora::test
