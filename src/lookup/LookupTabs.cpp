#include "lookup/LookupTabs.h"

#include "lookup/LookupFile.h"

namespace kora {

namespace {

const std::string kNoEntry;

} // namespace

LookupTabs::LookupTabs(const std::string& workspaceFolder) : m_folder(workspaceFolder) {}

int LookupTabs::reload(int selectedTab)
{
    m_files.fill({});
    m_captions.fill({});
    const auto names = m_folder.lookupFiles();
    for (size_t i = 0; i < names.size() && i < kLookupTabs; ++i) {
        const auto criteria = LookupFile::read(m_folder.path(names[i]));
        m_files[i + 1] = names[i];
        m_captions[i + 1] = criteria ? criteria->front().SQLDESC : names[i];
    }
    // A tab whose lookup has gone is not shown again.
    return selectedTab > count() ? 0 : selectedTab;
}

const std::string& LookupTabs::fileOfTab(int tab) const
{
    return tab >= 0 && tab < static_cast<int>(m_files.size()) ? m_files[tab] : kNoEntry;
}

const std::string& LookupTabs::caption(int tab) const
{
    return tab >= 0 && tab < static_cast<int>(m_captions.size()) ? m_captions[tab] : kNoEntry;
}

int LookupTabs::count() const
{
    int filled = 0;
    while (filled < kLookupTabs && !m_files[filled + 1].empty())
        ++filled;
    return filled;
}

void LookupTabs::chooseCurrentFile(bool newSearch, int selectedTab)
{
    m_currentFile.clear();
    if (!newSearch && selectedTab >= 1)
        m_currentFile = fileOfTab(selectedTab);
}

} // namespace kora
