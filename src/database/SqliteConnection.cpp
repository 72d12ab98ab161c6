#include "database/SqliteConnection.h"

#include "base/StableHash.h"
#include "database/BackgroundCheckpoint.h"

#include "database/ConnectString.h"
#include "database/LockFile.h"
#include "database/NetworkFolder.h"
#include "database/SqliteError.h"
#include "database/SqliteStatement.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <mutex>

namespace kora {

namespace {

constexpr int kBusyTimeoutMs = 10000;
const char* const kVerifierTable = "KORA_VERIFIER";

// A verifier of the password, not a secret: it only stops the wrong file or
// the wrong connect string from being used.
std::string passwordVerifier(const std::string& password)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx",
                  static_cast<unsigned long long>(stableHash("KORA:" + password)));
    return text;
}

// MONTH(date) and DAY(date) of a stored YYYY-MM-DD text; no value gives no value.
void datePart(sqlite3_context* context, sqlite3_value* argument, int offset)
{
    const auto* text = sqlite3_value_text(argument);
    if (!text || sqlite3_value_bytes(argument) < offset + 2) {
        sqlite3_result_null(context);
        return;
    }
    const int tens = text[offset] - '0';
    const int ones = text[offset + 1] - '0';
    if (tens < 0 || tens > 9 || ones < 0 || ones > 9) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_int(context, tens * 10 + ones);
}

void monthFunction(sqlite3_context* context, int, sqlite3_value** arguments)
{
    datePart(context, arguments[0], 5);
}

void dayFunction(sqlite3_context* context, int, sqlite3_value** arguments)
{
    datePart(context, arguments[0], 8);
}

// A company's byte of the lock file beside the database, below the state byte;
// two keys sharing a byte only means one waits for the other.
class FileKeyLock final : public KeyLock
{
public:
    FileKeyLock(LockFile file, long long byte) : m_file(std::move(file)), m_byte(byte) {}
    ~FileKeyLock() override { m_file.unlock(m_byte); }

private:
    LockFile m_file;
    long long m_byte;
};

} // namespace

SqliteConnection::SqliteConnection(const std::string& path, int flags) : m_path(path)
{
    // A connection is used by one thread at a time, so the library's lock on
    // every call and its count of the memory in use (under a lock of its own)
    // would only slow the loads down.
    static std::once_flag configured;
    std::call_once(configured, [] { sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0); });
    if (sqlite3_open_v2(path.c_str(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        DbError failure =
            sqliteError(m_db, ((flags & SQLITE_OPEN_CREATE) ? "Cannot create '" : "Cannot open '") +
                                  path + "'");
        sqlite3_close_v2(m_db);
        throw failure;
    }
}

SqliteConnection::~SqliteConnection()
{
    sqlite3_close_v2(m_db);
}

std::unique_ptr<SqliteConnection> SqliteConnection::open(const std::string& path,
                                                         const std::string& connect)
{
    std::unique_ptr<SqliteConnection> connection(new SqliteConnection(path, SQLITE_OPEN_READWRITE));
    connection->configure();
    connection->checkPassword(passwordOfConnect(connect));
    return connection;
}

std::unique_ptr<SqliteConnection> SqliteConnection::create(const std::string& path,
                                                           const std::string& connect)
{
    std::unique_ptr<SqliteConnection> connection(
        new SqliteConnection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE));
    connection->configure();
    connection->execute(std::string("CREATE TABLE ") + kVerifierTable + " (VERIFIER TEXT)");
    connection->storeVerifier(std::string("INSERT INTO ") + kVerifierTable + " VALUES (?)",
                              connect);
    return connection;
}

void SqliteConnection::checkpoint(const std::string& path)
{
    BackgroundCheckpoint::wait();
    SqliteConnection(path, SQLITE_OPEN_READWRITE).execute("PRAGMA wal_checkpoint(TRUNCATE)");
}

std::unique_ptr<Connection> SqliteConnection::reader() const
{
    std::unique_ptr<SqliteConnection> connection(
        new SqliteConnection(m_path, SQLITE_OPEN_READONLY));
    connection->configure();
    return connection;
}

void SqliteConnection::configure()
{
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(m_db, "MONTH", 1, flags, nullptr, monthFunction, nullptr, nullptr);
    sqlite3_create_function(m_db, "DAY", 1, flags, nullptr, dayFunction, nullptr, nullptr);
    // A reader leaves the journal mode to the connections that write. The
    // write-ahead log needs every user on one host: on a network folder the
    // rollback journal takes its place.
    if (sqlite3_db_readonly(m_db, "main") != 0)
        return;
    if (!NetworkFolder::holds(m_path)) {
        execute("PRAGMA journal_mode=WAL");
        return;
    }
    // Leaving the log needs the file alone: while another user still holds
    // it in that mode, the first to open it alone changes it.
    try {
        execute("PRAGMA journal_mode=DELETE");
    } catch (const DbError& error) {
        if (error.kind() != DbError::Kind::Busy)
            throw;
    }
}

