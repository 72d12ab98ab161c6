#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kora {

// The rule for the names of archive members: a member is written inside the
// program folder or not at all.
class MemberName
{
public:
    // The member's path relative to the program folder, or nothing when the
    // name is empty, absolute, holds a drive letter or a backslash, or climbs
    // out through "..".
    static std::optional<std::filesystem::path> relativePath(const std::string& name);
    // True for a name that ends in "/", the way archivers store a folder.
    static bool isFolder(const std::string& name);
    // True when the last four characters are ".MDB", ".Mdb" or ".mdb".
    static bool isDatabase(const std::string& name);
    // True for the journal of a database: its name followed by "-wal",
    // "-shm" or "-journal".
    static bool isJournal(const std::string& name);
};

} // namespace kora
