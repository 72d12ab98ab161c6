#include "shell/DemoInstallation.h"

#include "database/Dates.h"
#include "database/DemoData.h"
#include "database/StateCodes.h"
#include "database/UpdateRun.h"
#include "shell/Installation.h"

#include <filesystem>

namespace kora {

void DemoInstallation::create(const std::string& programFolder, long long companies,
                              LoadProgress& progress)
{
    Installation installation(programFolder);
    installation.create(false);
    const std::filesystem::path folder(programFolder);
    for (auto code : kStateCodes) {
        const std::string state(code);
        // SIC.DAT and CLASSES.DAT serve whichever state loads them first, so
        // each state gets its own before its run.
        DemoData(state, companies, Dates::today()).writeUpdateFiles(folder);
        progress.status("Loading " + state);
        Database db((folder / stateDatabaseName(state)).string(), installation.stateConnect(state));
        UpdateRun::run(db, folder, state, progress);
    }
}

} // namespace kora
