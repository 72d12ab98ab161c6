#include "database/PgCopyWriter.h"

#include "base/CaseBlind.h"
#include "base/FieldName.h"
#include "database/PgConnection.h"
#include "database/SqlDialect.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <string_view>

namespace kora {

namespace {

constexpr size_t kSendAt = 1 << 20;

// A text in COPY's text format: the backslash, and the characters that end a
// value or a row, escaped. Runs without them are copied whole.
void appendEscaped(std::string& out, std::string_view text)
{
    size_t copied = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        char escape = 0;
        switch (text[at]) {
        case '\\':
            escape = '\\';
            break;
        case '\t':
            escape = 't';
            break;
        case '\n':
            escape = 'n';
            break;
        case '\r':
            escape = 'r';
            break;
        default:
            continue;
        }
        out.append(text.substr(copied, at - copied));
        out += '\\';
        out += escape;
        copied = at + 1;
    }
    out.append(text.substr(copied));
}

} // namespace

PgCopyWriter::PgCopyWriter(PgConnection& connection, const std::string& table,
                           const std::vector<std::string>& columns, bool frozen)
    : m_connection(connection), m_context("Cannot write the rows of " + table)
{
    std::string copied = quoteIdentifiers(columns);
    if (frozen) {
        // The new table's row ids are numbered here, in the order of its
        // rows, as the server would number them: it then takes no number
        // from the row id's sequence for each row, a quarter of a COPY's work.
        const std::string name = asciiLowered(table);
        const PgResult numbered = m_connection.run(
            "SELECT pg_get_serial_sequence($1, 'rowid'), "
            "COALESCE(pg_sequence_last_value(pg_get_serial_sequence($1, 'rowid')), 0)",
            {name.c_str()}, m_context);
        if (!PQgetisnull(numbered.get(), 0, 0)) {
            m_sequence = PQgetvalue(numbered.get(), 0, 0);
            m_lastRowId = std::atoll(PQgetvalue(numbered.get(), 0, 1));
            copied += ", rowid";
        }
    }
    m_copy = SqlDialect::translate("COPY " + quoteIdentifier(table) + " (" + copied +
                                       ") FROM STDIN" + (frozen ? " WITH (FREEZE)" : ""),
                                   SqlDialect::Target::Postgres);
    m_buffer.reserve(kSendAt + 4096);
}

void PgCopyWriter::add(const std::vector<Value>& row)
{
    for (size_t i = 0; i < row.size(); ++i) {
        if (i > 0)
            m_buffer += '\t';
        const Value& value = row[i];
        if (value.isNull())
            m_buffer += "\\N";
        else if (value.isInteger())
            m_buffer += std::to_string(value.toInteger());
        else if (value.isReal())
            m_buffer += Value::formatNumber(value.toDouble());
        else
            appendEscaped(m_buffer, value.text());
    }
    if (!m_sequence.empty()) {
        m_buffer += '\t';
        m_buffer += std::to_string(++m_lastRowId);
    }
    m_buffer += '\n';
    if (m_buffer.size() >= kSendAt)
        send();
}

void PgCopyWriter::send()
{
    if (m_buffer.empty())
        return;
    m_connection.copy(m_copy, std::move(m_buffer));
    m_buffer = std::string();
    m_buffer.reserve(kSendAt + 4096);
}

void PgCopyWriter::finish()
{
    send();
    // Rows the load adds later take their row ids from the sequence.
    if (!m_sequence.empty() && m_lastRowId > 0) {
        const std::string last = std::to_string(m_lastRowId);
        m_connection.run("SELECT setval($1, $2)", {m_sequence.c_str(), last.c_str()}, m_context);
    }
}

} // namespace kora
