#pragma once

#include <string>

namespace kora {

// An index by its name and the statement that makes it again.
struct IndexDefinition
{
    std::string name;
    std::string createSql;
};

} // namespace kora
