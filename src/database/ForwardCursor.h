#pragma once

#include "database/Database.h"
#include "database/Value.h"

#include <map>
#include <string>
#include <vector>

namespace kora {

// A forward-only, read-only pass over the rows of a query that keeps no rows
// behind it: exports and reports walk many thousands of companies through one.
//
//     ForwardCursor rows(db, "SELECT * FROM PRIME");
//     while (rows.next())
//         use(rows.field("NAME1"));
class ForwardCursor
{
public:
    ForwardCursor(Database& db, const std::string& sql);

    // Moves to the next row; false once there is none (the first call moves to the first).
    bool next();

    int fieldCount() const { return static_cast<int>(m_names.size()); }
    const std::string& fieldName(int index) const { return m_names.at(index); }
    bool hasField(const std::string& name) const;
    // The current row's value; a name not in the result throws DbError.
    Value field(const std::string& name) const;
    Value field(int index) const;

private:
    Statement m_query;
    std::vector<std::string> m_names;
    std::map<std::string, int> m_nameIndex;
    bool m_onRow = false;
    bool m_finished = false;
};

} // namespace kora
