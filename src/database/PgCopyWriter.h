#pragma once

#include "database/RowWriter.h"

#include <string>
#include <vector>

namespace kora {

class PgConnection;

// Rows sent to a table on the server with COPY ... FROM STDIN in its text
// format, a megabyte at a time.
class PgCopyWriter final : public RowWriter
{
public:
    PgCopyWriter(PgConnection& connection, const std::string& table,
                 const std::vector<std::string>& columns);
    ~PgCopyWriter() override;

    void add(const std::vector<Value>& row) override;
    void finish() override;

private:
    void send();

    PgConnection& m_connection;
    std::string m_buffer;
    bool m_open = true;
};

} // namespace kora
