#include "support/TestServer.h"

#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace kora::test {

namespace {

std::string serverText()
{
    const char* text = std::getenv("KORA_TEST_SERVER");
    return text ? text : "";
}

std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs one statement on the server's own database with psql; true when it went through.
bool runOnServer(const std::string& sql)
{
    const std::string command = "psql -X -q -v ON_ERROR_STOP=1 -d " + shellQuoted(serverText()) +
                                " -c " + shellQuoted(sql) + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

} // namespace

std::string TestServer::unavailable()
{
    static const std::string reason = []() -> std::string {
        if (serverText().empty())
            return "KORA_TEST_SERVER is not set: no PostgreSQL server for this run "
                   "(scripts/test.sh starts one)";
        if (!runOnServer("SELECT 1"))
            return "the server of KORA_TEST_SERVER (" + serverText() + ") cannot be reached";
        return {};
    }();
    return reason;
}

bool TestServer::required()
{
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

TestServer::TestServer()
{
    static int serial = 0;
    m_database = "kora_test_" + std::to_string(getpid()) + "_" + std::to_string(++serial);
    if (!runOnServer("CREATE DATABASE " + m_database))
        throw std::runtime_error("cannot make the test database " + m_database);
}

TestServer::~TestServer()
{
    runOnServer("DROP DATABASE IF EXISTS " + m_database + " WITH (FORCE)");
}

std::string TestServer::connect() const
{
    return "PG;" + serverText() + " dbname=" + m_database;
}

} // namespace kora::test
