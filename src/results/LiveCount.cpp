#include "results/LiveCount.h"

#include "lookup/LookupStatement.h"
#include "lookup/LookupValueError.h"
#include "lookup/QueryBuilder.h"

namespace kora {

LiveCount::LiveCount(Database reader, std::chrono::milliseconds settle, Report report)
    : m_reader(std::move(reader)), m_settle(settle), m_report(std::move(report)),
      m_worker([this] { work(); })
{
}

LiveCount::~LiveCount()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_pending.reset();
        if (m_counting != 0)
            m_reader.interrupt();
    }
    m_wake.notify_all();
    m_worker.join();
}

long long LiveCount::request(std::vector<SQLPARAMETER> criteria)
{
    long long number = 0;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        number = ++m_latest;
        m_pending = Pending{number, std::move(criteria), std::chrono::steady_clock::now()};
        if (m_counting != 0)
            m_reader.interrupt();
    }
    m_wake.notify_all();
    return number;
}

std::string LiveCount::text(long long companies)
{
    return companies == 1 ? "1 company matches" : std::to_string(companies) + " companies match";
}

void LiveCount::work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping) {
        std::optional<Pending> pending = nextSettled(lock);
        if (!pending)
            continue;
        m_counting = pending->request;
        lock.unlock();
        const Result result = count(*pending);
        lock.lock();
        m_counting = 0;
        // Reported under the lock: once request() has returned, no older
        // request can report any more.
        if (result.request == m_latest && !m_stopping)
            m_report(result);
    }
}

std::optional<LiveCount::Pending> LiveCount::nextSettled(std::unique_lock<std::mutex>& lock)
{
    m_wake.wait(lock, [this] { return m_stopping || m_pending; });
    while (m_pending && !m_stopping) {
        const auto settled = m_pending->asked + m_settle;
        if (std::chrono::steady_clock::now() >= settled) {
            std::optional<Pending> pending = std::move(m_pending);
            m_pending.reset();
            return pending;
        }
        m_wake.wait_until(lock, settled);
    }
    return std::nullopt;
}

LiveCount::Result LiveCount::count(const Pending& pending)
{
    Result result{pending.request, 0, {}};
    try {
        const LookupStatement lookup{"COUNT(*)", QueryBuilder::runCondition(pending.criteria), ""};
        Statement query = m_reader.prepare(lookup.text());
        if (query.step())
            result.companies = query.column(0).toInteger();
    } catch (const LookupValueError& error) {
        result.error = error.what();
    } catch (const DbError& error) {
        // An interrupted count has a newer request behind it, which reports instead.
        result.error = error.what();
    }
    return result;
}

} // namespace kora
