#pragma once

#include "database/DbError.h"
#include "database/StateLock.h"
#include "database/Statement.h"

#include <string>

struct sqlite3;

namespace kora {

// One open database file. Statements in the original dialect are accepted as
// they stand (see SqlDialect); text compares and sorts without regard to case.
class Database
{
public:
    Database() = default;
    Database(const std::string& path, const std::string& connect) { open(path, connect); }
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    // Opens an existing file shared, read-write. Throws DbError when the file is
    // missing or damaged, when the connect string's PWD is not its password, or
    // when an upgrade is replacing it (see StateLock).
    void open(const std::string& path, const std::string& connect);
    // Makes a new, empty database file carrying the password of the connect string.
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

    bool isOpen() const { return m_db != nullptr; }
    void close();
    const std::string& path() const { return m_path; }

    // Runs one or more statements that return no rows.
    void execute(const std::string& sql);
    Statement prepare(const std::string& sql);
    bool tableExists(const std::string& table);

    void begin();
    void commit();
    void rollback();
    bool inTransaction() const;
    // Whether the open transaction has changed any rows yet. Counted from
    // begin(); a transaction begun otherwise counts from the last begin().
    bool hasChangedRows() const;
    // Stops the statement running on this connection, from any thread: its
    // step throws DbError. Does nothing while no statement runs.
    void interrupt();

private:
    void configure();
    void checkPassword(const std::string& password);

    // Taken before the file is opened and let go after it is closed.
    StateLock m_stateLock;
    sqlite3* m_db = nullptr;
    std::string m_path;
    long long m_changesAtBegin = 0;
};

} // namespace kora
