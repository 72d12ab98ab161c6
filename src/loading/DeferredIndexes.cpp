#include "loading/DeferredIndexes.h"

#include "base/FieldName.h"

namespace kora {

DeferredIndexes::DeferredIndexes(Database& db, const std::vector<std::string>& tables) : m_db(db)
{
    std::vector<std::string> names;
    for (const std::string& table : tables) {
        Statement indexes = m_db.prepare(
            "SELECT m.name, m.sql FROM sqlite_master AS m JOIN pragma_index_list(?1) AS l "
            "ON l.name = m.name WHERE m.type = 'index' AND m.tbl_name = ?1 AND l.\"unique\" = 0 "
            "AND m.sql IS NOT NULL");
        indexes.bind(1, table);
        while (indexes.step()) {
            names.push_back(indexes.column(0).toString());
            m_createStatements.push_back(indexes.column(1).toString());
        }
    }
    for (const std::string& name : names)
        m_db.execute("DROP INDEX " + quoteIdentifier(name));
}

void DeferredIndexes::rebuild()
{
    for (const std::string& sql : m_createStatements)
        m_db.execute(sql);
    m_createStatements.clear();
}

} // namespace kora
