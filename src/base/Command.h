#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace kora {

// The main window's commands: the ten toolbar buttons in their order, then
// the menu items.
enum class Command
{
    NewLookupButton,
    EditLookupButton,
    BackupButton,
    ChangeStateButton,
    PrintLookupButton,
    ExportLookupButton,
    PrintManualButton,
    UpdateButton,
    HelpButton,
    ExitButton,
    NewState,
    Backup,
    PrinterSetup,
    Exit,
    NewSearch,
    EditSearch,
    PrintSearch,
    Export,
    UpdateDatabase,
    ProgramHelp,
    PrintManual,
    About,
    DataVersion,
    CopySql,
    Breakdown
};

inline constexpr int kCommandCount = static_cast<int>(Command::Breakdown) + 1;
inline constexpr int kToolbarButtonCount = 10;

// The object names of the commands' actions, in the order of the enumeration.
inline constexpr std::array<std::string_view, kCommandCount> kCommandNames = {
    "SSRibbon1_0",    "SSRibbon1_1",    "SSRibbon1_2", "SSRibbon1_3", "SSRibbon1_4",
    "SSRibbon1_5",    "SSRibbon1_6",    "SSRibbon1_7", "SSRibbon1_8", "SSRibbon1_9",
    "mnuNewState",    "mnuBackup",      "mnuPrinter",  "mnuExit",     "mnuNewSearch",
    "mnuEditSearch",  "mnuPrintSearch", "mnuExport",   "mnuUpdate",   "mnuHelp",
    "mnuPrintManual", "mnuAbout",       "mnuVersion",  "mnuSQLcopy",  "mnuBreakdown"};

inline constexpr std::string_view commandName(Command command)
{
    return kCommandNames[static_cast<int>(command)];
}

inline std::optional<Command> commandNamed(std::string_view name)
{
    for (int index = 0; index < kCommandCount; ++index)
        if (kCommandNames[index] == name)
            return static_cast<Command>(index);
    return std::nullopt;
}

inline constexpr Command toolbarButton(int index)
{
    return static_cast<Command>(index);
}

} // namespace kora
