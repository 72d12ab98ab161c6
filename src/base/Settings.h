#pragma once

#include <optional>
#include <string>

namespace kora {

// KORA.INI in the temporary folder: one line with the last workspace and
// state, "INITIAL","PA" followed by CR LF.
class Settings
{
public:
    struct Choice
    {
        std::string workspace;
        std::string state;
    };

    // The settings file inside the given temporary folder (which ends in "/").
    static std::string path(const std::string& temporaryFolder);
    // Replaces the file; false when it cannot be written.
    static bool write(const std::string& temporaryFolder, const Choice& choice);
    // No value when the file is missing or unreadable.
    static std::optional<Choice> read(const std::string& temporaryFolder);
};

} // namespace kora
