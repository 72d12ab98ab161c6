#include "output/CompanyBatch.h"

#include "base/CaseBlind.h"

#include <algorithm>
#include <string_view>
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

// A company's file and sequence as one text, its letters in lower case as
// the engines compare them; built in key, which each row reuses.
const std::string& caseBlindKey(std::string& key, std::string_view file, std::string_view sequence)
{
    key.assign(file);
    key += '\x1f';
    key += sequence;
    for (char& c : key)
        c = static_cast<char>(asciiLower(static_cast<unsigned char>(c)));
    return key;
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
    std::unordered_multimap<std::string, size_t> places;
    places.reserve(companies.size());
    std::string key;
    m_query.reset();
    for (size_t place = 0; place < kCompanies; ++place) {
        const Company& company = companies[std::min(place, companies.size() - 1)];
        m_query.bind(static_cast<int>(place + 1), company.file);
        if (place < companies.size())
            places.emplace(caseBlindKey(key, company.file.toString(), company.sequence.toString()),
                           place);
    }
    // A company's rows mostly come together: its places are sought once for them.
    std::string previousKey;
    auto companyPlaces = places.equal_range(previousKey);
    while (m_query.step()) {
        if (caseBlindKey(key, m_query.text(0), m_query.text(1)) != previousKey) {
            companyPlaces = places.equal_range(key);
            previousKey = key;
        }
        for (auto at = companyPlaces.first; at != companyPlaces.second; ++at)
            take(at->second, m_query);
    }
    m_query.reset();
}

} // namespace kora
