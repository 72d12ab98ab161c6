#include "upgrade/DeliveredDatabase.h"

#include "database/ConnectString.h"
#include "database/Database.h"
#include "database/Schema.h"

namespace kora {

namespace {

// Opens the file with the connect string; false when its password differs.
bool opens(Database& db, const std::string& path, const std::string& connect)
{
    try {
        db.open(path, connect);
        return true;
    } catch (const DbError& error) {
        if (error.kind() != DbError::Kind::WrongPassword)
            throw;
        return false;
    }
}

} // namespace

std::optional<std::string> DeliveredDatabase::fault(const std::string& path,
                                                    const std::string& state,
                                                    const std::string& connect)
{
    try {
        Database db;
        const bool ownPassword = !opens(db, path, connect);
        if (ownPassword && !opens(db, path, stateConnectOf(state)))
            return "it does not open with the password of the " + state +
                   " database: it is another state's database or none of KORA";
        Statement check = db.prepare("PRAGMA integrity_check");
        const std::string verdict = check.step() ? check.column(0).toString() : "no answer";
        if (verdict != "ok")
            return "it is damaged (" + verdict + ")";
        // The follow-ups are the agent's own, and opening the state adds their table.
        for (const Schema::Table& table : Schema::stateTables(state))
            if (table.name != Schema::followUpTable().name && !db.tableExists(table.name))
                return "it lacks the table " + table.name + " of a " + state + " database";
        if (ownPassword)
            db.changePassword(connect);
        return std::nullopt;
    } catch (const DbError& error) {
        return "it is damaged (" + std::string(error.what()) + ")";
    }
}

} // namespace kora
