#pragma once

#include "database/Database.h"
#include "lookup/SQLPARAMETER.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kora {

// Counts the companies of a lookup while it is being edited, on a thread of
// its own with a connection of its own, so that the editor never waits. Only
// the newest request is answered: an older one still waiting is dropped, one
// still counting is interrupted, and neither reports.
class LiveCount
{
public:
    struct Result
    {
        long long request = 0;
        long long companies = 0;
        std::string error; // not empty when the lookup could not be counted
    };
    // Called on the counting thread, never for a request a newer one replaced.
    using Report = std::function<void(const Result&)>;

    // reader: a connection only this count uses. A request is counted once no
    // newer one arrived for `settle`, so that quick typing counts once.
    LiveCount(Database reader, std::chrono::milliseconds settle, Report report);
    ~LiveCount();
    LiveCount(const LiveCount&) = delete;
    LiveCount& operator=(const LiveCount&) = delete;

    // Asks for the count of a lookup of these criteria; returns the request's number.
    long long request(std::vector<SQLPARAMETER> criteria);

    // "N companies match", "1 company matches".
    static std::string text(long long companies);

private:
    struct Pending
    {
        long long request;
        std::vector<SQLPARAMETER> criteria;
        std::chrono::steady_clock::time_point asked;
    };

    void work();
    std::optional<Pending> nextSettled(std::unique_lock<std::mutex>& lock);
    Result count(const Pending& pending);

    Database m_reader;
    const std::chrono::milliseconds m_settle;
    const Report m_report;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Pending> m_pending;
    long long m_latest = 0;
    long long m_counting = 0; // the request being counted, 0 when none
    bool m_stopping = false;
    std::thread m_worker;
};

} // namespace kora
