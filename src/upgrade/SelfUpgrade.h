#pragma once

#include "upgrade/UpgradeArchive.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kora {

class Prompt;

// The upgrade window's Start without the window: installs the KORA*.ZIP
// archives of a source folder into the program folder, one after another,
// and tells how the program goes on.
class SelfUpgrade
{
public:
    enum class Ending
    {
        NoArchive,        // nothing to install; the window stays
        NothingInstalled, // every archive was refused or unreadable; the window stays
        Restart,          // a database was replaced: the program ends
        SelectState       // program files only: the user chooses a state again
    };

    SelfUpgrade(std::filesystem::path programFolder, Prompt& prompt, UpgradeProgress& progress,
                UpgradeArchive::NotesBackup backup);

    Ending run(const std::string& sourceFolder);
    // True when an archive was refused or could not be read in the last run.
    bool hadFailure() const { return m_failed; }

    // The names of the archives KORA*.ZIP (letter case aside) in file-name order.
    static std::vector<std::string> archives(const std::filesystem::path& folder);
    static std::string noArchiveMessage(const std::string& folder);
    static constexpr const char* kWorking = "Updating... please wait";
    static constexpr const char* kRestart = "Upgrade complete.  Restart KORA to activate changes!";
    static constexpr const char* kSelectState = "Upgrade complete.  Select State!";

private:
    std::filesystem::path m_folder;
    Prompt& m_prompt;
    UpgradeProgress& m_progress;
    UpgradeArchive::NotesBackup m_backup;
    bool m_failed = false;
};

} // namespace kora
