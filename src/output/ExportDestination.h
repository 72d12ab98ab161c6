#pragma once

#include <optional>
#include <string>

namespace kora {

// Where an export goes when the agent types it instead of choosing it, and
// what the export window says when it is done.
class ExportDestination
{
public:
    // The file the path box names, a relative path taken in folder; nothing
    // when the box names no file: empty, a folder, or an extension alone
    // such as the ".TXT" the box starts with.
    static std::optional<std::string> typedFile(const std::string& box, const std::string& folder);
    // The folder of a file, remembered for the next export.
    static std::string folderOf(const std::string& file);
    // "Export done: 12 companies written to /home/agent/EXPORT.CSV".
    static std::string doneMessage(long long companies, const std::string& file);
};

} // namespace kora
