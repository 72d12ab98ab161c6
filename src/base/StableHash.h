#pragma once

#include <cstdint>
#include <string_view>

namespace kora {

// A hash that is the same in every run and on every machine (64-bit FNV-1a),
// for values stored in files or shared between programs. It is built a byte
// at a time from kStableHashStart, so that callers can hash text they never
// put together.
inline constexpr std::uint64_t kStableHashStart = 14695981039346656037ull;

inline std::uint64_t stableHashStep(std::uint64_t hash, unsigned char byte)
{
    return (hash ^ byte) * 1099511628211ull;
}

inline std::uint64_t stableHash(std::string_view text)
{
    std::uint64_t hash = kStableHashStart;
    for (unsigned char c : text)
        hash = stableHashStep(hash, c);
    return hash;
}

} // namespace kora
