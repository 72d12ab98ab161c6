#pragma once

#include "database/Database.h"
#include "loading/ModTrend.h"

#include <cstdint>
#include <string>
#include <string_view>
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
    void writeCompany(std::string_view file, std::string_view sequence);
    void rewriteMetAgain();

    Database& m_db;
    std::unique_ptr<RowWriter> m_rows;
    std::vector<Value> m_row; // the MODTREND row being written
    std::string m_file;
    std::string m_sequence;
    bool m_open = false;
    ModTrend m_trend;
    long long m_order = 0;
    // Keys of the companies written, a few bytes each: the table has no
    // index on them, which would slow every load down.
    std::vector<std::uint64_t> m_written;
};

} // namespace kora
