#include "database/BackgroundCheckpoint.h"

#include <sqlite3.h>

#include <mutex>
#include <thread>

namespace kora {

namespace {

struct Running
{
    std::mutex mutex;
    std::thread copy;
    ~Running() { join(); }
    void join()
    {
        if (copy.joinable())
            copy.join();
    }
};

Running& running()
{
    static Running instance;
    return instance;
}

// A copy that cannot be made now is made by the next checkpoint: nothing is
// lost, so a failure is not told.
void copyLog(const std::string& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) ==
        SQLITE_OK)
        sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    sqlite3_close_v2(db);
}

} // namespace

void BackgroundCheckpoint::start(const std::string& path)
{
    Running& state = running();
    const std::lock_guard lock(state.mutex);
    state.join();
    state.copy = std::thread(copyLog, path);
}

void BackgroundCheckpoint::wait()
{
    Running& state = running();
    const std::lock_guard lock(state.mutex);
    state.join();
}

} // namespace kora
