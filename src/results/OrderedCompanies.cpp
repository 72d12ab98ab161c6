#include "results/OrderedCompanies.h"

#include "base/CaseBlind.h"
#include "base/FieldName.h"
#include "database/Schema.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace kora {

namespace {

constexpr size_t kCachedRows = 4000;
constexpr long long kBlockRows = 256;

bool containsWithoutCase(std::string_view text, std::string_view part)
{
    return std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
               return asciiLower(static_cast<unsigned char>(a)) ==
                      asciiLower(static_cast<unsigned char>(b));
           }) != text.end();
}

} // namespace

OrderedCompanies::OrderedCompanies(Database& db) : m_db(db) {}

OrderedCompanies::~OrderedCompanies() = default;

void OrderedCompanies::readRestInBackground(RowReader::Open open, size_t firstRows,
                                            std::function<void()> restReady)
{
    m_firstRows = firstRows;
    m_reader = std::make_unique<RowReader>(std::move(open),
                                           [ready = std::move(restReady)](long long) { ready(); });
}

void OrderedCompanies::load(const RowQuery& all, const std::string& firstRowsSql)
{
    m_rows = {};
    m_rest.reset();
    m_restRequest = 0;
    m_cache.clear();
    if (!m_reader) {
        RowReader::readInto(m_db, all, m_rows);
        return;
    }
    // The first rows on this connection, then all of them on the reader's.
    // First rows from a statement of their own may be too few to tell: all
    // of them are then read at the same time, so that the whole read, which
    // then gives the first rows, has begun already.
    m_restQuery = all;
    if (!firstRowsSql.empty())
        m_restRequest = m_reader->request(all);
    // One row past the first ones tells whether there are more to read.
    RowReader::readInto(m_db, firstRowsSql.empty() ? all : RowQuery{firstRowsSql}, m_rows,
                        m_firstRows + 1);
    if (m_rows.rowIds.size() > m_firstRows) {
        m_rows.rowIds.pop_back();
        m_rows.keyEnds.pop_back();
        m_rows.keyText.resize(m_rows.keyEnds.empty() ? 0 : m_rows.keyEnds.back());
        if (m_restRequest == 0)
            m_restRequest = m_reader->request(all);
    } else if (m_restRequest != 0) {
        // Too few for a screen tells nothing of the rest: the rows come all at once.
        m_rows = {};
        if (fetchRest(true))
            takeRest();
    }
}

bool OrderedCompanies::fetchRest(bool wait)
{
    if (m_restRequest == 0 || (!wait && !m_reader->finished(m_restRequest)))
        return false;
    // A reader that could not read them (nor connect) leaves them to this connection.
    m_rest = m_reader->wait(m_restRequest);
    m_restRequest = 0;
    if (!m_rest) {
        m_rest.emplace();
        RowReader::readInto(m_db, m_restQuery, *m_rest);
    }
    if (m_rest && m_rest->rowIds.size() < m_rows.rowIds.size())
        m_rest.reset();
    return m_rest.has_value();
}

bool OrderedCompanies::takeRest()
{
    if (!m_rest)
        return false;
    // The rest were read in the same order, so the first rows stand where
    // they stood; a company changed since may not.
    const bool moved =
        !std::equal(m_rows.rowIds.begin(), m_rows.rowIds.end(), m_rest->rowIds.begin());
    if (moved)
        m_cache.clear();
    m_rows = std::move(*m_rest);
    m_rest.reset();
    return moved;
}

const CompanyRow* OrderedCompanies::row(long long position)
{
    if (position < 0 || position >= count())
        return nullptr;
    auto cached = m_cache.find(position);
    if (cached == m_cache.end()) {
        readBlock(position);
        cached = m_cache.find(position);
    }
    return cached->second ? &*cached->second : nullptr;
}

void OrderedCompanies::readBlock(long long position)
{
    if (m_cache.size() + kBlockRows > kCachedRows)
        m_cache.clear();
    if (!m_blockQuery) {
        // With the day of the company's follow-up, which the grid may show; a
        // state on a server that no administrator opened since follow-ups came
        // has none yet.
        const std::string due = m_db.tableExists(Schema::followUpTable().name)
                                    ? "(SELECT DUE FROM FOLLOWUP AS F WHERE F.FILE = PRIME.FILE "
                                      "AND F.SEQUENCE = PRIME.SEQUENCE)"
                                    : "NULL";
        std::string sql =
            "SELECT rowid, *, " + due + " AS FollowUpDue FROM PRIME WHERE rowid IN (?";
        for (long long i = 1; i < kBlockRows; ++i)
            sql += ", ?";
        m_blockQuery.emplace(m_db.prepare(sql + ")"));
        m_blockQuery->readWholeResult();
    }
    // Blocks start at multiples of their size, so scrolling either way reads each once.
    const long long first = position / kBlockRows * kBlockRows;
    const long long end = std::min(first + kBlockRows, count());
    Statement& query = *m_blockQuery;
    for (long long i = 0; i < kBlockRows; ++i)
        query.bind(static_cast<int>(i + 1),
                   m_rows.rowIds[static_cast<size_t>(std::min(first + i, end - 1))]);
    // The positions of the block by row id, as the rows come back.
    std::vector<std::pair<long long, long long>> positions;
    positions.reserve(static_cast<size_t>(end - first));
    for (long long i = first; i < end; ++i) {
        positions.emplace_back(m_rows.rowIds[static_cast<size_t>(i)], i);
        m_cache[i] = std::nullopt;
    }
    std::sort(positions.begin(), positions.end());
    while (query.step()) {
        if (!m_columns)
            m_columns = CompanyRow::columnsOf(query);
        const long long rowId = query.column(0).toInteger();
        auto at = std::lower_bound(positions.begin(), positions.end(),
                                   std::pair<long long, long long>(rowId, first));
        for (; at != positions.end() && at->first == rowId; ++at)
            m_cache[at->second] = CompanyRow::current(m_columns, query);
    }
    // Reset at once, so the statement holds no read snapshot between blocks.
    query.reset();
}

long long OrderedCompanies::firstAtOrAfter(const std::string& text) const
{
    // A plain scan: the keys of a lookup sorted by expiration month are not in
    // key order, and a scan finds the first one in display order either way.
    for (size_t i = 0; i < m_rows.keyEnds.size(); ++i)
        if (compareWithoutCase(m_rows.key(i), text) >= 0)
            return static_cast<long long>(i);
    return count();
}

long long OrderedCompanies::firstContaining(const std::string& text, long long from) const
{
    const long long rows = count();
    if (rows == 0)
        return rows;
    const long long start = std::clamp(from, 0LL, rows - 1);
    for (long long step = 0; step < rows; ++step) {
        const auto at = static_cast<size_t>((start + step) % rows);
        if (containsWithoutCase(m_rows.key(at), text))
            return static_cast<long long>(at);
    }
    return rows;
}

void OrderedCompanies::forget(long long position)
{
    m_cache.erase(position);
}

} // namespace kora
