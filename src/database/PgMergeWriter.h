#pragma once

#include "base/RowKeySet.h"
#include "database/PgCopyWriter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kora {

class PgConnection;
class PgReplacedTables;

// Rows merged into a table on the server: sent by COPY to a scratch table of
// the session, then inserted from there by statements over all of them, each
// row whose key is there already merged by the conflict action. Rows of one
// key are merged in the order they were added: the first of them in one
// statement, the second of them in the next, and so on. The table's new rows
// take their row ids in the order they were added, as prepared inserts give.
// Into a table the transaction writes anew (replaced), the first row of each
// key goes by COPY straight into it, and only the rows of a key met before
// pass through the scratch table once the table's indexes are built. Those
// first rows go in the order of the key's last field within each run of rows
// alike in the fields before it (a company's classes, in practice): the rows
// of a file in the order of its companies then reach the table in the order
// of its unique index, whose building then finds them in order instead of
// sorting them. Their row ids follow that order.
class PgMergeWriter final : public RowWriter
{
public:
    PgMergeWriter(PgConnection& connection, const std::string& table,
                  const std::vector<std::string>& columns, const std::vector<std::string>& key,
                  const std::string& conflictAction, PgReplacedTables* replaced);

    void add(const std::vector<Value>& row) override;
    void finish() override;

private:
    // Whether the row's key may have been added before. Keys are told apart
    // by a hash of their text with ASCII letters folded, as the server's
    // case-blind text does; a key with other letters, whose folding is the
    // server's to say, or whose hash was seen, may have been.
    bool mayBeMetBefore(const std::vector<Value>& row);
    // Whether the row joins the rows held back, which are sent in key order.
    bool inGroup(const std::vector<Value>& row) const;
    void sendGroup();

    PgConnection& m_connection;
    std::string m_table;
    std::string m_scratch;
    std::string m_insert;
    std::string m_keyList;
    std::vector<size_t> m_keyColumns;
    PgReplacedTables* m_replaced;
    PgCopyWriter m_copy;
    std::optional<PgCopyWriter> m_direct;
    RowKeySet m_keysMet;
    std::vector<std::vector<Value>> m_group;
};

} // namespace kora
