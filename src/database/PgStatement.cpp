#include "database/PgStatement.h"

#include "base/FieldName.h"
#include "database/Schema.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <map>

namespace kora {

namespace {

// Rows are fetched from a cursor in chunks: a small first one, so the first
// rows of a long result come at once, then chunks that double in size, so
// reading a whole state takes a few dozen round trips rather than hundreds.
constexpr int kFirstChunkRows = 500;
constexpr int kLargestChunkRows = 32000;

// Type numbers of PostgreSQL's built-in types.
constexpr Oid kBool = 16;
constexpr Oid kInt8 = 20;
constexpr Oid kInt2 = 21;
constexpr Oid kInt4 = 23;
constexpr Oid kText = 25;
constexpr Oid kFloat4 = 700;
constexpr Oid kFloat8 = 701;
constexpr Oid kNumeric = 1700;

bool isQuery(const std::string& sql)
{
    size_t begin = sql.find_first_not_of(" \t\r\n(");
    if (begin == std::string::npos)
        return false;
    std::string word;
    for (size_t i = begin; i < sql.size() && std::isalpha(static_cast<unsigned char>(sql[i])); ++i)
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[i])));
    return word == "SELECT" || word == "WITH" || word == "VALUES";
}

} // namespace

std::string canonicalColumnName(const char* name)
{
    static const std::map<std::string, std::string> spellings = [] {
        std::map<std::string, std::string> map;
        for (const Schema::Table& table : Schema::anyStateTables())
            for (const Schema::Field& field : table.fields)
                map.emplace(foldFieldName(field.name), field.name);
        return map;
    }();
    const auto found = spellings.find(foldFieldName(name));
    return found == spellings.end() ? name : found->second;
}

PgStatement::PgStatement(PgConnection& connection, const std::string& sql)
    : m_connection(connection), m_original(sql), m_rows(nullptr, PQclear),
      m_description(nullptr, PQclear)
{
    int parameters = 0;
    m_sql = SqlDialect::translate(sql, SqlDialect::Target::Postgres, &parameters);
    m_context = std::make_shared<const std::string>("Cannot run \"" + m_original + "\"");
    m_parameters.resize(static_cast<size_t>(parameters));
    m_isQuery = isQuery(m_sql);
}

PgStatement::~PgStatement()
{
    closeCursor();
    if (!m_preparedName.empty())
        m_connection.unprepare(m_preparedName);
}

void PgStatement::bindValue(int index, std::optional<std::string> value)
{
    if (index < 1 || index > static_cast<int>(m_parameters.size()))
        throw DbError("Cannot bind parameter " + std::to_string(index) +
                      ": column index out of "
                      "range");
    m_parameters[static_cast<size_t>(index) - 1] = std::move(value);
}

void PgStatement::bindNull(int index)
{
    bindValue(index, std::nullopt);
}

void PgStatement::bindInteger(int index, long long value)
{
    bindValue(index, std::to_string(value));
}

void PgStatement::bindReal(int index, double value)
{
    bindValue(index, Value::formatNumber(value));
}

void PgStatement::bindText(int index, std::string_view text)
{
    bindValue(index, std::string(text));
}

void PgStatement::execute()
{
    closeCursor();
    const std::vector<const char*> values = parameterValues();
    const std::string& context = *m_context;
    m_row = -1;
    m_changes = 0;
    // A change run again, as a load runs its inserts, and a query read whole
    // again, as the list reads the rows it shows by id, are parsed on the
    // server once.
    if ((!m_isQuery || m_whole) && m_preparedName.empty() && ++m_runs > 1)
        prepareOnServer();
    if (!m_isQuery || m_whole) {
        m_rows = m_preparedName.empty() ? m_connection.run(m_sql, values, context)
                                        : m_connection.runPrepared(m_preparedName, values, context);
        m_lastChunk = true;
        if (!m_isQuery) {
            m_changes = std::atoll(PQcmdTuples(m_rows.get()));
            m_connection.noteChangedRows(m_changes);
        }
        return;
    }
    const std::string cursor = m_connection.newCursorName();
    m_chunkRows = kFirstChunkRows;
    PgResult first = m_connection.openCursor(cursor, m_sql, values, m_chunkRows, context);
    m_cursor = cursor;
    m_rollbacksAtDeclare = m_connection.rollbacks();
    takeChunk(std::move(first));
}