void SqliteConnection::checkPassword(const std::string& password)
{
    std::string stored;
    if (tableExists(kVerifierTable)) {
        SqliteStatement query(m_db, std::string("SELECT VERIFIER FROM ") + kVerifierTable);
        if (query.step())
            stored = query.text(0);
    }
    const std::string expected = stored.empty() ? passwordVerifier("") : stored;
    if (passwordVerifier(password) != expected)
        throw DbError("Not a valid password.", DbError::Kind::WrongPassword);
}

void SqliteConnection::changePassword(const std::string& connect)
{
    storeVerifier(std::string("UPDATE ") + kVerifierTable + " SET VERIFIER = ?", connect);
}

void SqliteConnection::storeVerifier(const std::string& sql, const std::string& connect)
{
    SqliteStatement store(m_db, sql);
    store.bindText(1, passwordVerifier(passwordOfConnect(connect)));
    store.step();
}

void SqliteConnection::execute(const std::string& sql)
{
    const std::string translated = SqlDialect::translate(sql);
    char* message = nullptr;
    if (sqlite3_exec(m_db, translated.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        sqlite3_free(message);
        throw sqliteError(m_db, "Cannot execute \"" + sql + "\"");
    }
}

std::unique_ptr<StatementEngine> SqliteConnection::prepare(const std::string& sql)
{
    return std::make_unique<SqliteStatement>(m_db, SqlDialect::translate(sql));
}

std::vector<std::string> SqliteConnection::names(const std::string& sql,
                                                 const std::string& argument)
{
    SqliteStatement query(m_db, sql);
    query.bindText(1, argument);
    std::vector<std::string> result;
    while (query.step())
        result.emplace_back(query.text(0));
    return result;
}

bool SqliteConnection::tableExists(const std::string& table)
{
    return !names("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?", table)
                .empty();
}

std::vector<std::string> SqliteConnection::columnsOf(const std::string& table)
{
    return names("SELECT name FROM pragma_table_info(?)", table);
}

std::vector<std::string> SqliteConnection::indexColumnsOf(const std::string& index)
{
    return names("SELECT name FROM pragma_index_info(?) ORDER BY seqno", index);
}

std::vector<IndexDefinition> SqliteConnection::nonUniqueIndexesOf(const std::string& table)
{
    SqliteStatement query(m_db, "SELECT m.name, m.sql FROM sqlite_master AS m "
                                "JOIN pragma_index_list(?1) AS l ON l.name = m.name "
                                "WHERE m.type = 'index' AND m.tbl_name = ?1 "
                                "AND l.\"unique\" = 0 AND m.sql IS NOT NULL");
    query.bindText(1, table);
    std::vector<IndexDefinition> found;
    while (query.step())
        found.push_back({std::string(query.text(0)), std::string(query.text(1))});
    return found;
}

void SqliteConnection::begin()
{
    execute("BEGIN IMMEDIATE");
    m_changesAtBegin = sqlite3_total_changes64(m_db);
}

bool SqliteConnection::inTransaction() const
{
    return sqlite3_get_autocommit(m_db) == 0;
}

bool SqliteConnection::hasChangedRows() const
{
    // The write state would not tell: BEGIN IMMEDIATE takes the write lock
    // before anything is written.
    return inTransaction() && sqlite3_total_changes64(m_db) != m_changesAtBegin;
}

void SqliteConnection::sizeFor(WorkSizing sizing)
{
    if (sizing == m_sizing)
        return;
    // A load's rows go into a page cache that holds a whole state, which
    // keeps them out of the log until the commit. An index build sorts its
    // keys in runs the size of the cache, on two threads: small runs sort
    // far quicker than one run of everything. The log is copied into the
    // file once, after the load, beside whatever comes next.
    const bool loading = sizing != WorkSizing::Ordinary;
    switch (sizing) {
    case WorkSizing::Ordinary:
        execute("PRAGMA cache_size=-2000");
        break;
    case WorkSizing::LoadRows:
        execute("PRAGMA cache_size=-262144");
        break;
    case WorkSizing::IndexBuilds:
        execute("PRAGMA cache_size=-8000");
        break;
    }
    execute(loading ? "PRAGMA threads=2" : "PRAGMA threads=0");
    execute(loading ? "PRAGMA wal_autocheckpoint=0" : "PRAGMA wal_autocheckpoint=1000");
    if (!loading)
        BackgroundCheckpoint::start(m_path);
    m_sizing = sizing;
}

void SqliteConnection::interrupt()
{
    sqlite3_interrupt(m_db);
}

std::unique_ptr<KeyLock> SqliteConnection::tryLockKey(const std::string& key) const
{
    LockFile file(m_path);
    const auto byte =
        static_cast<long long>(stableHash(key) % static_cast<std::uint64_t>(LockFile::kStateByte));
    if (!file.tryLock(byte, LockFile::Kind::Exclusive))
        return nullptr;
    return std::make_unique<FileKeyLock>(std::move(file), byte);
}

} // namespace kora
