#include "results/RowReader.h"

#include "base/CaseBlind.h"
#include "database/Database.h"
#include "database/DbError.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <utility>

namespace kora {

namespace {

// Room for a state of a million companies: the room takes address space only,
// and memory as it is filled, while growing by copying would touch a whole
// state's worth of memory several times over.
constexpr size_t kRoomForRows = size_t(1) << 20;
constexpr size_t kRoomForKeyText = kRoomForRows * 32;

// One column a read orders its rows by: each row's value kept compactly
// (a state's worth of Values would be a heap block each), texts lowered once
// so that comparing them is comparing bytes.
class SortColumn
{
public:
    void add(const Value& value)
    {
        if (value.isNull())
            m_kinds.push_back(Kind::None);
        else if (value.isInteger() || value.isReal())
            m_kinds.push_back(Kind::Number);
        else
            m_kinds.push_back(Kind::Text);
        m_numbers.push_back(m_kinds.back() == Kind::Number ? value.toDouble() : 0);
        for (const char c : value.text())
            m_text += static_cast<char>(asciiLower(static_cast<unsigned char>(c)));
        m_ends.push_back(m_text.size());
    }

    // Two numbers whose order agrees with the values': a row whose prefix
    // is the smaller comes first; equal prefixes tell nothing. The kind and
    // the first 15 bytes of a text, or the bits of a number.
    using Prefix = std::array<uint64_t, 2>;
    Prefix prefix(size_t row) const
    {
        const uint64_t kind = uint64_t(m_kinds[row]) << 56;
        if (m_kinds[row] == Kind::Number) {
            // The bits of a double, turned so that they order as its values do.
            const double value = m_numbers[row] == 0 ? 0.0 : m_numbers[row];
            const auto bits = std::bit_cast<uint64_t>(value);
            const uint64_t ordered = (bits >> 63) != 0 ? ~bits : bits | (uint64_t(1) << 63);
            return {kind | ordered >> 8, ordered << 56};
        }
        const std::string_view value = text(row);
        const auto bytes = [&value](size_t from, size_t count) {
            uint64_t word = 0;
            for (size_t i = from; i < from + count; ++i)
                word = word << 8 | (i < value.size() ? static_cast<unsigned char>(value[i]) : 0);
            return word;
        };
        return {kind | bytes(0, 7), bytes(7, 8)};
    }

    // Negative, zero or positive as row a's value comes before, with or after row b's.
    int compare(size_t a, size_t b) const
    {
        if (m_kinds[a] != m_kinds[b])
            return m_kinds[a] < m_kinds[b] ? -1 : 1;
        if (m_kinds[a] == Kind::Number)
            return m_numbers[a] < m_numbers[b] ? -1 : (m_numbers[a] > m_numbers[b] ? 1 : 0);
        return text(a).compare(text(b));
    }

private:
    enum class Kind : unsigned char
    {
        None,
        Number,
        Text
    };

    std::string_view text(size_t row) const
    {
        const size_t begin = row == 0 ? 0 : m_ends[row - 1];
        return std::string_view(m_text).substr(begin, m_ends[row] - begin);
    }

    std::vector<Kind> m_kinds;
    std::vector<double> m_numbers;
    std::string m_text;
    std::vector<size_t> m_ends;
};

// The rows in the order of their sort keys (one at least), then of their row ids.
RowReader::Rows orderedBy(const std::vector<SortColumn>& keys, const RowReader::Rows& read)
{
    // Most rows differ in the prefix of their first key, which compares as
    // two numbers kept beside the row: the whole comparison is left to the
    // few that do not.
    struct Entry
    {
        SortColumn::Prefix prefix;
        uint32_t row;
    };
    std::vector<Entry> order(read.rowIds.size());
    for (uint32_t row = 0; row < order.size(); ++row)
        order[row] = {keys.front().prefix(row), row};
    std::sort(order.begin(), order.end(), [&](const Entry& a, const Entry& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        for (const SortColumn& key : keys)
            if (const int compared = key.compare(a.row, b.row))
                return compared < 0;
        return read.rowIds[a.row] < read.rowIds[b.row];
    });
    RowReader::Rows rows;
    rows.rowIds.reserve(order.size());
    rows.keyEnds.reserve(order.size());
    rows.keyText.reserve(read.keyText.size());
    for (const Entry& entry : order)
        rows.add(read.rowIds[entry.row], read.key(entry.row));
    return rows;
}

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
        interruptReading();
    }
    m_changed.notify_all();
    m_worker.join();
}

long long RowReader::request(RowQuery query)
{
    long long number = 0;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        number = ++m_latest;
        m_pending = std::move(query);
        m_rows.reset();
        interruptReading();
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

void RowReader::interruptReading()
{
    if (m_reading == 0)
        return;
    m_superseded = true;
    m_db->interrupt();
}

void RowReader::readInto(Database& db, const RowQuery& rowQuery, Rows& rows, size_t limit,
                         const std::atomic<bool>* stop)
{
    // A limit the engine knows lets it plan for the first rows alone, and a
    // server need not hold the whole result. Those rows come in one piece:
    // a server plans a cursor for a tenth of its rows, and may then choose a
    // plan that is quick for the first few and slow for all it asks.
    const bool ordersHere = limit == 0 && !rowQuery.sortColumns.empty();
    const std::string& sql = ordersHere ? rowQuery.unorderedSql : rowQuery.sql;
    Statement query = db.prepare(limit == 0 ? sql : sql + " LIMIT " + std::to_string(limit));
    query.readWholeResult();
    if (limit == 0) {
        rows.rowIds.reserve(kRoomForRows);
        rows.keyEnds.reserve(kRoomForRows);
        rows.keyText.reserve(kRoomForKeyText);
    }
    std::vector<SortColumn> keys(ordersHere ? rowQuery.sortColumns.size() : 0);
    // A whole result came in one piece; what is left is the program's work,
    // which a busy machine may stretch to seconds.
    constexpr size_t kRowsBetweenStopChecks = 4096;
    while ((limit == 0 || rows.rowIds.size() < limit) && query.step()) {
        rows.add(query.column(0).toInteger(), query.text(1));
        for (size_t key = 0; key < keys.size(); ++key)
            keys[key].add(query.column(rowQuery.sortColumns[key]));
        if (stop && rows.rowIds.size() % kRowsBetweenStopChecks == 0 && *stop)
            return;
    }
    if (stop && *stop)
        return;
    if (ordersHere)
        rows = orderedBy(keys, rows);
}

void RowReader::work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_stopping || m_pending; });
        if (m_stopping)
            return;
        const RowQuery query = std::move(*m_pending);
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
                m_superseded = false;
                lock.unlock();
                rows.emplace();
                readInto(*m_db, query, *rows, 0, &m_superseded);
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
