#pragma once

#include "loading/LoadProgress.h"

#include <string>

namespace kora {

// A program folder to try KORA on: an installation whose six state databases
// are loaded with synthetic data through the same update run as a delivery.
class DemoInstallation
{
public:
    static constexpr long long kDefaultCompanies = 2000;

    // Creates what is missing of the installation (existing files are kept),
    // then writes and loads the update files of every state, each with
    // `companies` employers. Throws on the first failure.
    static void create(const std::string& programFolder, long long companies,
                       LoadProgress& progress);

private:
    static void addSampleLookups(const std::string& workspaceFolder);
};

} // namespace kora
