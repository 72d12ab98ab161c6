#pragma once

#include "base/Quoting.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

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

// Names made safe and joined by ", ", as a column list.
inline std::string quoteIdentifiers(const std::vector<std::string>& names)
{
    std::string list;
    for (const std::string& name : names)
        list += (list.empty() ? "" : ", ") + quoteIdentifier(name);
    return list;
}

} // namespace kora
