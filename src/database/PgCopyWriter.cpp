#include "database/PgCopyWriter.h"

#include "base/FieldName.h"
#include "database/PgConnection.h"
#include "database/SqlDialect.h"

namespace kora {

namespace {

constexpr size_t kSendAt = 1 << 20;

// A text in COPY's text format: the backslash, and the characters that end a
// value or a row, escaped.
void appendEscaped(std::string& out, const std::string& text)
{
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

} // namespace

PgCopyWriter::PgCopyWriter(PgConnection& connection, const std::string& table,
                           const std::vector<std::string>& columns, bool frozen)
    : m_connection(connection),
      m_copy(SqlDialect::translate("COPY " + quoteIdentifier(table) + " (" +
                                       quoteIdentifiers(columns) + ") FROM STDIN" +
                                       (frozen ? " WITH (FREEZE)" : ""),
                                   SqlDialect::Target::Postgres))
{
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
            appendEscaped(m_buffer, value.toString());
    }
    m_buffer += '\n';
    if (m_buffer.size() >= kSendAt)
        send();
}

void PgCopyWriter::send()
{
    if (m_buffer.empty())
        return;
    m_connection.copyStart(m_copy);
    try {
        m_connection.copyData(m_buffer);
    } catch (...) {
        m_connection.copyEnd("the rows could not be sent");
        throw;
    }
    m_connection.copyEnd({});
    m_buffer.clear();
}

void PgCopyWriter::finish()
{
    send();
}

} // namespace kora
