#include "loading/ReplacedTables.h"

namespace kora {

ReplacedTables::ReplacedTables(Database& db, const std::vector<std::string>& tables) : m_db(db)
{
    if (m_db.replaceTables(tables))
        return;
    m_deferred.emplace(m_db, tables);
    for (const std::string& table : tables)
        m_db.execute("DELETE FROM " + table);
}

void ReplacedTables::rebuildIndexes()
{
    if (m_deferred)
        m_deferred->rebuild();
    else
        m_db.indexReplacedTables();
}

} // namespace kora
