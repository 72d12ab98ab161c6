#pragma once

#include "database/Database.h"
#include "results/CompanyRow.h"
#include "results/RowReader.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kora {

// The companies of a grid in display order. Only their row ids and sort keys
// are held; the rows themselves are read from PRIME as they are shown, a
// block of neighbouring positions at a time (one round trip to a server for a
// screenful), and kept in a bounded cache, so a whole state never sits in memory.
class OrderedCompanies
{
public:
    explicit OrderedCompanies(Database& db);
    ~OrderedCompanies();

    // From now on a load reads its first rows at once and the rest on a
    // thread of its own (see RowReader); restReady is called on that thread
    // when the rest can be fetched.
    void readRestInBackground(RowReader::Open open, size_t firstRows,
                              std::function<void()> restReady);

    // Reads the rows of a query on PRIME (see RowQuery), in the order of the
    // grid. When the rest are read
    // in the background, the first rows may come from a statement of their own
    // that stops sooner (see ResultListData::GridRows); when it gives too few
    // rows for a screen, the load waits for all of them.
    void load(const RowQuery& all, const std::string& firstRowsSql = {});
    // Whether the rest of the last load's rows are still to come.
    bool counting() const { return m_restRequest != 0; }
    // Fetches the rest of the rows, waiting for them or only when they are
    // ready; true when there are rows to take. Until takeRest() the rows
    // already known stay as they are.
    bool fetchRest(bool wait);
    long long fetchedCount() const
    {
        return m_rest ? static_cast<long long>(m_rest->rowIds.size()) : count();
    }
    // Takes the fetched rows; true when the rows known before stand elsewhere now.
    bool takeRest();

    // The rows known so far.
    long long count() const { return static_cast<long long>(m_rows.rowIds.size()); }
    // The row at a position, valid until the next call; null when the company is gone.
    const CompanyRow* row(long long position);
    // The first position whose search text is at or after the given text,
    // compared without regard to case; count() when there is none.
    long long firstAtOrAfter(const std::string& text) const;
    // The first position from the given one on, going round past the last to
    // the first, whose search text holds the text anywhere, compared without
    // regard to case; count() when there is none.
    long long firstContaining(const std::string& text, long long from) const;
    // Forgets the cached row of a position, after the row was changed.
    void forget(long long position);
    // Forgets every cached row; they are read again as they are shown.
    void forgetAll() { m_cache.clear(); }

private:
    // Reads the block of positions holding the given one into the cache.
    void readBlock(long long position);

    Database& m_db;
    RowReader::Rows m_rows;
    std::unique_ptr<RowReader> m_reader;
    size_t m_firstRows = 0;
    long long m_restRequest = 0; // the reader's request for the rest, 0 when none
    RowQuery m_restQuery;        // the statement of all the rows of the last load
    std::optional<RowReader::Rows> m_rest;
    // A position whose company is gone holds no row.
    std::unordered_map<long long, std::optional<CompanyRow>> m_cache;
    std::shared_ptr<const CompanyRow::Columns> m_columns;
    // Reads a block's rows by their ids; prepared once, as blocks are read while a grid scrolls.
    std::optional<Statement> m_blockQuery;
};

} // namespace kora
