#pragma once

#include "database/StatementEngine.h"
#include "database/Value.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kora {

// A prepared SQL statement with bound parameters (numbered from 1).
class Statement
{
public:
    Statement(Statement&& other) noexcept = default;
    Statement& operator=(Statement&& other) noexcept = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    Statement& bind(int index, const Value& value);
    // Binds a text without making a Value of it first (bulk loads bind millions).
    Statement& bindText(int index, std::string_view text)
    {
        m_engine->bindText(index, text);
        return *this;
    }
    Statement& bindAll(const std::vector<Value>& values);
    // Binds the values without copying their texts: they must stay as they
    // are until the next step. For rows added by the million.
    Statement& bindAllInPlace(const std::vector<Value>& values);

    // Reads the whole result in one piece when the statement runs: for results
    // held in memory at once anyway, such as one company's rows or a list's
    // row ids (one round trip to a server rather than a cursor's several).
    Statement& readWholeResult()
    {
        m_engine->readWholeResult();
        return *this;
    }
    // Runs to the next row; false once the statement is done.
    bool step() { return m_engine->step(); }
    // Runs a statement that returns no rows; returns the number of rows changed.
    long long run();
    // Runs a change whose count the caller does not need, as loads run their
    // inserts. Inside a transaction on a server it may be sent along with
    // others: its failure is then told by the next use of the connection, at
    // the latest by the commit.
    void send() { m_engine->send(); }
    void reset() { m_engine->reset(); }

    int columnCount() const { return m_engine->columnCount(); }
    std::string columnName(int column) const { return m_engine->columnName(column); }
    Value column(int column) const { return m_engine->column(column); }
    // A column as text without making a Value of it (bulk reads read
    // millions); valid until the next step. Empty for no value.
    std::string_view text(int column) const { return m_engine->text(column); }

private:
    friend class Database;
    void bindValue(int index, const Value& value, bool inPlace);

    friend class QueryRecordSet;
    // Made only through Database::prepare, which translates the dialect first.
    explicit Statement(std::unique_ptr<StatementEngine> engine) : m_engine(std::move(engine)) {}

    std::unique_ptr<StatementEngine> m_engine;
};

} // namespace kora
