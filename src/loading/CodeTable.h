#pragma once

#include "database/Database.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace kora {

// A code list read once into memory (county names, class descriptions), so
// that the records of a load need no query each. Codes match without regard
// to case, as in the tables.
class CodeTable
{
public:
    // sql reads the codes and their names as its first two columns.
    CodeTable(Database& db, const std::string& sql);

    // The name listed for a code, or nothing.
    const std::string* find(std::string_view code) const;

private:
    std::unordered_map<std::string, std::string> m_names;
};

} // namespace kora
