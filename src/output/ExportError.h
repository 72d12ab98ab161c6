#pragma once

#include <stdexcept>
#include <string>

namespace kora {

// An export that could not be made; what() is the message the user is shown.
class ExportError : public std::runtime_error
{
public:
    explicit ExportError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace kora
