#include "batch/BatchCommands.h"
#include "batch/BatchLookup.h"
#include "batch/UsageError.h"
#include "database/Database.h"
#include "results/Breakdown.h"
#include "safekeeping/StateAcceptance.h"

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

    Database db = StateAcceptance::openState(options.folder(), options.state());
    const Breakdown::Counts counts = Breakdown::count(db, search->source(), by);
    std::cout << Breakdown::text(counts.groups);
    std::cerr << counts.omitted << " omitted companies not counted\n";
    return 0;
}

} // namespace kora
