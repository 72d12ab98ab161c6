#include "safekeeping/PendingRestore.h"

#include "SafekeepingFolder.h"

#include "safekeeping/NotesSafekeeping.h"
#include "safekeeping/UserDataBackup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kora::test {
namespace {

namespace fs = std::filesystem;
using Operation = NotesSafekeeping::Operation;
using Outcome = NotesSafekeeping::Outcome;

// A text told or asked and its title.
using Message = std::pair<std::string, std::string>;
using Messages = std::vector<Message>;

// Answers every question with `answer` and keeps what it was told and asked.
struct ScriptedPrompt : Prompt
{
    void tell(const std::string& text, const std::string& title, Icon) override
    {
        told.emplace_back(text, title);
    }
    bool ask(const std::string& text, const std::string& title, Icon) override
    {
        asked.emplace_back(text, title);
        return answer;
    }

    bool answer = true;
    Messages told;
    Messages asked;
};

void write(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

TEST(PendingRestore, RestoresAfterAnUpgradeAndDeletesTheMarkerOnlyWhenItWorked)
{
    SafekeepingFolder folder;
    folder.load(10);
    const auto key = folder.company(6);
    folder.setNote(key, "Met the owner");
    folder.setFields(key, {{"User1", "Key account"}});
    UserDataBackup::run(folder.path(), "PA", SafekeepingFolder::kConnect);
    // The upgrade replaces the database; the new data knows nothing of the user's.
    folder.replaceStateDatabase();
    folder.load(10);
    ASSERT_EQ(folder.note(key), Value(" "));
    const std::string marker = PendingRestore::markerPath(folder.path(), "PA");
    EXPECT_EQ(marker, folder.path() + "RESTPA.DAT");

    ScriptedPrompt prompt;
    write(marker, "");
    EXPECT_FALSE(PendingRestore::isPending(folder.path(), "PA"));
    EXPECT_TRUE(PendingRestore::run(folder.path(), "PA", SafekeepingFolder::kConnect, prompt));
    EXPECT_EQ(folder.note(key), Value(" "));
    EXPECT_TRUE(prompt.told.empty());

    // The backup cannot be read: the marker stays for the next acceptance.
    write(marker, " \r\n");
    const std::string saved = SafekeepingFolder::bytes(folder.backupPath());
    write(folder.backupPath(), "not a database");
    EXPECT_FALSE(PendingRestore::run(folder.path(), "PA", SafekeepingFolder::kConnect, prompt));
    EXPECT_TRUE(fs::exists(marker));
    ASSERT_EQ(prompt.told.size(), 1u);
    EXPECT_NE(prompt.told[0].first.find("could not be restored"), std::string::npos);
    EXPECT_NE(prompt.told[0].first.find("the next time PA is chosen"), std::string::npos);
    EXPECT_EQ(folder.note(key), Value(" "));

    write(folder.backupPath(), saved);
    prompt.told.clear();
    EXPECT_TRUE(PendingRestore::run(folder.path(), "PA", SafekeepingFolder::kConnect, prompt));
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_EQ(folder.note(key), Value("Met the owner"));
    EXPECT_EQ(folder.fields(key, "User1"), "Key account");
    EXPECT_EQ(prompt.told,
              (Messages{{"1 User Notes and 1 Fields Restored From " + folder.backupPath(),
                         "Restore Complete"}}));
}

TEST(NotesSafekeeping, BacksUpToAnotherFolderThenRestoresAndMergesFromIt)
{
    SafekeepingFolder folder;
    folder.load(5);
    const auto key = folder.company(2);
    folder.setNote(key, "from diskette");
    ScriptedPrompt prompt;
    NotesSafekeeping keeping(folder.path(), "PA", SafekeepingFolder::kConnect, prompt);
    // Runs the operation with nothing told or asked before it.
    const auto run = [&](Operation operation, const std::string& path) {
        prompt.told.clear();
        prompt.asked.clear();
        return keeping.run(operation, path);
    };
    EXPECT_EQ(keeping.localPath(), folder.backupPath());
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
    EXPECT_EQ(SafekeepingFolder::bytes(chosen), SafekeepingFolder::bytes(folder.backupPath()));

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
              (Messages{{"1 User Notes and 0 Fields Restored From " + chosen, "Merge Complete"},
                        {"User Notes and Fields Merged!", "Merge Complete"}}));
    EXPECT_EQ(folder.note(key), Value("here\r\nfrom diskette"));

    EXPECT_EQ(run(Operation::Restore, chosen), Outcome::Done);
    EXPECT_EQ(prompt.told.back(), Message("User Notes and Fields Restored!", "Restore Complete"));
    EXPECT_EQ(folder.note(key), Value("from diskette"));
}

} // namespace
} // namespace kora::test
