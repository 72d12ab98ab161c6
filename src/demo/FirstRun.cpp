#include "demo/FirstRun.h"

#include "base/StateCodes.h"
#include "database/ConnectString.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "loading/UpdateRun.h"

#include <filesystem>
#include <stdexcept>

namespace kora {

namespace {

bool holdsCompanies(const std::string& programFolder, const std::string& state)
{
    const std::string path = programFolder + stateDatabaseName(state);
    if (!std::filesystem::exists(path))
        return false;
    try {
        const std::string connect =
            Installation::stateConnectIn(programFolder + std::string(kSetupDatabaseName), state);
        if (isServerConnect(connect))
            return true;
        Database db(path, connect);
        Statement count = db.prepare("SELECT COUNT(*) FROM PRIME");
        return count.step() && count.column(0).toInteger() > 0;
    } catch (const DbError&) {
        return true;
    }
}

} // namespace

bool FirstRun::isNeeded(const std::string& programFolder)
{
    for (auto code : kStateCodes) {
        const std::string state(code);
        if (UpdateRun::isPending(programFolder, state) || holdsCompanies(programFolder, state))
            return false;
    }
    return true;
}

std::vector<std::string> FirstRun::placeUpdateFiles(const std::string& programFolder,
                                                    const std::vector<std::string>& files)
{
    std::vector<std::string> refused;
    for (const std::string& file : files) {
        const std::string name = std::filesystem::path(file).filename().string();
        if (!UpdateRun::isUpdateFileName(name)) {
            refused.push_back(name);
            continue;
        }
        const std::string target = programFolder + name;
        std::error_code error;
        if (std::filesystem::equivalent(file, target, error))
            continue;
        std::filesystem::copy_file(file, target, std::filesystem::copy_options::overwrite_existing,
                                   error);
        if (error)
            throw std::runtime_error("Could not copy " + file +
                                     " into the program folder: " + error.message());
    }
    return refused;
}

} // namespace kora
