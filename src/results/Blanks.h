#pragma once

#include <string>

namespace kora {

// The text without its leading and trailing blanks; fixed-width fields come
// padded with blanks, and the user's own texts may be.
inline std::string trimBlanks(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace kora
