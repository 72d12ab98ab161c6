#include "output/CompanyMods.h"

namespace kora {

CompanyMods::CompanyMods(Database& db)
    : m_batch(db, "SELECT FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, [MOD] FROM MODS", "FILE",
              "FILE, SEQUENCE, EFFECTIVE DESC, EXPIRE DESC, ISSUE DESC")
{
}

std::vector<std::vector<CompanyMods::Mod>>
CompanyMods::newestFirst(const std::vector<CompanyBatch::Company>& companies, size_t limit)
{
    std::vector<std::vector<Mod>> mods(companies.size());
    m_batch.read(companies, [&](size_t place, const Statement& row) {
        if (mods[place].size() < limit)
            mods[place].push_back({row.column(2).toString(), row.column(3).toString(),
                                   row.column(4).toString(), row.column(5)});
    });
    return mods;
}

} // namespace kora
