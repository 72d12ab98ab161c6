#include "base/CommandStates.h"

namespace kora {

std::vector<std::pair<Command, bool>> lookupCommandStates(const ResultListView& view)
{
    std::vector<std::pair<Command, bool>> states;
    auto set = [&states](std::initializer_list<Command> commands, bool enabled) {
        for (Command command : commands)
            states.emplace_back(command, enabled);
    };
    auto setToolbar = [&states](bool enabled) {
        for (int index = 0; index < kToolbarButtonCount; ++index)
            states.emplace_back(toolbarButton(index), enabled);
    };

    setToolbar(true);
    set({Command::NewSearch, Command::EditSearch, Command::PrintSearch, Command::Export,
         Command::UpdateDatabase},
        true);
    if (!view.listActive)
        return states;
    if (view.tab == 0)
        set({Command::PrintLookupButton, Command::ExportLookupButton, Command::PrintSearch,
             Command::Export},
            false);
    // A caption that sorts before "!" is empty or blank: no lookup to print. Edit
    // Search stays, on a lookup tab for its own lookup.
    if (view.tabCaption < "!")
        set({Command::PrintLookupButton, Command::ExportLookupButton, Command::PrintSearch,
             Command::Export},
            false);
    if (view.tab >= 1 && !view.tabHasLookup) {
        setToolbar(false);
        set({Command::EditSearch, Command::PrintSearch, Command::Export, Command::UpdateDatabase},
            false);
    }
    return states;
}

} // namespace kora
