#pragma once

#include "database/PgCopyWriter.h"

#include <string>
#include <vector>

namespace kora {

class PgConnection;

// Rows merged into a table on the server: sent by COPY to a scratch table of
// the session, then inserted from there by statements over all of them, each
// row whose key is there already merged by the conflict action. Rows of one
// key are merged in the order they were added: the first of them in one
// statement, the second of them in the next, and so on. The table's new rows
// take their row ids in the order they were added, as prepared inserts give.
class PgMergeWriter final : public RowWriter
{
public:
    PgMergeWriter(PgConnection& connection, const std::string& table,
                  const std::vector<std::string>& columns, const std::vector<std::string>& key,
                  const std::string& conflictAction);

    void add(const std::vector<Value>& row) override;
    void finish() override;

private:
    PgConnection& m_connection;
    std::string m_scratch;
    std::string m_insert;
    std::string m_keyList;
    PgCopyWriter m_copy;
};

} // namespace kora
