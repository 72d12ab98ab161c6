#include "base/CommandStates.h"

#include <gtest/gtest.h>

#include <map>

namespace kora {
namespace {

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
                 {"LookupTab",
                  {true, 2, "Renewals", true},
                  {Command::EditLookupButton, Command::EditSearch}},
                 {"LookupTabWithBlankCaption",
                  {true, 2, " ", true},
                  {Command::PrintLookupButton, Command::ExportLookupButton, Command::EditSearch,
                   Command::PrintSearch, Command::Export, Command::EditLookupButton}},
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
} // namespace kora
