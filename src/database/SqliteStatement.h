#pragma once

#include "database/StatementEngine.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kora {

// A statement prepared on a SQLite connection.
class SqliteStatement final : public StatementEngine
{
public:
    // sql is in SQLite's dialect already.
    SqliteStatement(sqlite3* db, const std::string& sql);
    ~SqliteStatement() override;

    void bindNull(int index) override;
    void bindInteger(int index, long long value) override;
    void bindReal(int index, double value) override;
    void bindText(int index, std::string_view text) override;
    void bindTextInPlace(int index, std::string_view text) override;

    bool step() override;
    long long changes() const override;
    void reset() override;

    int columnCount() override;
    std::string columnName(int column) override;
    Value column(int column) const override;
    std::string_view text(int column) const override;
    std::string parameterAsColumn(int column) override;

private:
    void check(int rc, int index) const;

    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

} // namespace kora
