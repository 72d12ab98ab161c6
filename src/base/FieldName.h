#pragma once

#include "base/Quoting.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace kora {

// Field names are matched without regard to case, as the original engine did.
inline std::string foldFieldName(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

// A name made safe to place in SQL text.
inline std::string quoteIdentifier(const std::string& name)
{
    return quotedWith(name, '"');
}

} // namespace kora
