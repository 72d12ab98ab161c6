#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kora {

// The user's own fields of a PRIME row, as the backup's USER table holds them.
// The backup and the restore name their columns from this list, and the
// restore binds them by position.
inline constexpr std::array<const char*, 8> kUserFields = {
    "User1", "User2", "User3", "UserPhone", "UserFax", "UserContact", "UserTitle", "Omit"};

// "User1, User2, ..., Omit", each name followed by eachSuffix (" = ?" for an update).
inline std::string userFieldList(std::string_view eachSuffix = "")
{
    std::string list;
    for (const char* field : kUserFields)
        ((list += list.empty() ? "" : ", ") += field) += eachSuffix;
    return list;
}

} // namespace kora
