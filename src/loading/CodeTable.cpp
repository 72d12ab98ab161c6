#include "loading/CodeTable.h"

#include "base/FieldName.h"

namespace kora {

CodeTable::CodeTable(Database& db, const std::string& sql)
{
    Statement rows = db.prepare(sql);
    while (rows.step())
        m_names.emplace(foldFieldName(rows.column(0).toString()), rows.column(1).toString());
}

const std::string* CodeTable::find(std::string_view code) const
{
    const auto found = m_names.find(foldFieldName(std::string(code)));
    return found == m_names.end() ? nullptr : &found->second;
}

} // namespace kora
