#include "results/CompanyRow.h"

#include "base/FieldName.h"

namespace kora {

Value CompanyRow::field(const std::string& name) const
{
    auto it = m_columns->find(foldFieldName(name));
    return it == m_columns->end() ? Value() : m_values[it->second];
}

} // namespace kora
