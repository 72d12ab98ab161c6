#include "output/SourceRow.h"

#include "base/FieldName.h"

namespace kora {

SourceRow::SourceRow(const Statement& rows) : m_rows(rows)
{
    for (int column = 0; column < rows.columnCount(); ++column)
        m_columns.emplace(foldFieldName(rows.columnName(column)), column);
}

Value SourceRow::field(const std::string& name) const
{
    const auto column = m_columns.find(foldFieldName(name));
    return column == m_columns.end() ? Value() : m_rows.column(column->second);
}

} // namespace kora
