#pragma once

#include "database/Value.h"

#include <string>
#include <vector>

namespace kora {

// Adds many rows to one table in the fastest way its engine has: prepared
// inserts on SQLite, COPY on the server. The rows are the server's once
// finish() returns, inside the caller's transaction where there is one.
class RowWriter
{
public:
    RowWriter() = default;
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;
    virtual ~RowWriter() = default;

    // One row, its values in the order of the columns the writer was made for.
    virtual void add(const std::vector<Value>& row) = 0;
    // Sends what is left; throws DbError when the engine refused a row.
    virtual void finish() = 0;
};

} // namespace kora
