#pragma once

#include "database/Database.h"
#include "loading/DeferredIndexes.h"

#include <optional>
#include <string>
#include <vector>

namespace kora {

// Tables a load empties and fills again, in the caller's transaction. On a
// server the load writes fresh tables that its commit puts in the place of
// the old ones (Database::replaceTables), so that agents read the old rows
// until then and never wait for the load's indexes; on a file the rows are
// deleted and the non-unique indexes set aside (DeferredIndexes).
class ReplacedTables
{
public:
    ReplacedTables(Database& db, const std::vector<std::string>& tables);

    // Builds the indexes set aside, once the rows are in.
    void rebuildIndexes();

private:
    Database& m_db;
    std::optional<DeferredIndexes> m_deferred;
};

} // namespace kora
