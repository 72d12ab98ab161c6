#include "database/Statement.h"

#include "database/SqliteError.h"

#include <sqlite3.h>

namespace kora {

Statement::Statement(sqlite3* db, const std::string& sql) : m_db(db)
{
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &m_stmt, nullptr) !=
        SQLITE_OK)
        throw sqliteError(db, "Cannot prepare \"" + sql + "\"");
}

Statement::Statement(Statement&& other) noexcept : m_db(other.m_db), m_stmt(other.m_stmt)
{
    other.m_stmt = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_db = other.m_db;
        m_stmt = other.m_stmt;
        other.m_stmt = nullptr;
    }
    return *this;
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement& Statement::bind(int index, const Value& value)
{
    int rc;
    if (value.isNull())
        rc = sqlite3_bind_null(m_stmt, index);
    else if (value.isInteger())
        rc = sqlite3_bind_int64(m_stmt, index, value.toInteger());
    else if (value.isReal())
        rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
    else
        return bindText(index, value.toString());
    if (rc != SQLITE_OK)
        throw sqliteError(m_db, "Cannot bind parameter " + std::to_string(index));
    return *this;
}

Statement& Statement::bindText(int index, std::string_view text)
{
    if (sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK)
        throw sqliteError(m_db, "Cannot bind parameter " + std::to_string(index));
    return *this;
}

Statement& Statement::bindAll(const std::vector<Value>& values)
{
    for (size_t i = 0; i < values.size(); ++i)
        bind(static_cast<int>(i) + 1, values[i]);
    return *this;
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    DbError error = sqliteError(m_db, "Statement failed");
    sqlite3_reset(m_stmt);
    throw error;
}

long long Statement::run()
{
    while (step()) {
    }
    return sqlite3_changes64(m_db);
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

std::string Statement::columnName(int column) const
{
    const char* name = sqlite3_column_name(m_stmt, column);
    return name ? name : "";
}

Value Statement::column(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return Value(static_cast<long long>(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return Value(sqlite3_column_double(m_stmt, column));
    case SQLITE_NULL:
        return Value();
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return Value(std::string(text, static_cast<size_t>(sqlite3_column_bytes(m_stmt, column))));
    }
    }
}

std::string_view Statement::text(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return text ? std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(m_stmt, column)))
                : std::string_view();
}

} // namespace kora
