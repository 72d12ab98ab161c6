#include "base/AtomicFile.h"
#include "base/CommandStates.h"
#include "base/Dates.h"
#include "base/Folders.h"
#include "base/FormPlacement.h"
#include "base/Settings.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kora::test {
namespace {

// Years 00-49 are 20YY, 50-99 are 19YY; February 29 only in a leap year.
TEST(Dates, ReadsMonthDayYearTextsAndCountsDays)
{
    const std::pair<const char*, const char*> dates[] = {{"03/15/49", "2049-03-15"},
                                                         {"12/31/50", "1950-12-31"},
                                                         {"01/01/20", "2020-01-01"},
                                                         {"02/29/24", "2024-02-29"},
                                                         {"02/29/23", ""},
                                                         {"13/01/24", ""},
                                                         {"1/1/2024", ""}};
    for (const auto& [text, stored] : dates)
        EXPECT_EQ(Dates::fromMonthDayYear(text), stored) << text;
    EXPECT_EQ(Dates::toMonthDayYear("2049-03-15"), "03/15/49");
    EXPECT_EQ(Dates::toMonthDayYear("n/a"), "n/a");
    EXPECT_EQ(Dates::addDays("2024-02-28", 2), "2024-03-01");
    EXPECT_EQ(Dates::addDays("2100-02-28", 1), "2100-03-01");
    EXPECT_EQ(Dates::addDays("2024-13-01", 1), "");
}

TEST(Folders, TemporaryFolderIsPrivateToTheUserUnlessTmpdirNamesOne)
{
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    unsetenv("TMPDIR");
    const std::string folder = Folders::temporaryFolder();
    EXPECT_TRUE(folder.starts_with("/tmp/kora-") && folder.ends_with('/')) << folder;
    struct stat info = {};
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & (S_IFMT | 0777), S_IFDIR | 0700u);
    EXPECT_EQ(info.st_uid, getuid());

    TempFolder scratch;
    setenv("TMPDIR", scratch.path().substr(0, scratch.path().size() - 1).c_str(), 1);
    EXPECT_EQ(Folders::temporaryFolder(), scratch.path());
    if (old)
        setenv("TMPDIR", saved.c_str(), 1);
    else
        unsetenv("TMPDIR");
}

TEST(Folders, WhatIsMadeInAFolderSharedByItsGroupStaysWritableForTheGroup)
{
    const mode_t saved = umask(022);
    TempFolder scratch;
    const auto madeMode = [&](const std::string& name) {
        const std::string path = scratch.path() + name;
        close(open(path.c_str(), O_CREAT | O_WRONLY, 0666));
        struct stat info = {};
        stat(path.c_str(), &info);
        return info.st_mode & 0777;
    };
    Folders::shareWithGroup(scratch.path());
    EXPECT_EQ(madeMode("PRIVATE.LCK"), 0644u);
    chmod(scratch.path().c_str(), 02775);
    Folders::shareWithGroup(scratch.path());
    EXPECT_EQ(madeMode("SHARED.LCK"), 0664u);
    // A file made narrower by its maker (as SQLite makes databases), and one
    // replacing a file whose permissions were chosen.
    const auto replacedMode = [&](const std::string& name) {
        const std::string path = scratch.path() + name;
        AtomicFile::replace(path, [](const std::string& made) {
            close(open(made.c_str(), O_CREAT | O_WRONLY, 0644));
        });
        struct stat info = {};
        stat(path.c_str(), &info);
        return info.st_mode & 0777;
    };
    EXPECT_EQ(replacedMode("BACKUPPA.MDB"), 0664u);
    chmod((scratch.path() + "BACKUPPA.MDB").c_str(), 0660);
    EXPECT_EQ(replacedMode("BACKUPPA.MDB"), 0660u);
    umask(saved);
}

TEST(FormPlacement, CentresAtTwoFifthsOfTheScreenHeightAndNeverOffIt)
{
    const auto at = [](long screenWidth, long screenHeight, long width, long height) {
        const auto placement = FormPlacement::centred(screenWidth, screenHeight, width, height);
        return std::pair(placement.top, placement.left);
    };
    EXPECT_EQ(at(12000, 9000, 4000, 3000), std::pair(2100L, 4000L));
    // Whole parts are taken before the subtraction.
    EXPECT_EQ(at(12001, 9001, 4001, 3001), std::pair(3600L - 1500, 6000L - 2000));
    EXPECT_EQ(at(9600, 7200, 20000, 9000), std::pair(0L, 0L));
}

TEST(Settings, WritesTheExactLineAndReadsItBackButNothingBroken)
{
    TempFolder folder;
    EXPECT_FALSE(Settings::read(folder.path()));
    ASSERT_TRUE(Settings::write(folder.path(), {"INITIAL", "PA"}));
    ASSERT_TRUE(Settings::write(folder.path(), {"Main \"Line\"", "NJ"}));
    EXPECT_EQ(fileBytes(folder.file("KORA.INI")), "\"Main \"\"Line\"\"\",\"NJ\"\r\n");
    auto choice = Settings::read(folder.path());
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->workspace + "|" + choice->state, "Main \"Line\"|NJ");

    EXPECT_FALSE(Settings::read(""));
    EXPECT_FALSE(Settings::write("", {"INITIAL", "PA"}));
    EXPECT_FALSE(Settings::write(folder.file("no-such-folder/"), {"INITIAL", "PA"}));
    writeFile(folder.file("KORA.INI"), "\"INITIAL");
    EXPECT_FALSE(Settings::read(folder.path()));
}

TEST(LookupCommandStates, DisableExactlyWhatTheTabRulesSay)
{
    const struct
    {
        const char* name;
        ResultListView view;
        std::vector<Command> disabled; // every other command set is enabled
    } cases[] = {{"AnotherWindowActive", {false, 3, "", false}, {}},
                 {"AllCompanies",
                  {true, 0, "All Companies", false},
                  {Command::PrintLookupButton, Command::ExportLookupButton, Command::PrintSearch,
                   Command::Export}},
                 {"LookupTab", {true, 2, "Renewals", true}, {}},
                 {"LookupTabWithBlankCaption",
                  {true, 2, " ", true},
                  {Command::PrintLookupButton, Command::ExportLookupButton, Command::PrintSearch,
                   Command::Export}},
                 {"LookupTabWithoutFile",
                  {true, 4, "Gone", false},
                  {Command::NewLookupButton, Command::EditLookupButton, Command::BackupButton,
                   Command::ChangeStateButton, Command::PrintLookupButton,
                   Command::ExportLookupButton, Command::PrintManualButton, Command::UpdateButton,
                   Command::HelpButton, Command::ExitButton, Command::EditSearch,
                   Command::PrintSearch, Command::Export, Command::UpdateDatabase}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::map<Command, bool> states; // the state each command ends in once every rule has run
        for (const auto& [command, enabled] : lookupCommandStates(c.view))
            states[command] = enabled;
        ASSERT_EQ(states.size(), 15u); // ten buttons and five menu items
        for (const auto& [command, enabled] : states) {
            const bool expectDisabled =
                std::find(c.disabled.begin(), c.disabled.end(), command) != c.disabled.end();
            EXPECT_EQ(enabled, !expectDisabled) << commandName(command);
        }
    }
}

TEST(CommandNames, RoundTripEveryCommand)
{
    for (int index = 0; index < kCommandCount; ++index) {
        const auto command = static_cast<Command>(index);
        EXPECT_EQ(commandNamed(commandName(command)), command);
    }
    EXPECT_FALSE(commandNamed("mnuNothing"));
}

} // namespace
} // namespace kora::test
