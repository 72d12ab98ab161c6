#pragma once

#include "base/StableHash.h"

#include <cctype>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kora {

// The hash of a row's key fields, joined by a unit separator and folded to
// capitals as the tables compare text: the loads keep sorted lists of these
// instead of the keys themselves.
inline std::uint64_t rowKey(std::initializer_list<std::string_view> fields)
{
    std::string key;
    for (std::string_view field : fields) {
        if (!key.empty())
            key += '\x1f';
        for (unsigned char c : field)
            key += static_cast<char>(std::toupper(c));
    }
    return stableHash(key);
}

} // namespace kora