void PgStatement::fetch()
{
    takeChunk(m_connection.run("FETCH " + std::to_string(m_chunkRows) + " FROM " + m_cursor, {},
                               "Cannot read the rows of \"" + m_original + "\""));
}

void PgStatement::takeChunk(PgResult rows)
{
    m_rows = std::move(rows);
    m_row = -1;
    m_lastChunk = PQntuples(m_rows.get()) < m_chunkRows;
    m_chunkRows = std::min(m_chunkRows * 2, kLargestChunkRows);
    if (m_lastChunk)
        closeCursor();
}

void PgStatement::closeCursor()
{
    if (m_cursor.empty())
        return;
    m_connection.closeCursor(m_cursor, m_rollbacksAtDeclare, !m_lastChunk);
    m_cursor.clear();
}

bool PgStatement::step()
{
    if (m_stage != Stage::Rows) {
        // Done starts over, as on SQLite.
        execute();
        m_stage = Stage::Rows;
    }
    ++m_row;
    while (m_row >= PQntuples(m_rows.get())) {
        if (m_lastChunk) {
            m_stage = Stage::Done;
            return false;
        }
        fetch();
        ++m_row;
    }
    return true;
}

std::vector<const char*> PgStatement::parameterValues() const
{
    std::vector<const char*> values;
    for (const auto& parameter : m_parameters)
        values.push_back(parameter ? parameter->c_str() : nullptr);
    return values;
}

void PgStatement::send()
{
    if (m_isQuery || !m_connection.inTransaction()) {
        StatementEngine::send();
        return;
    }
    if (m_preparedName.empty())
        prepareOnServer();
    m_changes = 0;
    m_connection.sendPrepared(m_preparedName, parameterValues(), m_context);
}

void PgStatement::prepareOnServer()
{
    m_preparedName = m_connection.prepare(m_sql, static_cast<int>(m_parameters.size()), *m_context);
}

void PgStatement::reset()
{
    closeCursor();
    m_stage = Stage::Ready;
    m_row = -1;
    std::fill(m_parameters.begin(), m_parameters.end(), std::nullopt);
}

const pg_result* PgStatement::description()
{
    if (m_rows && PQresultStatus(m_rows.get()) == PGRES_TUPLES_OK)
        return m_rows.get();
    if (!m_description)
        m_description = m_connection.describe(m_sql, static_cast<int>(m_parameters.size()),
                                              "Cannot prepare \"" + m_original + "\"");
    return m_description.get();
}

int PgStatement::columnCount()
{
    return PQnfields(description());
}

std::string PgStatement::columnName(int column)
{
    const char* name = PQfname(description(), column);
    return name ? canonicalColumnName(name) : "";
}

std::string PgStatement::parameterAsColumn(int column)
{
    return "CAST(?" + std::to_string(column + 1) + " AS " + columnType(column) + ")";
}

std::string PgStatement::columnType(int column)
{
    switch (PQftype(description(), column)) {
    case kBool:
    case kInt2:
    case kInt4:
    case kInt8:
        return "bigint";
    case kFloat4:
    case kFloat8:
    case kNumeric:
        return "double precision";
    case kText:
        return "text";
    default:
        return "citext";
    }
}

Value PgStatement::column(int column) const
{
    const pg_result* rows = m_rows.get();
    if (m_row < 0 || PQgetisnull(rows, m_row, column))
        return Value();
    const char* text = PQgetvalue(rows, m_row, column);
    switch (PQftype(rows, column)) {
    case kBool:
        return Value(static_cast<long long>(text[0] == 't'));
    case kInt2:
    case kInt4:
    case kInt8:
        return Value(std::strtoll(text, nullptr, 10));
    case kFloat4:
    case kFloat8:
    case kNumeric: {
        double number = 0;
        std::from_chars(text, text + std::strlen(text), number);
        return Value(number);
    }
    default:
        return Value(std::string(text, static_cast<size_t>(PQgetlength(rows, m_row, column))));
    }
}

std::string_view PgStatement::text(int column) const
{
    if (m_row < 0)
        return {};
    return std::string_view(PQgetvalue(m_rows.get(), m_row, column),
                            static_cast<size_t>(PQgetlength(m_rows.get(), m_row, column)));
}

} // namespace kora
