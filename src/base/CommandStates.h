#pragma once

#include "base/Command.h"

#include <string>
#include <utility>
#include <vector>

namespace kora {

// What the lookup commands depend on: whether the result list is the active
// window, and its selected tab.
struct ResultListView
{
    bool listActive = true;
    int tab = 0;
    std::string tabCaption;    // the selected tab's caption
    bool tabHasLookup = false; // a lookup tab whose lookup file is known
};

// The commands the result list enables and disables, in the order they are set,
// each with its state: the toolbar and the lookup menu items are enabled,
// then the rules of the selected tab disable some of them again.
std::vector<std::pair<Command, bool>> lookupCommandStates(const ResultListView& view);

} // namespace kora
