#pragma once

#include <string>

namespace kora {

// A message box the caller shows for the lookup code: its text, title and icon.
// An empty title stands for the program's own title.
struct LookupMessage
{
    enum class Icon
    {
        None,
        Exclamation
    };

    std::string text;
    std::string title;
    Icon icon = Icon::None;

    bool operator==(const LookupMessage& other) const = default;
};

} // namespace kora
