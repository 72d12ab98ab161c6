#include "upgrade/StateNotesBackup.h"

#include <stdexcept>

namespace kora {

UpgradeArchive::NotesBackup stateNotesBackup(const std::string& programFolder)
{
    // Until the notes backup routine is part of the program, no state
    // database is replaced: its notes could not be kept.
    return [programFolder](const std::string& state) {
        throw std::runtime_error("the backup of user notes into " + programFolder + "BACKUP" +
                                 state + ".MDB is not part of this version");
    };
}

} // namespace kora
