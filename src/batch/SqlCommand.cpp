#include "batch/BatchCommands.h"
#include "batch/BatchLookup.h"

#include <iostream>

namespace kora {

int runSql(const std::vector<std::string>& arguments)
{
    const BatchOptions options(arguments, {"--folder", "--state", "--lookup"}, {});
    const auto search = BatchLookup::setUp(options);
    if (!search)
        return 1;
    std::cout << search->CurSQL() << "\n";
    return 0;
}

} // namespace kora
