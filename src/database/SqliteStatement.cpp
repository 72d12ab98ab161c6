#include "database/SqliteStatement.h"

#include "database/SqliteError.h"

#include <sqlite3.h>

namespace kora {

SqliteStatement::SqliteStatement(sqlite3* db, const std::string& sql) : m_db(db)
{
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &m_stmt, nullptr) !=
        SQLITE_OK)
        throw sqliteError(db, "Cannot prepare \"" + sql + "\"");
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

void SqliteStatement::check(int rc, int index) const
{
    if (rc != SQLITE_OK)
        throw sqliteError(m_db, "Cannot bind parameter " + std::to_string(index));
}

void SqliteStatement::bindTextInPlace(int index, std::string_view text)
{
    check(
        sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC),
        index);
}

void SqliteStatement::bindNull(int index)
{
    check(sqlite3_bind_null(m_stmt, index), index);
}

void SqliteStatement::bindInteger(int index, long long value)
{
    check(sqlite3_bind_int64(m_stmt, index, value), index);
}

void SqliteStatement::bindReal(int index, double value)
{
    check(sqlite3_bind_double(m_stmt, index, value), index);
}

void SqliteStatement::bindText(int index, std::string_view text)
{
    check(sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()),
                            SQLITE_TRANSIENT),
          index);
}

bool SqliteStatement::step()
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

long long SqliteStatement::changes() const
{
    return sqlite3_changes64(m_db);
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int SqliteStatement::columnCount()
{
    return sqlite3_column_count(m_stmt);
}

std::string SqliteStatement::columnName(int column)
{
    const char* name = sqlite3_column_name(m_stmt, column);
    return name ? name : "";
}

Value SqliteStatement::column(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return Value(static_cast<long long>(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return Value(sqlite3_column_double(m_stmt, column));
    case SQLITE_NULL:
        return Value();
    default:
        return Value(std::string(text(column)));
    }
}

std::string_view SqliteStatement::text(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return text ? std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(m_stmt, column)))
                : std::string_view();
}

std::string SqliteStatement::parameterAsColumn(int column)
{
    return "?" + std::to_string(column + 1) + " COLLATE NOCASE";
}

} // namespace kora
