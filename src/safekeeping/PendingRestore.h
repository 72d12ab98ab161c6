#pragma once

#include "base/Prompt.h"
#include "safekeeping/UserDataCounts.h"

#include <optional>
#include <string>

namespace kora {

// The restore an upgrade leaves behind: after it saved a state's notes and
// fields and replaced the state database, a marker REST<st>.DAT tells the
// next acceptance of that state to put them back from BACKUP<st>.MDB.
class PendingRestore
{
public:
    static std::string markerPath(const std::string& programFolder, const std::string& state);
    // True when the marker is there and not empty.
    static bool isPending(const std::string& programFolder, const std::string& state);

    // Restores the state when a restore is pending and then deletes the
    // marker; nothing when none is. A restore that fails throws (DbError or
    // std::runtime_error) and keeps the marker.
    static std::optional<UserDataCounts> restore(const std::string& programFolder,
                                                 const std::string& state,
                                                 const std::string& stateConnect);
    // Restores the state when a restore is pending, telling the closing
    // message, and then deletes the marker. A restore that fails keeps the
    // marker, so that the next acceptance tries again, and says so.
    // False when a pending restore failed.
    static bool run(const std::string& programFolder, const std::string& state,
                    const std::string& stateConnect, Prompt& prompt);
};

} // namespace kora
