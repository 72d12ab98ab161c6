#include "batch/BatchCommands.h"
#include "batch/BatchOptions.h"
#include "batch/UsageError.h"
#include "database/ServerRoles.h"
#include "database/StatePublication.h"

#include <iostream>

namespace kora {

int runPublish(const std::vector<std::string>& arguments)
{
    const BatchOptions options(
        arguments, {"--folder", "--state", "--server", "--agents", "--admins"}, {"--file"});
    if (options.has("--server") == options.has("--file"))
        throw UsageError("give either --server CONNINFO or --file");
    StatePublication publication(
        options.folder(), options.state(), [](const std::string& table, long long rows) {
            std::cerr << "Copying " << table << ": " << rows << " rows" << std::endl;
        });
    if (options.has("--file"))
        publication.toFile();
    else
        publication.toServer(options.required("--server"),
                             ServerRoles(options.value("--agents", ServerRoles::kAgents),
                                         options.value("--admins", ServerRoles::kAdmins)));
    std::cerr << options.state() << " is now in " << publication.where() << std::endl;
    return 0;
}

int runWhere(const std::vector<std::string>& arguments)
{
    const BatchOptions options(arguments, {"--folder", "--state"}, {});
    std::cout << StatePublication(options.folder(), options.state()).where() << '\n';
    return 0;
}

} // namespace kora
