#pragma once

#include <string>

namespace kora {

// A text between quote characters, a quote inside it doubled: the form of SQL
// literals ('), SQL names (") and the texts of sequential files (").
inline std::string quotedWith(const std::string& text, char quote)
{
    std::string quoted(1, quote);
    for (char c : text) {
        quoted += c;
        if (c == quote)
            quoted += quote;
    }
    return quoted + quote;
}

} // namespace kora
