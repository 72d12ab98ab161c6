#pragma once

#include "database/Statement.h"
#include "database/Value.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kora {

// One row of table PRIME, its fields read by name without regard to case.
class CompanyRow
{
public:
    using Columns = std::map<std::string, int>;

    CompanyRow(std::shared_ptr<const Columns> columns, std::vector<Value> values)
        : m_columns(std::move(columns)), m_values(std::move(values))
    {
    }

    // The field names of a statement's result, for the rows it reads.
    static std::shared_ptr<const Columns> columnsOf(const Statement& query);
    // The statement's current row.
    static CompanyRow current(std::shared_ptr<const Columns> columns, const Statement& query);

    // No value when the row has no such field.
    Value field(const std::string& name) const;
    // The field as text; no value reads as "".
    std::string text(const std::string& name) const { return field(name).toString(); }

private:
    std::shared_ptr<const Columns> m_columns;
    std::vector<Value> m_values;
};

} // namespace kora
