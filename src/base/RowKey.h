#pragma once

#include "base/StableHash.h"

#include <cctype>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace kora {

// The hash of a row's key fields, each after a unit separator and folded to
// capitals as the tables compare text: the loads keep sorted lists of these
// instead of the keys themselves. Hashed as it is read, so a load's look-ups
// build no text. The hashes live only in memory.
//
// rowKeyWith adds fields to a key already hashed: rowKeyWith(rowKey({a, b}),
// {c}) is rowKey({a, b, c}).
inline std::uint64_t rowKeyWith(std::uint64_t key, std::initializer_list<std::string_view> fields)
{
    for (std::string_view field : fields) {
        key = stableHashStep(key, '\x1f');
        for (unsigned char c : field)
            key = stableHashStep(key, static_cast<unsigned char>(std::toupper(c)));
    }
    return key;
}

inline std::uint64_t rowKey(std::initializer_list<std::string_view> fields)
{
    return rowKeyWith(kStableHashStart, fields);
}

} // namespace kora
