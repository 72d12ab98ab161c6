#pragma once

#include "database/Database.h"
#include "loading/ModTrend.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kora {

// Writes MODTREND, one row per company with the trend of its mods, as a
// company load stores its records, or all at once from PRIME and MODS. A
// company's records usually follow one another; one met again after other
// companies is worked out once more from MODS at the end. Everything belongs
// in the caller's transaction.
class ModTrendWriter
{
public:
    explicit ModTrendWriter(Database& db);

    // The company whose mods follow.
    void company(std::string_view file, std::string_view sequence);
    void mod(std::string_view effective, std::string_view expire, double mod);
    // Writes the last company and those met again; reads MODS by company, so
    // its index should be there by then.
    void finish();

    // Replaces every row by those of PRIME's companies and their mods as they
    // stand: for a database of an older release, and whenever MODS was
    // written other than by a company load.
    static void fill(Database& db);

private:
    // A stored mod read from columns first to first + 3: effective, expire, mod, rowid.
    void addStored(const Statement& rows, int first);
    void writeCompany();
    void writeAgain(const std::string& file, const std::string& sequence);
    void bindTrend(Statement& insert) const;

    Database& m_db;
    Statement m_insert;
    std::string m_file;
    std::string m_sequence;
    bool m_open = false;
    ModTrend m_trend;
    long long m_order = 0;
    std::vector<std::pair<std::string, std::string>> m_metAgain;
};

} // namespace kora
