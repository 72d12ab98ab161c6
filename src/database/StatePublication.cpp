#include "database/StatePublication.h"

#include "base/AtomicFile.h"
#include "base/FieldName.h"
#include "base/Folders.h"
#include "base/StateCodes.h"
#include "database/ConnectString.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "database/Schema.h"
#include "database/ServerRoles.h"
#include "database/StateLock.h"
#include "database/Transaction.h"

#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace kora {

namespace {

constexpr long long kProgressEvery = 10000;

long long rowCount(Database& db, const std::string& table)
{
    Statement count = db.prepare("SELECT COUNT(*) FROM " + quoteIdentifier(table));
    count.step();
    return static_cast<long long>(count.column(0).toInteger());
}

} // namespace

StatePublication::StatePublication(std::string programFolder, std::string state, Progress progress)
    : m_folder(Folders::withSeparator(std::move(programFolder))), m_state(std::move(state)),
      m_progress(std::move(progress))
{
}

std::string StatePublication::statePath() const
{
    return m_folder + stateDatabaseName(m_state);
}

void StatePublication::toServer(const std::string& connectionText, const ServerRoles& roles)
{
    const std::string connect = Installation(m_folder).stateConnect(m_state);
    if (isServerConnect(connect))
        throw std::runtime_error(m_state + " is on a server already (" + where() +
                                 "): publish it back to its file first.");
    // Notes written into the file after its rows were copied would be lost.
    const auto lock = StateLock::forReplacing(statePath());
    if (!lock)
        throw std::runtime_error(m_state +
                                 " is open in KORA: close it everywhere, then publish again.");

    Database file(statePath(), connect);
    const std::string serverConnect = serverConnectOf(connectionText);
    // What an earlier publishing left on the server is used by no program: the
    // setup points at the file until the new copy is whole.
    dropSchema(serverConnect);
    Database server = Database::create(statePath(), serverConnect);
    try {
        for (const std::string& statement : roles.setUpSql())
            server.execute(statement);
        Transaction work(server);
        const std::vector<Schema::Table> tables = Schema::everyTableOf(m_state);
        const auto target = SqlDialect::Target::Postgres;
        for (const Schema::Table& table : tables)
            server.execute(Schema::createTableSql(table, target));
        copyTables(file, server);
        // Indexes built once over the copied rows take a fraction of the time
        // of keeping them up row by row; the planner then learns the rows.
        for (const Schema::Table& table : tables) {
            for (const std::string& statement : Schema::createIndexesSql(table, target))
                server.execute(statement);
            server.execute("ANALYZE " + quoteIdentifier(table.name));
        }
        std::vector<std::string> names;
        for (const Schema::Table& table : tables)
            names.push_back(table.name);
        for (const std::string& statement : roles.grantsSql(m_state, names))
            server.execute(statement);
        work.commit();
        // Marks the copied pages as seen by every transaction, which lets the
        // orders of the result list be read from their indexes alone.
        for (const Schema::Table& table : tables)
            server.execute("VACUUM " + quoteIdentifier(table.name));
    } catch (...) {
        server.close();
        dropSchema(serverConnect);
        throw;
    }
    setConnect(serverConnectOf(connectionText));
}

void StatePublication::toFile()
{
    const std::string connect = Installation(m_folder).stateConnect(m_state);
    if (!isServerConnect(connect))
        throw std::runtime_error(m_state + " is in its file already.");
    const auto lock = StateLock::forReplacing(statePath());
    if (!lock)
        throw std::runtime_error(m_state + "'s old file is open in KORA: close it, then publish "
                                           "again.");

    Database server(statePath(), connect);
    const std::string fileConnect = stateConnectOf(m_state);
    // The old file is stale: nothing of its journal may reach the new one.
    std::error_code ignored;
    fs::remove(statePath() + "-wal", ignored);
    fs::remove(statePath() + "-shm", ignored);
    AtomicFile::replace(statePath(), [&](const std::string& scratch) {
        Schema::createStateDatabase(scratch, fileConnect, m_state);
        Database file(scratch, fileConnect);
        Transaction work(file);
        copyTables(server, file);
        work.commit();
    });
    setConnect(fileConnect);
}

void StatePublication::replaceServerRows(const std::string& filePath,
                                         const std::string& fileConnect)
{
    const std::string connect = Installation(m_folder).stateConnect(m_state);
    if (!isServerConnect(connect))
        throw std::runtime_error(m_state + " is not on a server.");
    Database file(filePath, fileConnect);
    Database server(statePath(), connect);
    Transaction work(server);
    copyTables(file, server);
    work.commit();
    for (const Schema::Table& table : Schema::everyTableOf(m_state))
        server.execute("ANALYZE " + quoteIdentifier(table.name));
}

void StatePublication::dropSchema(const std::string& serverConnect) const
{
    try {
        Database server(statePath(), serverConnect);
        server.execute("DROP SCHEMA " + serverSchemaOf(m_state) + " CASCADE");
    } catch (const DbError& error) {
        if (error.kind() != DbError::Kind::NotFound)
            throw;
    }
}

std::string StatePublication::where() const
{
    const std::string connect = Installation(m_folder).stateConnect(m_state);
    return isServerConnect(connect) ? "server " + serverTextWithoutPassword(connect) : "file";
}

void StatePublication::copyTables(Database& from, Database& to) const
{
    for (const Schema::Table& table : Schema::everyTableOf(m_state)) {
        if (!from.tableExists(table.name))
            continue;
        if (to.tableExists(table.name))
            to.execute("DELETE FROM " + quoteIdentifier(table.name));
        else
            Schema::createTables(to, {table});
        std::vector<std::string> names;
        for (const Schema::Field& field : table.fields)
            names.push_back(field.name);
        // In the order of their row ids, which both engines keep: rows of equal
        // keys then come out of the copy in the order they came out of the original.
        Statement rows = from.prepare("SELECT " + quoteIdentifiers(names) + " FROM " +
                                      quoteIdentifier(table.name) + " ORDER BY rowid");
        const auto writer = to.rowWriter(table.name, names);
        std::vector<Value> row(names.size());
        long long copied = 0;
        while (rows.step()) {
            for (size_t column = 0; column < row.size(); ++column)
                row[column] = rows.column(static_cast<int>(column));
            writer->add(row);
            if (++copied % kProgressEvery == 0 && m_progress)
                m_progress(table.name, copied);
        }
        writer->finish();
        if (m_progress)
            m_progress(table.name, copied);
        const long long there = rowCount(to, table.name);
        if (there != copied || rowCount(from, table.name) != copied)
            throw std::runtime_error("The copy of " + table.name + " holds " +
                                     std::to_string(there) + " rows instead of " +
                                     std::to_string(copied) + ".");
    }
}

void StatePublication::setConnect(const std::string& connect) const
{
    Installation::setStateConnectIn(m_folder + std::string(kSetupDatabaseName), m_state, connect);
}

} // namespace kora
