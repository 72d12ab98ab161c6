#pragma once

#include "base/StableHash.h"

#include <cctype>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace kora {

// The hash of a row's key fields, joined by a unit separator and folded to
// capitals as the tables compare text: the loads keep sorted lists of these
// instead of the keys themselves. Hashed as it is read, so a load's look-ups
// build no text.
inline std::uint64_t rowKeyField(std::uint64_t hash, std::string_view field)
{
    for (unsigned char c : field)
        hash = stableHashStep(hash, static_cast<unsigned char>(std::toupper(c)));
    return hash;
}

// The key of more fields after those already in key: rowKeyWith(rowKey({a, b}),
// {c}) is rowKey({a, b, c}).
inline std::uint64_t rowKeyWith(std::uint64_t key, std::initializer_list<std::string_view> fields)
{
    for (std::string_view field : fields)
        key = rowKeyField(stableHashStep(key, '\x1f'), field);
    return key;
}

inline std::uint64_t rowKey(std::initializer_list<std::string_view> fields)
{
    std::uint64_t hash = kStableHashStart;
    bool first = true;
    for (std::string_view field : fields) {
        if (!first)
            hash = stableHashStep(hash, '\x1f');
        first = false;
        hash = rowKeyField(hash, field);
    }
    return hash;
}

} // namespace kora
