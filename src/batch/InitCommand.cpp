#include "batch/BatchCommands.h"
#include "batch/BatchOptions.h"
#include "database/Installation.h"

#include <iostream>

namespace kora {

int runInit(const std::vector<std::string>& arguments)
{
    const BatchOptions options(arguments, {"--folder"}, {"--force"});
    Installation(options.folder()).create(options.has("--force"));
    std::cerr << "Installation ready in " << options.folder() << "\n";
    return 0;
}

} // namespace kora
