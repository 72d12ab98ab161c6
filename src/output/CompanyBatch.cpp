#include "output/CompanyBatch.h"

#include "base/RowKey.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

namespace kora {

namespace {

std::string fileMarks()
{
    std::string marks = "?";
    for (size_t i = 1; i < CompanyBatch::kCompanies; ++i)
        marks += ", ?";
    return marks;
}

} // namespace

CompanyBatch::CompanyBatch(Database& db, const std::string& select, const std::string& fileColumn,
                           const std::string& order)
    : m_query(db.prepare(select + " WHERE " + fileColumn + " IN (" + fileMarks() + ") ORDER BY " +
                         order))
{
    m_query.readWholeResult();
}

void CompanyBatch::read(const std::vector<Company>& companies,
                        const std::function<void(size_t, const Statement&)>& take)
{
    if (companies.empty())
        return;
    // A short batch repeats its last file, so that one statement serves every batch.
    std::unordered_multimap<std::uint64_t, size_t> places;
    places.reserve(companies.size());
    m_query.reset();
    for (size_t place = 0; place < kCompanies; ++place) {
        const Company& company = companies[std::min(place, companies.size() - 1)];
        m_query.bind(static_cast<int>(place + 1), company.file);
        if (place < companies.size())
            places.emplace(rowKey({company.file.toString(), company.sequence.toString()}), place);
    }
    while (m_query.step()) {
        const auto [first, last] = places.equal_range(rowKey({m_query.text(0), m_query.text(1)}));
        for (auto at = first; at != last; ++at)
            take(at->second, m_query);
    }
    m_query.reset();
}

} // namespace kora
