#include "results/OrderedCompanies.h"

#include "base/FieldName.h"

#include <algorithm>

namespace kora {

namespace {

constexpr size_t kCachedRows = 4000;

int asciiLower(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// The order the grids are sorted in, the engine's NOCASE: ASCII letters
// compare as their lower-case forms, so "A_B" comes before "AB".
int compareWithoutCase(const std::string& left, const std::string& right)
{
    const size_t length = std::min(left.size(), right.size());
    for (size_t i = 0; i < length; ++i) {
        const int a = asciiLower(static_cast<unsigned char>(left[i]));
        const int b = asciiLower(static_cast<unsigned char>(right[i]));
        if (a != b)
            return a < b ? -1 : 1;
    }
    return left.size() < right.size() ? -1 : (left.size() > right.size() ? 1 : 0);
}

} // namespace

OrderedCompanies::OrderedCompanies(Database& db) : m_db(db) {}

void OrderedCompanies::load(const std::string& sql)
{
    m_rowIds.clear();
    m_keys.clear();
    m_cache.clear();
    Statement query = m_db.prepare(sql);
    while (query.step()) {
        m_rowIds.push_back(query.column(0).toInteger());
        m_keys.push_back(query.column(1).toString());
    }
}

const CompanyRow* OrderedCompanies::row(long long position)
{
    if (position < 0 || position >= count())
        return nullptr;
    if (auto cached = m_cache.find(position); cached != m_cache.end())
        return &cached->second;
    if (m_cache.size() >= kCachedRows)
        m_cache.clear();

    if (!m_rowQuery)
        m_rowQuery.emplace(m_db.prepare("SELECT * FROM PRIME WHERE rowid = ?"));
    Statement& query = *m_rowQuery;
    query.bind(1, m_rowIds[position]);
    if (!query.step()) {
        query.reset();
        return nullptr;
    }
    if (!m_columns)
        m_columns = CompanyRow::columnsOf(query);
    CompanyRow row = CompanyRow::current(m_columns, query);
    // Reset at once, so the statement holds no read snapshot between rows.
    query.reset();
    return &m_cache.emplace(position, std::move(row)).first->second;
}

long long OrderedCompanies::firstAtOrAfter(const std::string& text) const
{
    // A plain scan: the keys of a lookup sorted by expiration month are not in
    // key order, and a scan finds the first one in display order either way.
    for (size_t i = 0; i < m_keys.size(); ++i)
        if (compareWithoutCase(m_keys[i], text) >= 0)
            return static_cast<long long>(i);
    return count();
}

void OrderedCompanies::forget(long long position)
{
    m_cache.erase(position);
}

} // namespace kora
