#include "results/RowReader.h"

#include "database/Database.h"
#include "database/DbError.h"

#include <utility>

namespace kora {

namespace {

// Room for a state of a million companies: the room takes address space only,
// and memory as it is filled, while growing by copying would touch a whole
// state's worth of memory several times over.
constexpr size_t kRoomForRows = size_t(1) << 20;
constexpr size_t kRoomForKeyText = kRoomForRows * 32;

} // namespace

RowReader::RowReader(Open open, Ready ready)
    : m_open(std::move(open)), m_ready(std::move(ready)), m_worker([this] { work(); })
{
}

RowReader::~RowReader()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_pending.reset();
        if (m_reading != 0)
            m_db->interrupt();
    }
    m_changed.notify_all();
    m_worker.join();
}

long long RowReader::request(std::string sql)
{
    long long number = 0;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        number = ++m_latest;
        m_pending = std::move(sql);
        m_rows.reset();
        if (m_reading != 0)
            m_db->interrupt();
    }
    m_changed.notify_all();
    return number;
}

std::optional<RowReader::Rows> RowReader::wait(long long request)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_latest != request || m_finished == request; });
    if (m_latest != request)
        return std::nullopt;
    return std::exchange(m_rows, std::nullopt);
}

bool RowReader::finished(long long request)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_finished == request;
}

void RowReader::readInto(Database& db, const std::string& sql, Rows& rows, size_t limit)
{
    // A limit the engine knows lets it plan for the first rows alone, and a
    // server need not hold the whole result. Those rows come in one piece:
    // a server plans a cursor for a tenth of its rows, and may then choose a
    // plan that is quick for the first few and slow for all it asks.
    Statement query = db.prepare(limit == 0 ? sql : sql + " LIMIT " + std::to_string(limit));
    query.readWholeResult();
    if (limit == 0) {
        rows.rowIds.reserve(kRoomForRows);
        rows.keyEnds.reserve(kRoomForRows);
        rows.keyText.reserve(kRoomForKeyText);
    }
    while ((limit == 0 || rows.rowIds.size() < limit) && query.step()) {
        rows.rowIds.push_back(query.column(0).toInteger());
        rows.keyText += query.text(1);
        rows.keyEnds.push_back(rows.keyText.size());
    }
}

void RowReader::work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_stopping || m_pending; });
        if (m_stopping)
            return;
        const std::string sql = std::move(*m_pending);
        m_pending.reset();
        const long long request = m_latest;
        std::optional<Rows> rows;
        lock.unlock();
        try {
            // The connection is opened here, once, so that the grid's first
            // rows never wait for it; only this thread sets it.
            std::unique_ptr<Database> opened;
            if (!m_db)
                opened = std::make_unique<Database>(m_open());
            lock.lock();
            if (opened)
                m_db = std::move(opened);
            // While it connected, the request may have been replaced or the reader closed.
            if (request == m_latest && !m_stopping) {
                m_reading = request;
                lock.unlock();
                rows.emplace();
                readInto(*m_db, sql, *rows);
            }
        } catch (const DbError&) {
            // Interrupted for a newer request, or no connection: the caller
            // reads the rows itself.
            rows.reset();
        }
        if (!lock.owns_lock())
            lock.lock();
        m_reading = 0;
        if (request == m_latest && !m_stopping) {
            m_rows = std::move(rows);
            m_finished = request;
            m_changed.notify_all();
            m_ready(request);
        }
    }
}

} // namespace kora
