#include "loading/LoadChanges.h"

#include "database/Schema.h"
#include "loading/RowKey.h"

#include <algorithm>

namespace kora {

namespace {

std::uint64_t companyKey(std::string_view file, std::string_view sequence)
{
    return rowKey({file, sequence});
}

std::uint64_t modKey(std::string_view file, std::string_view sequence, std::string_view effective,
                     std::string_view expire)
{
    return rowKey({file, sequence, effective, expire});
}

std::vector<std::uint64_t> sortedKeys(Database& db, const std::string& sql, bool mods)
{
    std::vector<std::uint64_t> keys;
    Statement rows = db.prepare(sql);
    while (rows.step())
        keys.push_back(mods ? modKey(rows.text(0), rows.text(1), rows.text(2), rows.text(3))
                            : companyKey(rows.text(0), rows.text(1)));
    std::sort(keys.begin(), keys.end());
    return keys;
}

bool holds(const std::vector<std::uint64_t>& keys, std::uint64_t key)
{
    return std::binary_search(keys.begin(), keys.end(), key);
}

} // namespace

LoadChanges::LoadChanges(Database& db) : m_db(db)
{
    Schema::createIfMissing(m_db, Schema::loadChangesTable());
    m_db.execute("DELETE FROM LOADCHANGES");
    m_oldCompanies = sortedKeys(m_db, "SELECT FILE, SEQUENCE FROM PRIME", false);
    m_oldMods = sortedKeys(m_db, "SELECT FILE, SEQUENCE, EFFECTIVE, EXPIRE FROM MODS", true);
}

bool LoadChanges::hadCompany(std::uint64_t key) const
{
    return holds(m_oldCompanies, key);
}

void LoadChanges::noteCompany(std::string_view file, std::string_view sequence)
{
    if (!hadCompany(companyKey(file, sequence)))
        m_newCompanies.emplace(file, sequence);
}

void LoadChanges::noteMod(std::string_view file, std::string_view sequence,
                          std::string_view effective, std::string_view expire)
{
    if (hadCompany(companyKey(file, sequence)) &&
        !holds(m_oldMods, modKey(file, sequence, effective, expire)))
        m_newMods.emplace(file, sequence);
}

void LoadChanges::record()
{
    Statement insert =
        m_db.prepare("INSERT INTO LOADCHANGES (FILE, SEQUENCE, CHANGE) VALUES (?, ?, ?)");
    for (const auto& [companies, change] :
         {std::pair{&m_newCompanies, "New Company"}, std::pair{&m_newMods, "New Mod"}}) {
        for (const Company& company : *companies) {
            insert.reset();
            insert.bindText(1, company.first).bindText(2, company.second).bindText(3, change).run();
        }
    }
}

} // namespace kora
