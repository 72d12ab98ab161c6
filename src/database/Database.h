#pragma once

#include "database/DbError.h"
#include "database/IndexDefinition.h"
#include "database/KeyLock.h"
#include "database/RowWriter.h"
#include "database/StateLock.h"
#include "database/Statement.h"
#include "database/WorkSizing.h"

#include <memory>
#include <string>

namespace kora {

class Connection;

// One open database: a file, or a state database on a server when the connect
// string starts with "PG;" (see ConnectString). Statements in the original
// dialect are accepted as they stand (see SqlDialect); text compares and
// sorts without regard to case.
class Database
{
public:
    Database();
    Database(const std::string& path, const std::string& connect);
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    // Opens an existing file shared, read-write. Throws DbError when the file is
    // missing or damaged, when the connect string's PWD is not its password, or
    // when an upgrade is replacing it (see StateLock). A server state database
    // (path KORA<st>.MDB) opens the schema of the state on the server instead;
    // a server that cannot be reached, refuses the login or lacks the state's
    // schema throws DbError naming the server.
    void open(const std::string& path, const std::string& connect);
    // Makes a new, empty database file carrying the password of the connect
    // string; on a server, the empty schema of the state.
    static Database create(const std::string& path, const std::string& connect);
    // Makes the open database carry the password of the connect string instead.
    void changePassword(const std::string& connect);
    // A read-only connection of its own to the same file, for reading on
    // another thread; this connection's open has checked the password already.
    Database reader() const;
    // Plays the journal a connection left beside the file (one that ended
    // without closing it) into the file; closing, the last connection removes
    // the journal files. Throws DbError when the file cannot be read.
    static void checkpoint(const std::string& path);

    bool isOpen() const { return m_connection != nullptr; }
    void close();
    const std::string& path() const { return m_path; }

    // Runs one or more statements that return no rows.
    void execute(const std::string& sql);
    Statement prepare(const std::string& sql);
    bool tableExists(const std::string& table);
    // The table's indexes that are not unique, each with the statement that makes it again.
    std::vector<IndexDefinition> nonUniqueIndexesOf(const std::string& table);
    // Adds many rows to a table (see RowWriter), in the open transaction.
    std::unique_ptr<RowWriter> rowWriter(const std::string& table,
                                         const std::vector<std::string>& columns);
    // Adds many rows to a table like rowWriter, merging a row whose key is
    // there already by conflictAction, the original dialect's text after
    // "ON CONFLICT (key)" ("DO UPDATE SET ...", with the table's name for the
    // stored row and excluded for the new one). Rows of one key are merged in
    // the order they are added.
    // "INSERT INTO table (columns) VALUES (?, ...)", a place for each column.
    static std::string insertSql(const std::string& table, const std::vector<std::string>& columns);
    std::unique_ptr<RowWriter> mergingRowWriter(const std::string& table,
                                                const std::vector<std::string>& columns,
                                                const std::vector<std::string>& key,
                                                const std::string& conflictAction);

    void begin();
    void commit();
    void rollback();
    bool inTransaction() const;
    // Whether the open transaction has changed any rows yet. Counted from
    // begin(); a transaction begun otherwise counts from the last begin().
    bool hasChangedRows() const;
    // See Connection::indexChangesBlockReaders.
    bool indexChangesBlockReaders() const;
    // See Connection::replaceTables and indexReplacedTables.
    bool replaceTables(const std::vector<std::string>& tables);
    void indexReplacedTables();
    // Stops the statement running on this connection, from any thread: its
    // step throws DbError. Does nothing while no statement runs.
    void interrupt();
    // See Connection::sizeFor.
    void sizeFor(WorkSizing sizing);
    WorkSizing sizing() const;

    // Locks one key (a company's note) for as long as the lock lives: null
    // while anyone else holds it, in this process or another. The lock goes
    // when its holder dies too.
    std::unique_ptr<KeyLock> tryLockKey(const std::string& key) const;

private:
    friend class Schema;
    friend class TableRecordSet;
    friend class QueryRecordSet;

    Connection& connection() const;

    // Taken before the file is opened and let go after it is closed.
    StateLock m_stateLock;
    std::unique_ptr<Connection> m_connection;
    std::string m_path;
};

} // namespace kora
