#pragma once

#include "database/PgConnection.h"
#include "database/StatementEngine.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kora {

// A statement on a PostgreSQL connection. A query reads its rows through a
// cursor of its own, a chunk at a time, so that a pass over a whole state
// keeps only a chunk in memory and other statements run between its rows.
class PgStatement final : public StatementEngine
{
public:
    // sql is in the original dialect.
    PgStatement(PgConnection& connection, const std::string& sql);
    ~PgStatement() override;

    void bindNull(int index) override;
    void bindInteger(int index, long long value) override;
    void bindReal(int index, double value) override;
    void bindText(int index, std::string_view text) override;

    void readWholeResult() override { m_whole = true; }
    bool step() override;
    void send() override;
    long long changes() const override { return m_changes; }
    void reset() override;

    int columnCount() override;
    std::string columnName(int column) override;
    Value column(int column) const override;
    std::string_view text(int column) const override;
    std::string parameterAsColumn(int column) override;

private:
    enum class Stage
    {
        Ready,
        Rows,
        Done
    };

    void bindValue(int index, std::optional<std::string> value);
    void execute();
    // The bound values as libpq takes them: text, or null for no value.
    std::vector<const char*> parameterValues() const;
    // Prepares the statement on the server under a name of its own.
    void prepareOnServer();
    void fetch();
    // Takes a chunk of the cursor's rows, closing it after the last.
    void takeChunk(PgResult rows);
    void closeCursor();
    const pg_result* description();
    // The SQL type of a column for a cast: "citext", "double precision", ...
    std::string columnType(int column);

    PgConnection& m_connection;
    std::string m_original;
    std::string m_sql;
    bool m_isQuery = false;
    // What a failure of the statement is told with; shared with the
    // connection while a change sent waits for its outcome.
    std::shared_ptr<const std::string> m_context;
    int m_runs = 0;
    std::string m_preparedName;
    bool m_whole = false;
    std::vector<std::optional<std::string>> m_parameters;
    PgResult m_rows;
    PgResult m_description;
    int m_row = -1;
    Stage m_stage = Stage::Ready;
    bool m_lastChunk = false;
    int m_chunkRows = 0;
    std::string m_cursor;
    unsigned m_rollbacksAtDeclare = 0;
    long long m_changes = 0;
};

// A column name as Schema spells it ("namesort" is "NameSort"): the server
// keeps every name in lower case.
std::string canonicalColumnName(const char* name);

} // namespace kora
