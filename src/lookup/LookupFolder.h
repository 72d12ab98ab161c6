#pragma once

#include "base/LookupMessage.h"
#include "lookup/SQLPARAMETER.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kora {

// The lookup files of one workspace folder: at most eight named lookups,
// SEARCH1.KRD to SEARCH8.KRD, and UNTITLED.KRD.
class LookupFolder
{
public:
    static constexpr int kNamedSlots = 8;
    // The longest title a tab and a printed header show whole.
    static constexpr size_t kLongestTitle = 60;

    // What a save did: the file written, or the message to show instead
    // (the editor then stays open).
    struct SaveResult
    {
        std::string fileName;
        std::optional<LookupMessage> message;

        bool saved() const { return !fileName.empty(); }
    };

    explicit LookupFolder(const std::string& folder);

    const std::string& folder() const { return m_folder; }
    std::string path(const std::string& fileName) const { return m_folder + fileName; }

    // The names of the *.KRD files in file-name order.
    std::vector<std::string> lookupFiles() const;

    // Writes a lookup with the editor's title. The title "UNTITLED" always goes
    // to UNTITLED.KRD; an edited lookup (currentFile not empty) keeps its file;
    // a new named lookup takes the first free slot, where a missing or empty
    // file is free. The companion exclusion file of the file written is deleted.
    // A title longer than kLongestTitle characters is refused.
    SaveResult save(const std::string& title, const std::vector<SQLPARAMETER>& criteria,
                    const std::string& currentFile) const;

    // Deletes a lookup file and its companion; files already gone are ignored.
    void remove(const std::string& fileName) const;

private:
    std::optional<std::string> freeSlot() const;

    std::string m_folder;
};

} // namespace kora
