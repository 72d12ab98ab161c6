#pragma once

#include <string>
#include <vector>

namespace kora {

// A program folder that holds no data yet, and the two ways to give it some:
// the demo data (DemoInstallation), or a delivery's update files copied in
// from elsewhere, which the next acceptance of their state loads.
class FirstRun
{
public:
    // True when no state database holds a company and no update waits for a
    // state. A state on a server, or one whose database will not open, counts
    // as data: opening the state deals with it.
    static bool isNeeded(const std::string& programFolder);

    // Copies the update files among `files` into the program folder, over
    // files of the same names. Returns the names of the files left alone
    // because they are no update files.
    static std::vector<std::string> placeUpdateFiles(const std::string& programFolder,
                                                     const std::vector<std::string>& files);
};

} // namespace kora
