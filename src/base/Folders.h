#pragma once

#include <string>

namespace kora {

// Where KORA keeps its files (the program folder is the folder of the program).
class Folders
{
public:
    // The user's private temporary folder, ending in "/": $TMPDIR when set,
    // otherwise <system temp>/kora-<user>, created with mode 0700. Empty when
    // no such folder can be had (callers then skip their work).
    static std::string temporaryFolder();
    // A folder path with its trailing separator.
    static std::string withSeparator(const std::string& folder);
    // In a program folder that its group shares (set-group-ID folder), what
    // this process makes stays readable and writable for the group, whatever
    // the user's umask: the next agent opens the same lock files and lookups.
    static void shareWithGroup(const std::string& programFolder);
};

} // namespace kora
