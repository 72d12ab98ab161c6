#include "database/Database.h"

#include "base/FieldName.h"
#include "database/ConnectString.h"
#include "database/PgConnection.h"
#include "database/SqliteConnection.h"

#include <filesystem>

namespace kora {

namespace {

// Rows added by one prepared INSERT, for an engine without a bulk path.
class InsertRowWriter final : public RowWriter
{
public:
    explicit InsertRowWriter(Statement insert) : m_insert(std::move(insert)) {}

    void add(const std::vector<Value>& row) override
    {
        m_insert.reset();
        m_insert.bindAllInPlace(row).run();
    }
    void finish() override {}

private:
    Statement m_insert;
};

} // namespace

Database::Database() = default;

Database::Database(const std::string& path, const std::string& connect)
{
    open(path, connect);
}

Database::Database(Database&& other) noexcept = default;

Database& Database::operator=(Database&& other) noexcept
{
    if (this != &other) {
        close();
        m_stateLock = std::move(other.m_stateLock);
        m_connection = std::move(other.m_connection);
        m_path = std::move(other.m_path);
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
    if (isServerConnect(connect)) {
        m_connection = PgConnection::open(path, connect);
        m_path = path;
        return;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw DbError("Could not find file '" + path + "'.", DbError::Kind::NotFound);
    m_stateLock = StateLock::forOpening(path);
    try {
        m_connection = SqliteConnection::open(path, connect);
    } catch (...) {
        close();
        throw;
    }
    m_path = path;
}

Database Database::create(const std::string& path, const std::string& connect)
{
    Database db;
    if (isServerConnect(connect))
        db.m_connection = PgConnection::create(path, connect);
    else
        db.m_connection = SqliteConnection::create(path, connect);
    db.m_path = path;
    return db;
}

void Database::changePassword(const std::string& connect)
{
    connection().changePassword(connect);
}

Database Database::reader() const
{
    Database db;
    if (connection().target() == SqlDialect::Target::Sqlite)
        db.m_stateLock = StateLock::forOpening(m_path);
    db.m_connection = connection().reader();
    db.m_path = m_path;
    return db;
}

void Database::checkpoint(const std::string& path)
{
    SqliteConnection::checkpoint(path);
}

void Database::close()
{
    m_connection.reset();
    m_stateLock = StateLock();
}

Connection& Database::connection() const
{
    if (!m_connection)
        throw DbError("The database is not open.");
    return *m_connection;
}

void Database::execute(const std::string& sql)
{
    connection().execute(sql);
}

std::unique_ptr<RowWriter> Database::rowWriter(const std::string& table,
                                               const std::vector<std::string>& columns)
{
    if (auto bulk = connection().rowWriter(table, columns))
        return bulk;
    return std::make_unique<InsertRowWriter>(prepare(insertSql(table, columns)));
}

std::string Database::insertSql(const std::string& table, const std::vector<std::string>& columns)
{
    std::string places;
    for (size_t i = 0; i < columns.size(); ++i)
        places += i ? ", ?" : "?";
    return "INSERT INTO " + quoteIdentifier(table) + " (" + quoteIdentifiers(columns) +
           ") VALUES (" + places + ")";
}

std::unique_ptr<RowWriter> Database::mergingRowWriter(const std::string& table,
                                                      const std::vector<std::string>& columns,
                                                      const std::vector<std::string>& key,
                                                      const std::string& conflictAction)
{
    if (auto bulk = connection().mergingRowWriter(table, columns, key, conflictAction))
        return bulk;
    return std::make_unique<InsertRowWriter>(prepare(insertSql(table, columns) + " ON CONFLICT (" +
                                                     quoteIdentifiers(key) + ") " +
                                                     conflictAction));
}

Statement Database::prepare(const std::string& sql)
{
    return Statement(connection().prepare(sql));
}

std::vector<IndexDefinition> Database::nonUniqueIndexesOf(const std::string& table)
{
    return connection().nonUniqueIndexesOf(table);
}

bool Database::tableExists(const std::string& table)
{
    return connection().tableExists(table);
}

void Database::begin()
{
    connection().begin();
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
    return m_connection && m_connection->inTransaction();
}

bool Database::hasChangedRows() const
{
    return m_connection && m_connection->hasChangedRows();
}

bool Database::indexChangesBlockReaders() const
{
    return m_connection && m_connection->indexChangesBlockReaders();
}

void Database::sizeFor(WorkSizing sizing)
{
    connection().sizeFor(sizing);
}

WorkSizing Database::sizing() const
{
    return connection().sizing();
}

bool Database::replaceTables(const std::vector<std::string>& tables)
{
    return connection().replaceTables(tables);
}

void Database::indexReplacedTables()
{
    connection().indexReplacedTables();
}

void Database::interrupt()
{
    if (m_connection)
        m_connection->interrupt();
}

std::unique_ptr<KeyLock> Database::tryLockKey(const std::string& key) const
{
    return connection().tryLockKey(key);
}

} // namespace kora
