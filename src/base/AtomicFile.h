#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kora {

// Replaces a file whole or not at all: the new content is made in a scratch
// file beside the target and renamed over it only once it is complete, so a
// failure (a full disk, a crash) never leaves a file half written or lost.
class AtomicFile
{
public:
    // Makes the scratch file with make(scratchPath), then renames it over path;
    // it keeps the permissions of the file it replaces.
    // Throws std::runtime_error naming path when either step fails; whatever
    // make throws is passed on. The scratch file never outlives the call.
    static void replace(const std::string& path,
                        const std::function<void(const std::string& scratchPath)>& make);
    // Writes content as the whole of path; false when it could not be written.
    static bool write(const std::string& path, std::string_view content);
};

} // namespace kora
