#include "loading/DeferredIndexes.h"

#include "base/FieldName.h"

namespace kora {

DeferredIndexes::DeferredIndexes(Database& db, const std::vector<std::string>& tables) : m_db(db)
{
    // Agents read a state while it loads; they must not wait for the load.
    if (m_db.indexChangesBlockReaders())
        return;
    for (const std::string& table : tables)
        for (const auto& index : m_db.nonUniqueIndexesOf(table)) {
            m_db.execute("DROP INDEX " + quoteIdentifier(index.name));
            m_createStatements.push_back(index.createSql);
        }
}

void DeferredIndexes::rebuild()
{
    if (m_createStatements.empty())
        return;
    const WorkSizing before = m_db.sizing();
    m_db.sizeFor(WorkSizing::IndexBuilds);
    for (const std::string& sql : m_createStatements)
        m_db.execute(sql);
    m_createStatements.clear();
    m_db.sizeFor(before);
}

} // namespace kora
