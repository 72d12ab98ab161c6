#pragma once

#include <gtest/gtest.h>

#include <string>

namespace kora::test {

// Which engine a test's state database runs on.
enum class Engine
{
    File,
    Server
};

// The PostgreSQL server of the test run: scripts/test.sh starts a private one
// and passes its connection text as KORA_TEST_SERVER.
class TestServer
{
public:
    // Why the tests cannot use the server; empty when they can.
    static std::string unavailable();
    // Whether a server test must fail rather than skip without a server (CI=true).
    static bool required();

    // A fresh, empty database on the server for one test, dropped with this.
    TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;
    ~TestServer();

    // The connect string of a state database in it ("PG;...").
    std::string connect() const;

private:
    std::string m_database;
};

// Skips the test, or fails it under CI=true, when the server cannot be used.
#define KORA_SKIP_WITHOUT_SERVER()                                                                 \
    do {                                                                                           \
        const std::string why = ::kora::test::TestServer::unavailable();                           \
        if (!why.empty()) {                                                                        \
            if (::kora::test::TestServer::required())                                              \
                FAIL() << why;                                                                     \
            GTEST_SKIP() << why;                                                                   \
        }                                                                                          \
    } while (false)

// Names a test run on each engine "File" or "Server" (INSTANTIATE_TEST_SUITE_P).
inline std::string engineName(const ::testing::TestParamInfo<Engine>& info)
{
    return info.param == Engine::File ? "File" : "Server";
}

} // namespace kora::test
