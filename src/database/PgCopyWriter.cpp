#include "database/PgCopyWriter.h"

#include "base/FieldName.h"
#include "database/PgConnection.h"
#include "database/SqlDialect.h"

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
            appendEscaped(m_buffer, value.text());
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
}

} // namespace kora
