#include "database/ForwardCursor.h"

#include "base/FieldName.h"
#include "database/DbError.h"

namespace kora {

ForwardCursor::ForwardCursor(Database& db, const std::string& sql) : m_query(db.prepare(sql))
{
    for (int i = 0; i < m_query.columnCount(); ++i) {
        m_names.push_back(m_query.columnName(i));
        m_nameIndex.emplace(foldFieldName(m_names.back()), i);
    }
}

bool ForwardCursor::next()
{
    // The engine would start the statement over once it is done.
    m_onRow = !m_finished && m_query.step();
    m_finished = !m_onRow;
    return m_onRow;
}

bool ForwardCursor::hasField(const std::string& name) const
{
    return m_nameIndex.count(foldFieldName(name)) > 0;
}

Value ForwardCursor::field(const std::string& name) const
{
    const auto found = m_nameIndex.find(foldFieldName(name));
    if (found == m_nameIndex.end())
        throw DbError("Item not found in this collection: " + name, DbError::Kind::NotFound);
    return field(found->second);
}

Value ForwardCursor::field(int index) const
{
    if (!m_onRow)
        throw DbError("No current record.");
    if (index < 0 || index >= fieldCount())
        throw DbError("Item not found in this collection.", DbError::Kind::NotFound);
    return m_query.column(index);
}

} // namespace kora
