#pragma once

#include "database/Value.h"

#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace kora {

// A prepared SQL statement with bound parameters (numbered from 1).
class Statement
{
public:
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    Statement& bind(int index, const Value& value);
    // Binds a text without making a Value of it first (bulk loads bind millions).
    Statement& bindText(int index, std::string_view text);
    Statement& bindAll(const std::vector<Value>& values);

    // Runs to the next row; false once the statement is done.
    bool step();
    // Runs a statement that returns no rows; returns the number of rows changed.
    long long run();
    void reset();

    int columnCount() const;
    std::string columnName(int column) const;
    Value column(int column) const;
    // A column as text without making a Value of it (bulk reads read
    // millions); valid until the next step. Empty for no value.
    std::string_view text(int column) const;

private:
    friend class Database;
    // Made only through Database::prepare, which translates the dialect first.
    Statement(sqlite3* db, const std::string& sql);

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};

} // namespace kora
