#pragma once

#include "database/Database.h"

#include <cstdint>
#include <future>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kora {

// Records what a company load changes. Made before the load changes
// anything, it reads the keys of the rows of PRIME and MODS as they stand, on
// a connection of its own beside the load where it can; the load notes every
// company and mod it stores, and record() fills LOADCHANGES with the
// companies it added and those that got a mod they did not have. The writes
// belong in the load's transaction.
class LoadChanges
{
public:
    explicit LoadChanges(Database& db);

    void noteCompany(std::string_view file, std::string_view sequence);
    // A mod of the company noted last, by its effective and expiration dates as stored.
    void noteMod(std::string_view effective, std::string_view expire);
    void record();

private:
    // Hashes of the keys before the load, sorted: a few bytes a row where the
    // rows of a whole state are kept.
    struct KeysBefore
    {
        std::vector<std::uint64_t> companies;
        std::vector<std::uint64_t> mods;
    };
    // A company noted, its key text kept in m_keyText.
    struct Company
    {
        std::uint64_t key;
        std::uint32_t at;
        std::uint8_t fileLength;
        std::uint8_t sequenceLength;
    };

    static KeysBefore readKeys(Database& reader);

    Database& m_db;
    // Waits, when it goes, for the reading to end: a load that fails
    // takes its reader down with it.
    std::future<KeysBefore> m_before;
    std::vector<Company> m_companies;
    std::string m_keyText;
    // A mod's key and the place of its company in m_companies.
    std::vector<std::pair<std::uint64_t, std::size_t>> m_mods;
};

} // namespace kora
