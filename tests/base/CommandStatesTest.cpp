#include "base/CommandStates.h"

#include <gtest/gtest.h>

#include <map>

namespace kora {
namespace {

struct CommandCase
{
    const char* name;
    ResultListView view;
    std::vector<Command> disabled; // every other command set is enabled
};

class LookupCommandStatesTest : public ::testing::TestWithParam<CommandCase>
{
};

TEST_P(LookupCommandStatesTest, DisablesExactlyWhatTheTabRulesSay)
{
    const CommandCase& c = GetParam();
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

INSTANTIATE_TEST_SUITE_P(
    Rules, LookupCommandStatesTest,
    ::testing::Values(
        CommandCase{"AnotherWindowActive", {false, 3, "", false}, {}},
        CommandCase{"AllCompanies",
                    {true, 0, "All Companies", false},
                    {Command::PrintLookupButton, Command::ExportLookupButton, Command::PrintSearch,
                     Command::Export}},
        CommandCase{"LookupTab",
                    {true, 2, "Renewals", true},
                    {Command::EditLookupButton, Command::EditSearch}},
        CommandCase{"LookupTabWithBlankCaption",
                    {true, 2, " ", true},
                    {Command::PrintLookupButton, Command::ExportLookupButton, Command::EditSearch,
                     Command::PrintSearch, Command::Export, Command::EditLookupButton}},
        CommandCase{"LookupTabWithoutFile",
                    {true, 4, "Gone", false},
                    {Command::NewLookupButton, Command::EditLookupButton, Command::BackupButton,
                     Command::ChangeStateButton, Command::PrintLookupButton,
                     Command::ExportLookupButton, Command::PrintManualButton, Command::UpdateButton,
                     Command::HelpButton, Command::ExitButton, Command::EditSearch,
                     Command::PrintSearch, Command::Export, Command::UpdateDatabase}}),
    [](const auto& info) { return std::string(info.param.name); });

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
