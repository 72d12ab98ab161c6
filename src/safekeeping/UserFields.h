#pragma once

#include <array>

namespace kora {

// The user's own fields of a PRIME row, as the backup's USER table holds them.
inline constexpr std::array<const char*, 8> kUserFields = {
    "User1", "User2", "User3", "UserPhone", "UserFax", "UserContact", "UserTitle", "Omit"};

} // namespace kora
