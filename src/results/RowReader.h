#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kora {

class Database;

// A statement of the ordered rows of a grid: the row id and the search text
// of each company are its first two columns.
struct RowQuery
{
    std::string sql; // in the grid's order
    // The same rows in any order, with the columns that the order compares
    // in turn (sortColumns: their positions; a term that is the search text
    // is column 1), and then the row id: a whole read takes them as they come
    // and orders them itself, as the engines order (no value first, numbers
    // by value, text without regard to case). That spares a server the sort
    // of a broad lookup, which costs it more than finding the rows. Without
    // sort columns the engine orders.
    std::string unorderedSql = {};
    std::vector<int> sortColumns = {};
};

// Reads the ordered rows of a grid (row id and search text of each company)
// on a thread of its own with a connection of its own, so that a grid can
// show its first rows while the rest are read. Only the newest request is
// answered: an older one still waiting is dropped and one still reading is
// interrupted.
class RowReader
{
public:
    struct Rows
    {
        std::vector<long long> rowIds;
        // The search texts end to end, and where each ends.
        std::string keyText;
        std::vector<size_t> keyEnds;

        void add(long long rowId, std::string_view key)
        {
            rowIds.push_back(rowId);
            keyText += key;
            keyEnds.push_back(keyText.size());
        }
        // The search text of a position.
        std::string_view key(size_t position) const
        {
            const size_t begin = position == 0 ? 0 : keyEnds[position - 1];
            return std::string_view(keyText).substr(begin, keyEnds[position] - begin);
        }
    };
    // Called on the reading thread, with the reader's lock held, once a
    // request's rows are ready to take: it may only pass the news on.
    using Ready = std::function<void(long long request)>;
    // Opens the reader's own connection, on the reading thread when the
    // first request comes; it only reads what does not change once opened.
    using Open = std::function<Database()>;

    RowReader(Open open, Ready ready);
    ~RowReader();
    RowReader(const RowReader&) = delete;
    RowReader& operator=(const RowReader&) = delete;

    // Asks for the rows of a query; returns the request's number.
    long long request(RowQuery query);
    // Waits for the rows of a request; none when a newer request replaced it
    // or the rows could not be read (nor the connection opened).
    std::optional<Rows> wait(long long request);
    // Whether the request was read to its end (with or without rows), so
    // that wait() returns at once.
    bool finished(long long request);

    // Reads the rows of a query into rows (empty before), in its order, up to
    // a limit (0: all of them). Once stop turns true it reads no further and
    // leaves rows incomplete.
    static void readInto(Database& db, const RowQuery& query, Rows& rows, size_t limit = 0,
                         const std::atomic<bool>* stop = nullptr);

private:
    void work();
    // Stops the read under way, if any; called with the lock held.
    void interruptReading();

    const Open m_open;
    const Ready m_ready;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<RowQuery> m_pending;
    long long m_latest = 0;
    long long m_reading = 0; // the request being read, 0 when none
    // Set when the read under way is no longer wanted: the server's part of
    // it is interrupted, the program's (taking and ordering the rows) stops.
    std::atomic<bool> m_superseded = false;
    long long m_finished = 0; // the newest request read to its end, with or without rows
    std::optional<Rows> m_rows;
    bool m_stopping = false;
    std::unique_ptr<Database> m_db;
    std::thread m_worker;
};

} // namespace kora
