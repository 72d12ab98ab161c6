#include "safekeeping/PendingRestore.h"

#include "base/StateCodes.h"
#include "safekeeping/UserDataRestore.h"

#include <filesystem>

namespace kora {

namespace fs = std::filesystem;

std::string PendingRestore::markerPath(const std::string& programFolder, const std::string& state)
{
    return programFolder + "REST" + state + ".DAT";
}

bool PendingRestore::isPending(const std::string& programFolder, const std::string& state)
{
    std::error_code unreadable;
    const auto length = fs::file_size(markerPath(programFolder, state), unreadable);
    return !unreadable && length != 0;
}

std::optional<UserDataCounts> PendingRestore::restore(const std::string& programFolder,
                                                      const std::string& state,
                                                      const std::string& stateConnect)
{
    if (!isPending(programFolder, state))
        return std::nullopt;
    const UserDataCounts counts = UserDataRestore::run(
        UserDataRestore::Mode::Restore, programFolder + stateDatabaseName(state), stateConnect,
        programFolder + backupDatabaseName(state));
    std::error_code ignored;
    fs::remove(markerPath(programFolder, state), ignored);
    return counts;
}

bool PendingRestore::run(const std::string& programFolder, const std::string& state,
                         const std::string& stateConnect, Prompt& prompt)
{
    const std::string backupPath = programFolder + backupDatabaseName(state);
    try {
        if (const auto counts = restore(programFolder, state, stateConnect))
            prompt.tell(
                UserDataRestore::message(UserDataRestore::Mode::Restore, *counts, backupPath),
                UserDataRestore::title(UserDataRestore::Mode::Restore), Prompt::Icon::Information);
    } catch (const std::exception& failure) {
        prompt.tell("The user notes and fields saved in " + backupPath +
                        " could not be restored: " + failure.what() +
                        "\r\nThey stay in the backup and will be restored the next time " + state +
                        " is chosen.",
                    UserDataRestore::title(UserDataRestore::Mode::Restore), Prompt::Icon::Warning);
        return false;
    }
    return true;
}

} // namespace kora
