#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kora {

// Files of the program folder (help, report definitions, manual) built into
// the program, so that an installation can be laid out anywhere.
class EmbeddedResources
{
public:
    static std::optional<std::string_view> find(const std::string& name);
    static std::vector<std::string> names();
};

} // namespace kora
