#include "lookup/LookupFolder.h"

#include "base/Folders.h"
#include "lookup/LookupFile.h"

#include <algorithm>
#include <filesystem>

namespace kora {

namespace fs = std::filesystem;

namespace {

const char* const kUntitledTitle = "UNTITLED";
const char* const kUntitledFile = "UNTITLED.KRD";
const char* const kEditorTitle = "Enter Selection Parameters";

bool isLookupFileName(const std::string& name)
{
    if (name.size() < 4)
        return false;
    std::string extension = name.substr(name.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension == ".KRD";
}

std::string slotName(int slot)
{
    return "SEARCH" + std::to_string(slot) + ".KRD";
}

// The characters of a UTF-8 text: every byte but those continuing a character.
size_t characterCount(const std::string& text)
{
    return static_cast<size_t>(std::count_if(text.begin(), text.end(),
                                             [](unsigned char c) { return (c & 0xC0) != 0x80; }));
}

} // namespace

LookupFolder::LookupFolder(const std::string& folder) : m_folder(Folders::withSeparator(folder)) {}

std::vector<std::string> LookupFolder::lookupFiles() const
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(m_folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (isLookupFileName(name) && it->is_regular_file(error))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> LookupFolder::freeSlot() const
{
    for (int slot = 1; slot <= kNamedSlots; ++slot) {
        std::error_code error;
        const auto size = fs::file_size(path(slotName(slot)), error);
        if (error || size == 0)
            return slotName(slot);
    }
    return std::nullopt;
}

LookupFolder::SaveResult LookupFolder::save(const std::string& title,
                                            const std::vector<SQLPARAMETER>& criteria,
                                            const std::string& currentFile) const
{
    if (const size_t length = characterCount(title); length > kLongestTitle)
        return {{},
                LookupMessage{"The title is " + std::to_string(length) +
                                  " characters long. A lookup title can have at most " +
                                  std::to_string(kLongestTitle) +
                                  " characters, so that it fits its tab and the printed header.",
                              kEditorTitle, LookupMessage::Icon::Exclamation}};
    std::string fileName;
    if (title == kUntitledTitle) {
        fileName = kUntitledFile;
    } else if (!currentFile.empty()) {
        fileName = currentFile;
    } else if (auto slot = freeSlot()) {
        fileName = *slot;
    } else {
        return {{},
                LookupMessage{"Cannot write search information to disk!  Maximum searches is 8 "
                              "named searches and 1 untitled search.",
                              kEditorTitle, LookupMessage::Icon::Exclamation}};
    }

    if (!LookupFile::write(path(fileName), title, criteria))
        return {{},
                LookupMessage{"Cannot write the lookup file " + path(fileName) + ".", kEditorTitle,
                              LookupMessage::Icon::Exclamation}};
    std::error_code error;
    fs::remove(path(LookupFile::companionName(fileName)), error);
    return {fileName, std::nullopt};
}

void LookupFolder::remove(const std::string& fileName) const
{
    std::error_code error;
    fs::remove(path(fileName), error);
    fs::remove(path(LookupFile::companionName(fileName)), error);
}

} // namespace kora
