#include "base/Blanks.h"
#include "base/Dates.h"
#include "batch/BatchCommands.h"
#include "batch/BatchOptions.h"
#include "batch/UsageError.h"
#include "database/Database.h"
#include "lookup/LookupNumber.h"
#include "results/FollowUps.h"
#include "safekeeping/StateAcceptance.h"

#include <iostream>

namespace kora {

int runFollowUps(const std::vector<std::string>& arguments)
{
    const BatchOptions options(arguments, {"--folder", "--state", "--due"}, {});
    const std::string dueText = options.value("--due", "0");
    const std::optional<int> days = LookupNumber::signedWhole(dueText);
    if (!days)
        throw UsageError("--due must be a whole number of days, not " + dueText);

    Database db = StateAcceptance::openState(options.folder(), options.state());
    for (const FollowUps::Due& due : FollowUps(db).dueBy(Dates::addDays(Dates::today(), *days)))
        std::cout << due.due << '\t' << due.file << '\t' << due.sequence << '\t'
                  << withoutTrailingBlanks(due.name) << '\t' << due.text << '\n';
    return 0;
}

} // namespace kora
