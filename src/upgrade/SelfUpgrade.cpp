#include "upgrade/SelfUpgrade.h"

#include "base/Prompt.h"
#include "upgrade/UnpackScratch.h"

#include <algorithm>
#include <cctype>

namespace fs = std::filesystem;

namespace kora {

namespace {

bool isArchiveName(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name.size() >= 8 && name.compare(0, 4, "KORA") == 0 &&
           name.compare(name.size() - 4, 4, ".ZIP") == 0;
}

} // namespace

SelfUpgrade::SelfUpgrade(fs::path programFolder, Prompt& prompt, UpgradeProgress& progress,
                         UpgradeArchive::NotesBackup backup)
    : m_folder(std::move(programFolder)), m_prompt(prompt), m_progress(progress),
      m_backup(std::move(backup))
{
}

std::vector<std::string> SelfUpgrade::archives(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (isArchiveName(name) && entry->is_regular_file(error))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string SelfUpgrade::noArchiveMessage(const std::string& folder)
{
    return "The KORA*.ZIP file was not found in the directory (" + folder +
           ")  Please select the correct path and try again.";
}

SelfUpgrade::Ending SelfUpgrade::run(const std::string& sourceFolder)
{
    m_failed = false;
    const std::vector<std::string> found = archives(sourceFolder);
    if (found.empty()) {
        m_prompt.tell(noArchiveMessage(sourceFolder));
        return Ending::NoArchive;
    }
    m_progress.startWork();
    m_progress.status(kWorking);
    UnpackScratch::removeLeftovers(m_folder);
    UpgradeArchive installer(m_folder, m_prompt, m_progress, m_backup);
    // As each archive sets it anew, the last one installed decides how the
    // program goes on.
    std::optional<bool> upgradeContinue;
    for (const std::string& name : found) {
        if (const auto installed = installer.install(fs::path(sourceFolder) / name))
            upgradeContinue = installed;
        else
            m_failed = true;
    }
    m_progress.hideStatus();
    if (!upgradeContinue)
        return Ending::NothingInstalled;
    if (!*upgradeContinue) {
        m_prompt.tell(kRestart);
        return Ending::Restart;
    }
    m_prompt.tell(kSelectState);
    return Ending::SelectState;
}

} // namespace kora
