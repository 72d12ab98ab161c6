#include "safekeeping/UserDataBackup.h"

#include "SafekeepingFolder.h"

#include "base/Dates.h"
#include "database/DbError.h"
#include "safekeeping/PendingRestore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kora::test {
namespace {

using Strings = std::vector<std::string>;

UserDataCounts backUp(SafekeepingFolder& folder)
{
    return UserDataBackup::run(folder.path(), "PA", SafekeepingFolder::kConnect);
}

// "FILE|SEQUENCE|" of a company, as a backup row begins.
std::string keyOf(const SafekeepingFolder::Key& key)
{
    return key.first + "|" + key.second + "|";
}

// Ten companies, the first six with the notes "note 0" to "note 5", backed up.
void backUpSixNotes(SafekeepingFolder& folder)
{
    folder.load(10);
    for (int n = 0; n < 6; ++n)
        folder.setNote(folder.company(n), "note " + std::to_string(n));
    ASSERT_EQ(backUp(folder).notes, 6);
}

// Whether a scratch file of a backup is left beside it.
bool scratchLeft(const SafekeepingFolder& folder)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        if (entry.path().filename().string().starts_with("BACKUPPA.MDB.new"))
            return true;
    return false;
}

TEST(UserDataBackup, SavesFilledNotesAndCompaniesWithAnyUserField)
{
    SafekeepingFolder folder;
    folder.load(12);
    // A fresh load leaves single blanks in the notes and user fields: none are the user's.
    // The missing backup database is made, with its version row.
    std::filesystem::remove(folder.backupPath());
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
    backUpSixNotes(folder);
    const std::string before = SafekeepingFolder::bytes(folder.backupPath());

    // The state database cannot be opened.
    for (int n = 0; n < 6; ++n)
        folder.setNote(folder.company(n), "changed");
    EXPECT_THROW(UserDataBackup::run(folder.path(), "PA", ";PWD=wrong"), DbError);
    EXPECT_EQ(SafekeepingFolder::bytes(folder.backupPath()), before);

    // A write fails after half the notes.
    Database(folder.backupPath(), "")
        .execute("CREATE TRIGGER fault BEFORE INSERT ON NOTES WHEN (SELECT COUNT(*) FROM NOTES) "
                 ">= 3 BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    const std::string withTrigger = SafekeepingFolder::bytes(folder.backupPath());
    EXPECT_THROW(backUp(folder), DbError);
    EXPECT_EQ(SafekeepingFolder::bytes(folder.backupPath()), withTrigger);
    EXPECT_FALSE(scratchLeft(folder));
    EXPECT_EQ(folder.backupRows("NOTES")[0], keyOf(folder.company(0)) + "note 0");
}

TEST(UserDataBackup, NotesWaitingForARestoreAreBroughtBackBeforeTheyAreSavedAgain)
{
    SafekeepingFolder folder;
    backUpSixNotes(folder);
    // An upgrade put a new database in place; before the state is chosen
    // again, a second upgrade or a backup saves its notes.
    folder.replaceStateDatabase();
    folder.load(10);
    const std::string marker = PendingRestore::markerPath(folder.path(), "PA");
    std::ofstream(marker, std::ios::binary) << " \r\n";

    EXPECT_EQ(backUp(folder).notes, 6);
    EXPECT_EQ(folder.backupRows("NOTES").size(), 6u);
    EXPECT_EQ(folder.note(folder.company(5)), Value("note 5"));
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST(UserDataBackup, ASecondBackupOfTheStateWhileOneRunsIsRefused)
{
    SafekeepingFolder folder;
    folder.load(10);
    const auto first = folder.company(0);
    folder.setNote(first, "first");
    std::string secondFailure;
    const UserDataCounts counts =
        UserDataBackup::run(folder.path(), "PA", SafekeepingFolder::kConnect, [&] {
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

} // namespace
} // namespace kora::test
