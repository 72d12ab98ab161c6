#include "database/PgIdleConnections.h"

#include <libpq-fe.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <iterator>
#include <mutex>

namespace kora {

namespace {

using Clock = std::chrono::steady_clock;

// One program seldom opens more than a window's and a reader's connections at
// a time; every kept one is a session the server holds for nothing.
constexpr size_t kKeptAtMost = 2;
// The server ends a kept session left idle for longer (PostgreSQL 14 on).
constexpr const char* kEndKeptAfter = "SET idle_session_timeout = '1min'";
constexpr auto kKeptFor = std::chrono::seconds(55);
// A server that does not answer at once is busy or gone: the connection is
// closed rather than waited for.
constexpr int kAnswerWaitMilliseconds = 1000;

struct Kept
{
    std::string text;
    pg_conn* connection;
    Clock::time_point since;
    // A process made by fork() shares its parent's sockets: it neither uses
    // nor closes the connections its parent kept.
    pid_t process;
};

class Store
{
public:
    ~Store()
    {
        for (const Kept& kept : list)
            if (kept.process == getpid())
                PQfinish(kept.connection);
    }

    // Forgets the connections of a parent process and closes those kept too long.
    void prune()
    {
        const auto now = Clock::now();
        std::erase_if(list, [&now](const Kept& kept) {
            if (kept.process != getpid())
                return true;
            if (now - kept.since <= kKeptFor)
                return false;
            PQfinish(kept.connection);
            return true;
        });
    }

    std::mutex mutex;
    std::deque<Kept> list;
};

Store& store()
{
    static Store instance;
    return instance;
}

// Runs a statement on an idle connection; false when it failed or the server
// did not answer in time.
bool runAtOnce(pg_conn* connection, const char* sql)
{
    if (PQstatus(connection) != CONNECTION_OK || PQtransactionStatus(connection) != PQTRANS_IDLE ||
        !PQsendQuery(connection, sql))
        return false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kAnswerWaitMilliseconds);
    while (PQisBusy(connection)) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd socket{PQsocket(connection), POLLIN, 0};
        if (left.count() <= 0 || poll(&socket, 1, static_cast<int>(left.count())) <= 0 ||
            !PQconsumeInput(connection))
            return false;
    }
    bool done = false;
    while (PGresult* result = PQgetResult(connection)) {
        done =
            PQresultStatus(result) == PGRES_COMMAND_OK || PQresultStatus(result) == PGRES_TUPLES_OK;
        PQclear(result);
    }
    return done && PQtransactionStatus(connection) == PQTRANS_IDLE;
}

bool endsIdleSessions(pg_conn* connection)
{
    return PQserverVersion(connection) >= 140000;
}

} // namespace

pg_conn* PgIdleConnections::take(const std::string& text)
{
    while (true) {
        pg_conn* connection = nullptr;
        {
            Store& kept = store();
            std::lock_guard<std::mutex> lock(kept.mutex);
            kept.prune();
            // The one kept last has the warmest caches.
            const auto found =
                std::find_if(kept.list.rbegin(), kept.list.rend(),
                             [&text](const Kept& other) { return other.text == text; });
            if (found != kept.list.rend()) {
                connection = found->connection;
                kept.list.erase(std::next(found).base());
            }
        }
        if (!connection)
            return nullptr;
        // Back to the server's own idle timeout; a session the server ended
        // meanwhile (restarted, its database dropped) fails here.
        if (runAtOnce(connection,
                      endsIdleSessions(connection) ? "RESET idle_session_timeout" : "SELECT"))
            return connection;
        PQfinish(connection);
    }
}

void PgIdleConnections::keep(const std::string& text, pg_conn* connection)
{
    if (!runAtOnce(connection, "DISCARD ALL") ||
        (endsIdleSessions(connection) && !runAtOnce(connection, kEndKeptAfter))) {
        PQfinish(connection);
        return;
    }
    Store& kept = store();
    std::lock_guard<std::mutex> lock(kept.mutex);
    kept.prune();
    kept.list.push_back({text, connection, Clock::now(), getpid()});
    if (kept.list.size() > kKeptAtMost) {
        PQfinish(kept.list.front().connection);
        kept.list.pop_front();
    }
}

} // namespace kora
