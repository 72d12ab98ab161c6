#pragma once

#include "safekeeping/UserDataCounts.h"

#include <string>

namespace kora {

// Puts the user's notes and fields from a backup database back into a state
// database, in one transaction: a failure leaves the state database as it
// was. The backup's user fields always win, with the replacement address of
// an "!&" company; a restore replaces the notes, a merge appends the backup's
// note to the current one. Companies no longer in the state are passed over,
// and so is a note another user's record window holds.
class UserDataRestore
{
public:
    enum class Mode
    {
        Restore,
        Merge
    };

    // Throws DbError when either database cannot be read or the state
    // database cannot be written.
    static UserDataCounts run(Mode mode, const std::string& statePath,
                              const std::string& stateConnect, const std::string& backupPath);

    // The closing message, "3 User Notes and 2 Fields Restored From PATH" or
    // "... Merged From PATH", with a line on the notes that were held by another user.
    static std::string message(Mode mode, const UserDataCounts& counts,
                               const std::string& backupPath);
    // "Restore Complete" or "Merge Complete".
    static std::string title(Mode mode);
};

} // namespace kora
