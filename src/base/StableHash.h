#pragma once

#include <cstdint>
#include <string_view>

namespace kora {

// A hash that is the same in every run and on every machine (64-bit FNV-1a),
// for values stored in files or shared between programs.
inline std::uint64_t stableHash(std::string_view text)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace kora
