#pragma once

#include "safekeeping/UserDataCounts.h"

#include <string>

namespace kora {

// Saves the user's notes and fields of a state database into its backup
// database: every notes text and every company with a user field or the Omit
// mark set. Texts made of blanks count as empty.
class UserDataBackup
{
public:
    static constexpr const char* kTitle = "Backup Complete";

    // Writes the backup into a scratch file beside backupPath and renames it
    // over the old one only when complete, so a failure (DbError or
    // std::runtime_error) leaves the last good backup as it was. A missing
    // backup database is made new.
    static UserDataCounts run(const std::string& statePath, const std::string& stateConnect,
                              const std::string& backupPath);

    // The closing message: "3 User Notes and 2 Fields Saved to PATH".
    static std::string message(const UserDataCounts& counts, const std::string& backupPath);
};

} // namespace kora
