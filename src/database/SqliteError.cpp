#include "database/SqliteError.h"

#include <sqlite3.h>

namespace kora {

DbError sqliteError(sqlite3* db, const std::string& context)
{
    const int code = sqlite3_extended_errcode(db);
    DbError::Kind kind = DbError::Kind::General;
    if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY)
        kind = DbError::Kind::UniqueViolation;
    else if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED)
        kind = DbError::Kind::Busy;
    return DbError(context + ": " + sqlite3_errmsg(db), kind);
}

} // namespace kora
