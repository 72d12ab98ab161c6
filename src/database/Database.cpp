#include "database/Database.h"

#include "base/StableHash.h"

#include "database/ConnectString.h"
#include "database/SqlDialect.h"
#include "database/SqliteError.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>

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

} // namespace

Database::Database(Database&& other) noexcept
    : m_stateLock(std::move(other.m_stateLock)), m_db(other.m_db), m_path(std::move(other.m_path))
{
    other.m_db = nullptr;
}

Database& Database::operator=(Database&& other) noexcept
{
    if (this != &other) {
        close();
        m_stateLock = std::move(other.m_stateLock);
        m_db = other.m_db;
        m_path = std::move(other.m_path);
        other.m_db = nullptr;
    }
    return *this;
}

Database::~Database()
{
    close();
}

void Database::open(const std::string& path, const std::string& connect)
{
    close();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw DbError("Could not find file '" + path + "'.", DbError::Kind::NotFound);
    m_stateLock = StateLock::forOpening(path);
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        DbError failure = sqliteError(m_db, "Cannot open '" + path + "'");
        close();
        throw failure;
    }
    m_path = path;
    try {
        configure();
        checkPassword(passwordOfConnect(connect));
    } catch (...) {
        close();
        throw;
    }
}

Database Database::create(const std::string& path, const std::string& connect)
{
    Database db;
    if (sqlite3_open_v2(path.c_str(), &db.m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK)
        throw sqliteError(db.m_db, "Cannot create '" + path + "'");
    db.m_path = path;
    db.configure();
    db.execute(std::string("CREATE TABLE ") + kVerifierTable + " (VERIFIER TEXT)");
    db.prepare(std::string("INSERT INTO ") + kVerifierTable + " VALUES (?)")
        .bind(1, passwordVerifier(passwordOfConnect(connect)))
        .run();
    return db;
}

void Database::changePassword(const std::string& connect)
{
    prepare(std::string("UPDATE ") + kVerifierTable + " SET VERIFIER = ?")
        .bind(1, passwordVerifier(passwordOfConnect(connect)))
        .run();
}

Database Database::reader() const
{
    if (!m_db)
        throw DbError("The database is not open.");
    Database db;
    db.m_stateLock = StateLock::forOpening(m_path);
    if (sqlite3_open_v2(m_path.c_str(), &db.m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw sqliteError(db.m_db, "Cannot open '" + m_path + "'");
    db.m_path = m_path;
    db.configure();
    return db;
}

void Database::configure()
{
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(m_db, "MONTH", 1, flags, nullptr, monthFunction, nullptr, nullptr);
    sqlite3_create_function(m_db, "DAY", 1, flags, nullptr, dayFunction, nullptr, nullptr);
    // A reader leaves the journal mode to the connections that write.
    if (sqlite3_db_readonly(m_db, "main") == 0)
        execute("PRAGMA journal_mode=WAL");
}

void Database::checkPassword(const std::string& password)
{
    std::string stored;
    if (tableExists(kVerifierTable)) {
        Statement query = prepare(std::string("SELECT VERIFIER FROM ") + kVerifierTable);
        if (query.step())
            stored = query.column(0).toString();
    }
    const std::string expected = stored.empty() ? passwordVerifier("") : stored;
    if (passwordVerifier(password) != expected)
        throw DbError("Not a valid password.", DbError::Kind::WrongPassword);
}

void Database::checkpoint(const std::string& path)
{
    Database db;
    if (sqlite3_open_v2(path.c_str(), &db.m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        throw sqliteError(db.m_db, "Cannot open '" + path + "'");
    db.m_path = path;
    db.execute("PRAGMA wal_checkpoint(TRUNCATE)");
}

void Database::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_stateLock = StateLock();
}

void Database::execute(const std::string& sql)
{
    if (!m_db)
        throw DbError("The database is not open.");
    const std::string translated = SqlDialect::translate(sql);
    char* message = nullptr;
    if (sqlite3_exec(m_db, translated.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        sqlite3_free(message);
        throw sqliteError(m_db, "Cannot execute \"" + sql + "\"");
    }
}

Statement Database::prepare(const std::string& sql)
{
    if (!m_db)
        throw DbError("The database is not open.");
    return Statement(m_db, SqlDialect::translate(sql));
}

bool Database::tableExists(const std::string& table)
{
    Statement query = prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    query.bind(1, table);
    return query.step();
}

void Database::begin()
{
    execute("BEGIN IMMEDIATE");
    m_changesAtBegin = sqlite3_total_changes64(m_db);
}

void Database::commit()
{
    execute("COMMIT");
}

void Database::rollback()
{
    if (inTransaction())
        execute("ROLLBACK");
}

bool Database::inTransaction() const
{
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

bool Database::hasChangedRows() const
{
    // The write state would not tell: BEGIN IMMEDIATE takes the write lock
    // before anything is written.
    return inTransaction() && sqlite3_total_changes64(m_db) != m_changesAtBegin;
}

void Database::interrupt()
{
    if (m_db)
        sqlite3_interrupt(m_db);
}

} // namespace kora
