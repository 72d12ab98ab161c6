#pragma once

#include "database/Database.h"
#include "loading/DataLoader.h"
#include "loading/LoadProgress.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kora {

// The update run at start: loads the update files of one state found in the
// program folder, in a fixed order, and records the date of a company load in
// VERSION. The question and the splash are the windows' part.
class UpdateRun
{
public:
    // The question asked before a run; OK starts it.
    static constexpr std::string_view kQuestion =
        "When you click on OK, Kora will update your data base for the state that you have "
        "selected.  This update may take more than one hour depending on the speed of your "
        "computer and the amount of data to be updated.  If you choose to cancel, Kora will "
        "again attempt to do this update the next time a user begins the program and selects "
        "this state.\r\n\r\nIf you are using a Network, please make sure that no other user "
        "activates Kora while the update is running.  Also, be sure that you have read the "
        "installation instructions pertaining to record locking parameters.";

    // The key of the lock an update run holds on its state database.
    static constexpr std::string_view kLockKey = "\x1fupdate";

    // One load of a run: its operation name, the file it reads and the call.
    struct Step
    {
        std::string operation;
        std::string fileName;
        void (DataLoader::*load)();
    };

    // The loads whose files are present (not empty), in the order they run.
    static std::vector<Step> steps(const std::filesystem::path& programFolder,
                                   const std::string& state);
    // Whether an update waits for the state; the New York address file alone is none.
    static bool isPending(const std::filesystem::path& programFolder, const std::string& state);
    // Whether a bare file name is that of an update file of some state ("DATAPA.DAT").
    static bool isUpdateFileName(const std::string& name);
    // What is wrong with the update files of the state that are there but
    // cannot be loaded: empty files, folders and other files that are not
    // regular files ("DATAPA.DAT is empty").
    static std::vector<std::string> unusableFiles(const std::filesystem::path& programFolder,
                                                  const std::string& state);
    // Runs every present load on the open state database and returns what
    // the run found odd: unusable files and the notices of the loads. Throws
    // LoadError on the first load that fails, or at once while another run
    // updates the state; the loads before it stay done, their files deleted.
    static std::vector<std::string> run(Database& db, const std::filesystem::path& programFolder,
                                        const std::string& state, LoadProgress& progress);

    // Adds what a state database of an older release lacks: an empty record
    // of load changes, and the mod trends worked out from PRIME and MODS
    // (seconds on a whole state), and an empty table of follow-ups. Does
    // nothing to a database that has them all.
    static void addMissingTables(Database& db);

private:
    // Every load the state may have, in the order they run.
    static std::vector<Step> allSteps(const std::string& state);
    static void rewriteVersion(Database& db);
};

} // namespace kora
