#include "base/Folders.h"
#include "base/StateCodes.h"
#include "batch/BatchCommands.h"
#include "batch/BatchLookup.h"
#include "batch/UsageError.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "loading/UpdateRun.h"
#include "results/Breakdown.h"

#include <iostream>

namespace kora {

int runBreakdown(const std::vector<std::string>& arguments)
{
    const BatchOptions options(arguments, {"--folder", "--state", "--lookup", "--by"}, {});
    Breakdown::By by{};
    const std::string name = options.value("--by", "");
    if (!Breakdown::byName(name, by))
        throw UsageError("--by must be county, sic, modband or month, not " + name);
    auto search = BatchLookup::setUp(options);
    if (!search)
        return 1;

    const std::string folder = Folders::withSeparator(options.folder());
    Database db(folder + stateDatabaseName(options.state()),
                Installation(folder).stateConnect(options.state()));
    UpdateRun::addMissingTables(db);
    const Breakdown::Counts counts = Breakdown::count(db, search->source(), by);
    std::cout << Breakdown::text(counts.groups);
    std::cerr << counts.omitted << " omitted companies not counted\n";
    return 0;
}

} // namespace kora
