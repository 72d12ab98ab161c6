#pragma once

#include <string>
#include <string_view>

namespace kora {

// The text without its leading and trailing blanks; fixed-width fields come
// padded with blanks, and the user's own texts may be.
inline std::string_view trimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The text without its trailing blanks.
inline std::string withoutTrailingBlanks(std::string text)
{
    const auto last = text.find_last_not_of(' ');
    text.erase(last == std::string::npos ? 0 : last + 1);
    return text;
}

} // namespace kora
