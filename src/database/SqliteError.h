#pragma once

#include "database/DbError.h"

struct sqlite3;

namespace kora {

// The engine's last error on a connection, as a DbError whose kind tells a
// broken unique index and a busy database apart from other failures.
DbError sqliteError(sqlite3* db, const std::string& context);

} // namespace kora
