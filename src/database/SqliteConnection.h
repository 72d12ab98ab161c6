#pragma once

#include "database/Connection.h"

#include <memory>
#include <string>

struct sqlite3;

namespace kora {

// A connection to a SQLite database file.
class SqliteConnection final : public Connection
{
public:
    // Opens an existing file read-write and checks the connect string's password.
    static std::unique_ptr<SqliteConnection> open(const std::string& path,
                                                  const std::string& connect);
    // Makes a new file carrying the password of the connect string.
    static std::unique_ptr<SqliteConnection> create(const std::string& path,
                                                    const std::string& connect);
    // Plays the journal a connection left beside the file into the file.
    static void checkpoint(const std::string& path);
    ~SqliteConnection() override;

    SqlDialect::Target target() const override { return SqlDialect::Target::Sqlite; }
    void execute(const std::string& sql) override;
    std::unique_ptr<StatementEngine> prepare(const std::string& sql) override;

    bool tableExists(const std::string& table) override;
    std::vector<std::string> columnsOf(const std::string& table) override;
    std::vector<std::string> indexColumnsOf(const std::string& index) override;
    std::vector<IndexDefinition> nonUniqueIndexesOf(const std::string& table) override;

    void begin() override;
    bool inTransaction() const override;
    bool hasChangedRows() const override;
    bool indexChangesBlockReaders() const override { return false; }
    void interrupt() override;
    void sizeFor(WorkSizing sizing) override;
    WorkSizing sizing() const override { return m_sizing; }

    std::unique_ptr<Connection> reader() const override;
    std::unique_ptr<KeyLock> tryLockKey(const std::string& key) const override;
    void changePassword(const std::string& connect) override;

private:
    SqliteConnection(const std::string& path, int flags);
    void configure();
    void checkPassword(const std::string& password);
    void storeVerifier(const std::string& sql, const std::string& connect);
    std::vector<std::string> names(const std::string& sql, const std::string& argument);

    sqlite3* m_db = nullptr;
    std::string m_path;
    WorkSizing m_sizing = WorkSizing::Ordinary;
    long long m_changesAtBegin = 0;
};

} // namespace kora
