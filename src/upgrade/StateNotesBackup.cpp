#include "upgrade/StateNotesBackup.h"

#include "base/Folders.h"
#include "database/Installation.h"
#include "safekeeping/UserDataBackup.h"

namespace kora {

UpgradeArchive::NotesBackup stateNotesBackup(const std::string& programFolder)
{
    const std::string folder = Folders::withSeparator(programFolder);
    // A failure throws, which stops the archive before anything is unpacked.
    return [folder](const std::string& state) {
        UserDataBackup::run(folder, state, Installation(folder).stateConnect(state));
    };
}

} // namespace kora
