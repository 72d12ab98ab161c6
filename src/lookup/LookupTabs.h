#pragma once

#include "lookup/LookupFolder.h"

#include <array>
#include <string>

namespace kora {

// The lookup tabs of the result list: the tab-to-file table (entry 0 is the
// all-companies tab and stays empty, entries 1 to 9 name the lookup files of
// tabs 1 to 9), their captions, and the current lookup file the editor reads.
class LookupTabs
{
public:
    static constexpr int kLookupTabs = 9;

    explicit LookupTabs(const std::string& workspaceFolder);

    const LookupFolder& folder() const { return m_folder; }

    // Rebuilds the table and captions from the workspace folder: the first nine
    // lookup files in file-name order, each captioned with its title (a file that
    // cannot be read with its file name). Returns the tab to select afterwards:
    // selectedTab again, or 0 when that tab no longer has a lookup.
    int reload(int selectedTab);

    // The file name of a tab; empty when the tab has no lookup.
    const std::string& fileOfTab(int tab) const;
    const std::string& caption(int tab) const;
    // The number of tabs holding a lookup (tabs 1 to count()).
    int count() const;

    // Clears the current lookup file; unless a new lookup is being made, it then
    // takes the file of the selected lookup tab.
    void chooseCurrentFile(bool newSearch, int selectedTab);
    // The edit path sets the chosen lookup directly.
    void setCurrentFile(const std::string& fileName) { m_currentFile = fileName; }
    const std::string& currentFile() const { return m_currentFile; }

private:
    LookupFolder m_folder;
    std::array<std::string, 11> m_files;
    std::array<std::string, 11> m_captions;
    std::string m_currentFile;
};

} // namespace kora
