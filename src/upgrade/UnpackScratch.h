#pragma once

#include <filesystem>
#include <string>

namespace kora {

// The scratch files an archive is unpacked into, each beside the place of its
// member, before they are renamed over the installed files.
class UnpackScratch
{
public:
    // The mkstemp template of the scratch file of a member bound for target.
    static std::string pattern(const std::filesystem::path& target);
    // Removes, in the folder and its sub-folders, the scratch files (and the
    // journals of their checks) of an unpacking that did not finish.
    static void removeLeftovers(const std::filesystem::path& folder);
};

} // namespace kora
