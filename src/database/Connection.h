#pragma once

#include "database/IndexDefinition.h"
#include "database/KeyLock.h"
#include "database/RowWriter.h"
#include "database/SqlDialect.h"
#include "database/StatementEngine.h"
#include "database/WorkSizing.h"

#include <memory>
#include <string>
#include <vector>

namespace kora {

// One open connection of an engine: a database file (SqliteConnection) or a
// state's schema on a server (PgConnection). Database reaches the engine
// only through here.
class Connection
{
public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    virtual ~Connection() = default;

    virtual SqlDialect::Target target() const = 0;
    // Runs statements in the original dialect that return no rows.
    virtual void execute(const std::string& sql) = 0;
    virtual std::unique_ptr<StatementEngine> prepare(const std::string& sql) = 0;

    virtual bool tableExists(const std::string& table) = 0;
    // The columns of a table in their order; empty for a table that is not there.
    virtual std::vector<std::string> columnsOf(const std::string& table) = 0;
    // The columns of an index (stored as TABLE_INDEX) in their order.
    virtual std::vector<std::string> indexColumnsOf(const std::string& index) = 0;
    // The table's indexes that are not unique.
    virtual std::vector<IndexDefinition> nonUniqueIndexesOf(const std::string& table) = 0;

    virtual void begin() = 0;
    virtual bool inTransaction() const = 0;
    virtual bool hasChangedRows() const = 0;
    // Whether an index dropped in a transaction keeps readers of its table
    // waiting until the transaction ends, rather than reading what was
    // committed before it.
    virtual bool indexChangesBlockReaders() const = 0;
    virtual void interrupt() = 0;
    // Sizes the memory of the connection for the work that follows: a long
    // load's rows, its index builds, or ordinary work again after them.
    virtual void sizeFor(WorkSizing sizing) = 0;
    virtual WorkSizing sizing() const = 0;
    // Has the open transaction write the tables anew: its statements then
    // find them empty, with their unique indexes only, while other
    // connections read their rows as they stand; indexReplacedTables() adds
    // the other indexes once the rows are in, and the commit puts the new
    // tables in the place of the old. False when the engine has no such way.
    virtual bool replaceTables(const std::vector<std::string>& /*tables*/) { return false; }
    virtual void indexReplacedTables() {}

    // A read-only connection of its own to the same database.
    virtual std::unique_ptr<Connection> reader() const = 0;
    // The lock of a key, or null while another holder has it.
    virtual std::unique_ptr<KeyLock> tryLockKey(const std::string& key) const = 0;
    virtual void changePassword(const std::string& connect) = 0;
    // A writer of many rows into a table by the engine's own bulk path; null
    // when the engine has nothing faster than prepared inserts.
    virtual std::unique_ptr<RowWriter> rowWriter(const std::string& /*table*/,
                                                 const std::vector<std::string>& /*columns*/)
    {
        return nullptr;
    }
    // A writer of many rows into a table that merges a row whose key is
    // there already by conflictAction (see Database::mergingRowWriter); null
    // when the engine has nothing faster than prepared inserts.
    virtual std::unique_ptr<RowWriter> mergingRowWriter(const std::string& /*table*/,
                                                        const std::vector<std::string>& /*columns*/,
                                                        const std::vector<std::string>& /*key*/,
                                                        const std::string& /*conflictAction*/)
    {
        return nullptr;
    }
};

} // namespace kora
