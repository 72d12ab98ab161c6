#pragma once

#include "database/Statement.h"

#include <string>
#include <unordered_map>

namespace kora {

// The current row of a running query, its fields read by name without regard
// to case; a field the query does not return reads as no value.
class SourceRow
{
public:
    explicit SourceRow(const Statement& rows);

    Value field(const std::string& name) const;
    // The field as text; no value reads as "".
    std::string text(const std::string& name) const { return field(name).toString(); }

private:
    const Statement& m_rows;
    std::unordered_map<std::string, int> m_columns;
};

} // namespace kora
