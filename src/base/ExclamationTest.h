#pragma once

#include <array>
#include <string_view>

namespace kora {

// The exclamation test: a text counts as filled when, compared byte by byte,
// it is greater than "!". Empty texts and texts that begin with a blank or a
// control character do not pass. A user's own value replaces the delivered
// one only when it passes.
inline bool passesExclamationTest(std::string_view text)
{
    return text > "!";
}

// A delivered field of PRIME and the user's own field that may replace it.
struct UserOverride
{
    const char* delivered;
    const char* user;
};

inline constexpr std::array<UserOverride, 4> kUserOverrides = {{{"PHONE", "UserPhone"},
                                                                {"FAX", "UserFax"},
                                                                {"CONTACT", "UserContact"},
                                                                {"TITLE", "UserTitle"}}};

} // namespace kora
