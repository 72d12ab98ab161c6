#pragma once

#include "database/Database.h"
#include "database/Schema.h"
#include "support/TempFolder.h"
#include "support/TestServer.h"

#include <memory>
#include <string>
#include <vector>

namespace kora::test {

// Every row the query gives, its columns joined by '|', a null shown as nullText.
inline std::vector<std::string> queryRows(Statement& query, const std::string& nullText = "-")
{
    std::vector<std::string> rows;
    while (query.step()) {
        std::string row;
        for (int i = 0; i < query.columnCount(); ++i)
            row +=
                (i ? "|" : "") + (query.column(i).isNull() ? nullText : query.column(i).toString());
        rows.push_back(row);
    }
    return rows;
}

inline std::vector<std::string> queryRows(Database& db, const std::string& sql,
                                          const std::string& nullText = "-")
{
    Statement query = db.prepare(sql);
    return queryRows(query, nullText);
}

// An empty state database (all tables, reference rows), open: a file in a
// test folder, or the state's schema in a fresh database on the test server.
class StateDatabase
{
public:
    static constexpr const char* kConnect = ";PWD=secret1";

    explicit StateDatabase(const std::string& state = "PA", Engine engine = Engine::File)
        : m_path(m_folder.file("KORA" + state + ".MDB")),
          m_server(engine == Engine::Server ? std::make_unique<TestServer>() : nullptr),
          m_connect(m_server ? m_server->connect() : kConnect)
    {
        Schema::createStateDatabase(m_path, m_connect, state);
        m_db.open(m_path, m_connect);
    }

    Database& db() { return m_db; }
    const TempFolder& folder() const { return m_folder; }
    std::string path() const { return m_path; }
    // The connect string the database opens with.
    const std::string& connect() const { return m_connect; }
    // The first column of the first row the query gives; null when it gives none.
    Value value(const std::string& sql, const std::vector<Value>& arguments = {})
    {
        Statement query = m_db.prepare(sql);
        query.bindAll(arguments);
        return query.step() ? query.column(0) : Value();
    }

private:
    TempFolder m_folder;
    std::string m_path;
    std::unique_ptr<TestServer> m_server;
    std::string m_connect;
    Database m_db;
};

// A test run once on each engine (INSTANTIATE_TEST_SUITE_P with engineName),
// on a PA state database of type Data; without a server the server's run is
// skipped, or fails under CI=true. A subclass's SetUp returns when IsSkipped().
template <class Data = StateDatabase> class EngineTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        if (GetParam() == Engine::Server)
            KORA_SKIP_WITHOUT_SERVER();
        m_data = std::make_unique<Data>("PA", GetParam());
    }

    Data& data() { return *m_data; }
    Database& db() { return m_data->db(); }

private:
    std::unique_ptr<Data> m_data;
};

} // namespace kora::test
