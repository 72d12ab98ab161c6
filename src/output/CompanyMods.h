#pragma once

#include "database/Database.h"

#include <string>
#include <vector>

namespace kora {

// The mods of one company after another, newest first (latest effective date,
// then latest expiration, then latest issue), through one prepared statement.
class CompanyMods
{
public:
    // One mod, dates as stored (YYYY-MM-DD).
    struct Mod
    {
        std::string issue;
        std::string effective;
        std::string expire;
        Value mod;
    };

    explicit CompanyMods(Database& db);

    // At most limit mods of the company.
    std::vector<Mod> newestFirst(const Value& file, const Value& sequence, size_t limit);

private:
    Statement m_query;
};

} // namespace kora
