#include "output/CompanyMods.h"

namespace kora {

CompanyMods::CompanyMods(Database& db)
    : m_query(db.prepare("SELECT ISSUE, EFFECTIVE, EXPIRE, [MOD] FROM MODS WHERE FILE = ? AND "
                         "SEQUENCE = ? ORDER BY EFFECTIVE DESC, EXPIRE DESC, ISSUE DESC"))
{
    m_query.readWholeResult();
}

std::vector<CompanyMods::Mod> CompanyMods::newestFirst(const Value& file, const Value& sequence,
                                                       size_t limit)
{
    m_query.reset();
    m_query.bind(1, file).bind(2, sequence);
    std::vector<Mod> mods;
    while (mods.size() < limit && m_query.step())
        mods.push_back({m_query.column(0).toString(), m_query.column(1).toString(),
                        m_query.column(2).toString(), m_query.column(3)});
    m_query.reset();
    return mods;
}

} // namespace kora
