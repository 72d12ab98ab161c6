#include "demo/DemoInstallation.h"

#include "base/Dates.h"
#include "base/Folders.h"
#include "base/StateCodes.h"
#include "database/Installation.h"
#include "demo/DemoData.h"
#include "loading/UpdateRun.h"
#include "lookup/LookupFolder.h"

#include <filesystem>
#include <stdexcept>

namespace kora {

void DemoInstallation::create(const std::string& programFolder, long long companies,
                              LoadProgress& progress)
{
    Installation installation(programFolder);
    installation.create(false);
    const std::filesystem::path folder(programFolder);
    for (auto code : kStateCodes) {
        const std::string state(code);
        progress.status("Loading " + state);
        Database db((folder / stateDatabaseName(state)).string(), installation.stateConnect(state));
        // Two deliveries, so that the latest load has new companies and new
        // mods to show. SIC.DAT and CLASSES.DAT serve whichever state loads
        // them first, so each state gets its own before each run.
        for (auto delivery : {DemoData::Delivery::Earlier, DemoData::Delivery::Latest}) {
            DemoData(state, companies, Dates::today(), delivery).writeUpdateFiles(folder);
            UpdateRun::run(db, folder, state, progress);
        }
    }
    addSampleLookups(Folders::withSeparator(programFolder) + "INITIAL/");
}

void DemoInstallation::addSampleLookups(const std::string& workspaceFolder)
{
    // A few lookups of the kind agents keep, so the result list has tabs to try.
    LookupFolder lookups(workspaceFolder);
    if (!lookups.lookupFiles().empty())
        return;
    const std::vector<std::pair<std::string, std::vector<SQLPARAMETER>>> samples = {
        {"High mods", {{"", "Experience Mod.", "1.250", "9.999", "MOD", false}}},
        {"Renewals Jan-Mar", {{"", "Expiration Date", "0101", "0331", "EXPIRE", false}}},
        {"Contractors, not roofing",
         {{"", "SIC Code", "1500", "1799", "SIC", false},
          {"", "SIC Code", "1760", "1769", "SIC", true}}}};
    for (const auto& [title, criteria] : samples)
        if (!lookups.save(title, criteria, "").saved())
            throw std::runtime_error("Cannot write the sample lookup " + title);
}

} // namespace kora
