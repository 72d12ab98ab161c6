#include "results/CompanyRow.h"

#include "base/FieldName.h"

namespace kora {

Value CompanyRow::field(const std::string& name) const
{
    auto it = m_columns->find(foldFieldName(name));
    return it == m_columns->end() ? Value() : m_values[it->second];
}

std::shared_ptr<const CompanyRow::Columns> CompanyRow::columnsOf(const Statement& query)
{
    auto columns = std::make_shared<Columns>();
    for (int i = 0; i < query.columnCount(); ++i)
        columns->emplace(foldFieldName(query.columnName(i)), i);
    return columns;
}

CompanyRow CompanyRow::current(std::shared_ptr<const Columns> columns, const Statement& query)
{
    std::vector<Value> values(query.columnCount());
    for (int i = 0; i < query.columnCount(); ++i)
        values[i] = query.column(i);
    return CompanyRow(std::move(columns), std::move(values));
}

} // namespace kora
