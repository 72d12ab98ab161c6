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

bool PendingRestore::run(const std::string& programFolder, const std::string& state,
                         const std::string& stateConnect, Prompt& prompt)
{
    if (!isPending(programFolder, state))
        return true;
    const std::string backupPath = programFolder + backupDatabaseName(state);
    try {
        const UserDataCounts counts = UserDataRestore::run(UserDataRestore::Mode::Restore,
                                                           programFolder + stateDatabaseName(state),
                                                           stateConnect, backupPath);
        prompt.tell(UserDataRestore::message(counts, backupPath),
                    UserDataRestore::title(UserDataRestore::Mode::Restore),
                    Prompt::Icon::Information);
    } catch (const std::exception& failure) {
        prompt.tell("The user notes and fields saved in " + backupPath +
                        " could not be restored: " + failure.what() +
                        "\r\nThey stay in the backup and will be restored the next time " + state +
                        " is chosen.",
                    UserDataRestore::title(UserDataRestore::Mode::Restore), Prompt::Icon::Warning);
        return false;
    }
    std::error_code ignored;
    fs::remove(markerPath(programFolder, state), ignored);
    return true;
}

} // namespace kora
