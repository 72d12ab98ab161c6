#pragma once

#include "database/RowWriter.h"

#include <string>
#include <vector>

namespace kora {

class PgConnection;

// Rows sent to a table on the server with COPY ... FROM STDIN in its text
// format, a megabyte at a time, each megabyte a COPY of its own: between them
// the connection runs other statements, so that a load may write one table
// by COPY while it writes another row by row. Rows not finished are dropped.
class PgCopyWriter final : public RowWriter
{
public:
    // frozen: the table was made in this transaction, and its rows are
    // written as every later reader sees them (COPY FREEZE), so that
    // neither the first readers nor the server's vacuum rewrite its pages.
    PgCopyWriter(PgConnection& connection, const std::string& table,
                 const std::vector<std::string>& columns, bool frozen = false);

    void add(const std::vector<Value>& row) override;
    void finish() override;

private:
    void send();

    PgConnection& m_connection;
    std::string m_context; // for a failure's message
    std::string m_copy;
    std::string m_buffer;
    // The row id's sequence of a table numbered here, and the last row id given.
    std::string m_sequence;
    long long m_lastRowId = 0;
};

} // namespace kora
