#pragma once

#include "database/Database.h"

#include <string>
#include <vector>

namespace kora {

// Drops the non-unique indexes of tables about to be refilled and builds them
// again once the rows are in: one sort at the end is far cheaper than keeping
// the indexes up to date row by row. Unique indexes stay, as they guard the
// data. Both steps belong in the caller's transaction, so that a rollback
// brings the indexes back with the rows. Where dropping an index would keep
// readers waiting until the commit (a server), the indexes stay and are kept
// up row by row.
class DeferredIndexes
{
public:
    DeferredIndexes(Database& db, const std::vector<std::string>& tables);

    void rebuild();

private:
    Database& m_db;
    std::vector<std::string> m_createStatements;
};

} // namespace kora
