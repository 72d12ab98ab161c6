#include "upgrade/UnpackScratch.h"

#include <vector>

namespace fs = std::filesystem;

namespace kora {

namespace {

constexpr const char* kTag = ".kora-unpack-";

} // namespace

std::string UnpackScratch::pattern(const fs::path& target)
{
    return target.string() + kTag + "XXXXXX";
}

void UnpackScratch::removeLeftovers(const fs::path& folder)
{
    std::vector<fs::path> leftovers;
    std::error_code error;
    for (fs::recursive_directory_iterator
             entry(folder, fs::directory_options::skip_permission_denied, error),
         end;
         !error && entry != end; entry.increment(error)) {
        if (entry->is_regular_file(error) &&
            entry->path().filename().string().find(kTag) != std::string::npos)
            leftovers.push_back(entry->path());
    }
    for (const fs::path& leftover : leftovers)
        fs::remove(leftover, error);
}

} // namespace kora
