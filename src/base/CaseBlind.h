#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace kora {

// The letter A to Z as its lower-case form; any other byte as it stands.
inline int asciiLower(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// A text with its letters A to Z in lower case, as the server names tables.
inline std::string asciiLowered(std::string_view text)
{
    std::string lowered(text);
    for (char& c : lowered)
        c = static_cast<char>(asciiLower(static_cast<unsigned char>(c)));
    return lowered;
}

// The order of the engines' case-blind text (SQLite's NOCASE, the server's
// citext in a database of locale C): ASCII letters compare as their
// lower-case forms, so "A_B" comes before "AB". Negative, zero or positive.
inline int compareWithoutCase(std::string_view left, std::string_view right)
{
    const size_t length = std::min(left.size(), right.size());
    for (size_t i = 0; i < length; ++i) {
        const int a = asciiLower(static_cast<unsigned char>(left[i]));
        const int b = asciiLower(static_cast<unsigned char>(right[i]));
        if (a != b)
            return a < b ? -1 : 1;
    }
    return left.size() < right.size() ? -1 : (left.size() > right.size() ? 1 : 0);
}

} // namespace kora
