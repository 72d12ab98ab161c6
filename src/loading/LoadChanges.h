#pragma once

#include "database/Database.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kora {

// Records what a company load changes. Made before the load empties PRIME
// and MODS, it keeps the keys of their rows; the load then notes every
// company and mod it stores, and record() fills LOADCHANGES with the
// companies it added and those that got a mod they did not have. Everything
// belongs in the load's transaction.
class LoadChanges
{
public:
    explicit LoadChanges(Database& db);

    void noteCompany(std::string_view file, std::string_view sequence);
    // A mod by its effective and expiration dates as stored.
    void noteMod(std::string_view file, std::string_view sequence, std::string_view effective,
                 std::string_view expire);
    void record();

private:
    using Company = std::pair<std::string, std::string>;

    bool hadCompany(std::uint64_t key) const;

    Database& m_db;
    // Hashes of the keys before the load, sorted: a few bytes a row where the
    // rows of a whole state are kept.
    std::vector<std::uint64_t> m_oldCompanies;
    std::vector<std::uint64_t> m_oldMods;
    std::set<Company> m_newCompanies;
    std::set<Company> m_newMods;
};

} // namespace kora
