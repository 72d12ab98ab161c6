#include "batch/BatchCommands.h"
#include "batch/BatchOptions.h"
#include "batch/StreamProgress.h"
#include "batch/UsageError.h"
#include "demo/DemoInstallation.h"

#include <iostream>

namespace kora {

int runDemo(const std::vector<std::string>& arguments)
{
    const BatchOptions options(arguments, {"--folder", "--companies"}, {});
    long long companies = DemoInstallation::kDefaultCompanies;
    if (options.has("--companies")) {
        const std::string text = options.value("--companies");
        size_t used = 0;
        try {
            companies = std::stoll(text, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != text.size() || companies < 1)
            throw UsageError("--companies must be a whole number of at least 1, not " + text);
    }
    StreamProgress progress(std::cerr);
    DemoInstallation::create(options.folder(), companies, progress);
    std::cerr << "Demo installation ready in " << options.folder() << "\n";
    return 0;
}

} // namespace kora
