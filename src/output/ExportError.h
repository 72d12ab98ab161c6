#pragma once

#include <stdexcept>
#include <string>

namespace kora {

// An export that could not be made; what() is the message the user is shown.
class ExportError : public std::runtime_error
{
public:
    explicit ExportError(const std::string& message) : std::runtime_error(message) {}

    // A file that could not be written to its end: its name and the reason.
    static ExportError cannotWrite(const std::string& target, const std::string& reason)
    {
        return ExportError("CANNOT WRITE OUTPUT FILE! " + target + ": " + reason);
    }
};

} // namespace kora
