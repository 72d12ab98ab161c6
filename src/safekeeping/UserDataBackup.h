#pragma once

#include "safekeeping/UserDataCounts.h"

#include <functional>
#include <string>

namespace kora {

// Saves the user's notes and fields of a state database into its backup
// database: every notes text and every company with a user field or the Omit
// mark set. Texts made of blanks count as empty.
class UserDataBackup
{
public:
    static constexpr const char* kTitle = "Backup Complete";

    // Saves the notes and fields of KORA<st>.MDB in the program folder into
    // BACKUP<st>.MDB there. A restore an upgrade left pending is carried out
    // first, so that the notes it waits for are saved again instead of being
    // replaced by those of the new database. One backup of a state runs at a
    // time: another one meanwhile fails, saying why. The backup is written
    // into a scratch file and renamed over the old one only when complete
    // (beforeReplacing runs just before), so a failure (DbError or
    // std::runtime_error) leaves the last good backup as it was. A missing
    // backup database is made new.
    static UserDataCounts run(const std::string& programFolder, const std::string& state,
                              const std::string& stateConnect,
                              const std::function<void()>& beforeReplacing = {});

    // The closing message: "3 User Notes and 2 Fields Saved to PATH".
    static std::string message(const UserDataCounts& counts, const std::string& backupPath);
};

} // namespace kora
