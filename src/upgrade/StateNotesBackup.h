#pragma once

#include "upgrade/UpgradeArchive.h"

#include <string>

namespace kora {

// The backup of a state's user notes and fields that the upgrade runs before
// it replaces that state's database in the program folder.
UpgradeArchive::NotesBackup stateNotesBackup(const std::string& programFolder);

} // namespace kora
