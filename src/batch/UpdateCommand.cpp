#include "base/StateCodes.h"
#include "batch/BatchCommands.h"
#include "batch/BatchOptions.h"
#include "batch/StreamProgress.h"
#include "database/Installation.h"
#include "loading/UpdateRun.h"

#include <filesystem>
#include <iostream>

namespace kora {

int runUpdate(const std::vector<std::string>& arguments)
{
    const BatchOptions options(arguments, {"--folder", "--state"}, {});
    const std::string state = options.state();
    const std::filesystem::path folder(options.folder());
    if (!UpdateRun::isPending(folder, state)) {
        std::cerr << "No update for " << state << " in " << folder.string() << "\n";
        return 0;
    }
    Database db((folder / stateDatabaseName(state)).string(),
                Installation(folder.string()).stateConnect(state));
    StreamProgress progress(std::cerr);
    UpdateRun::run(db, folder, state, progress);
    std::cerr << "Update of " << state << " finished\n";
    return 0;
}

} // namespace kora
