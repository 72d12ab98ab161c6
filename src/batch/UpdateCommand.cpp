#include "base/StateCodes.h"
#include "batch/BatchCommands.h"
#include "batch/BatchOptions.h"
#include "batch/StreamProgress.h"
#include "database/Installation.h"
#include "loading/LoadError.h"
#include "loading/UpdateRun.h"

#include <filesystem>
#include <iostream>
#include <stdexcept>

namespace kora {

namespace {

std::string joined(const std::vector<std::string>& texts)
{
    std::string text;
    for (const std::string& part : texts)
        text += (text.empty() ? "" : "; ") + part;
    return text;
}

} // namespace

int runUpdate(const std::vector<std::string>& arguments)
{
    const BatchOptions options(arguments, {"--folder", "--state"}, {"--force"});
    const std::string state = options.state();
    const std::filesystem::path folder(options.folder());
    if (!UpdateRun::isPending(folder, state)) {
        const std::vector<std::string> unusable = UpdateRun::unusableFiles(folder, state);
        if (!unusable.empty())
            throw std::runtime_error(joined(unusable));
        std::cerr << "No update for " << state << " in " << folder.string() << "\n";
        return 0;
    }
    Database db((folder / stateDatabaseName(state)).string(),
                Installation(folder.string()).stateConnect(state));
    StreamProgress progress(std::cerr, options.has("--force"));
    std::vector<std::string> notices;
    try {
        notices = UpdateRun::run(db, folder, state, progress);
    } catch (const LoadError& failure) {
        if (!progress.asked() || options.has("--force"))
            throw;
        throw std::runtime_error(std::string(failure.what()) + " (--force loads it)");
    }
    for (const std::string& notice : notices)
        std::cerr << notice << "\n";
    std::cerr << "Update of " << state << " finished\n";
    return 0;
}

} // namespace kora
