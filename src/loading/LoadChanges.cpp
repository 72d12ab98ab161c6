#include "loading/LoadChanges.h"

#include "database/Schema.h"
#include "base/RowKey.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace kora {

namespace {

// The keys of every row the query gives, all its columns hashed, sorted.
std::vector<std::uint64_t> sortedKeys(Database& db, const std::string& sql)
{
    std::vector<std::uint64_t> keys;
    Statement rows = db.prepare(sql);
    const int columns = rows.columnCount();
    while (rows.step()) {
        std::uint64_t key = rowKey({});
        for (int column = 0; column < columns; ++column)
            key = rowKeyWith(key, {rows.text(column)});
        keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

// Whether key is among the sorted keys held, looked for from at on: keys
// asked for in rising order walk the list once, far quicker than a search
// for each.
bool heldFrom(std::vector<std::uint64_t>::const_iterator& at,
              const std::vector<std::uint64_t>& held, std::uint64_t key)
{
    while (at != held.end() && *at < key)
        ++at;
    return at != held.end() && *at == key;
}

using Key = std::pair<std::string_view, std::string_view>;

// Keys ordered as the tables compare them, without regard to case: file
// numbers that differ only in case are one company.
struct NoCaseOrder
{
    static bool less(std::string_view a, std::string_view b)
    {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](unsigned char x, unsigned char y) { return std::toupper(x) < std::toupper(y); });
    }
    bool operator()(const Key& a, const Key& b) const
    {
        if (less(a.first, b.first))
            return true;
        return !less(b.first, a.first) && less(a.second, b.second);
    }
};

} // namespace

LoadChanges::LoadChanges(Database& db) : m_db(db)
{
    // What the load's own transaction changes stays unseen by another
    // connection until it commits: a reader beside the load sees the rows as
    // they were before it, unless this connection had changed them already.
    if (m_db.hasChangedRows()) {
        std::promise<KeysBefore> now;
        now.set_value(readKeys(m_db));
        m_before = now.get_future();
    } else {
        m_before = std::async(std::launch::async,
                              [reader = m_db.reader()]() mutable { return readKeys(reader); });
    }
    Schema::createIfMissing(m_db, Schema::loadChangesTable());
    m_db.execute("DELETE FROM LOADCHANGES");
}

LoadChanges::KeysBefore LoadChanges::readKeys(Database& reader)
{
    // Both reads see the same rows: the load commits only after record(),
    // which waits for them.
    return {sortedKeys(reader, "SELECT FILE, SEQUENCE FROM PRIME"),
            sortedKeys(reader, "SELECT FILE, SEQUENCE, EFFECTIVE, EXPIRE FROM MODS")};
}

void LoadChanges::noteCompany(std::string_view file, std::string_view sequence)
{
    m_companies.push_back({rowKey({file, sequence}), static_cast<std::uint32_t>(m_keyText.size()),
                           static_cast<std::uint8_t>(file.size()),
                           static_cast<std::uint8_t>(sequence.size())});
    m_keyText.append(file).append(sequence);
}

void LoadChanges::noteMod(std::string_view effective, std::string_view expire)
{
    m_mods.emplace_back(rowKeyWith(m_companies.back().key, {effective, expire}),
                        m_companies.size() - 1);
}

void LoadChanges::record()
{
    const KeysBefore before = m_before.get();
    std::vector<std::pair<std::uint64_t, std::size_t>> companyKeys;
    companyKeys.reserve(m_companies.size());
    for (std::size_t i = 0; i < m_companies.size(); ++i)
        companyKeys.emplace_back(m_companies[i].key, i);
    std::sort(companyKeys.begin(), companyKeys.end());
    std::vector<bool> hadCompany(m_companies.size());
    auto company = before.companies.cbegin();
    for (const auto& [key, place] : companyKeys)
        hadCompany[place] = heldFrom(company, before.companies, key);
    std::sort(m_mods.begin(), m_mods.end());
    std::vector<bool> gotMod(m_companies.size());
    auto mod = before.mods.cbegin();
    for (const auto& [key, place] : m_mods)
        if (!heldFrom(mod, before.mods, key) && hadCompany[place])
            gotMod[place] = true;

    std::set<Key, NoCaseOrder> added;
    std::set<Key, NoCaseOrder> changed;
    const std::string_view text(m_keyText);
    for (std::size_t i = 0; i < m_companies.size(); ++i) {
        if (hadCompany[i] && !gotMod[i])
            continue;
        const Company& noted = m_companies[i];
        const Key key{text.substr(noted.at, noted.fileLength),
                      text.substr(noted.at + noted.fileLength, noted.sequenceLength)};
        (hadCompany[i] ? changed : added).insert(key);
    }

    const auto rows = m_db.rowWriter("LOADCHANGES", {"FILE", "SEQUENCE", "CHANGE"});
    for (const auto& [companies, change] :
         {std::pair{&added, "New Company"}, std::pair{&changed, "New Mod"}}) {
        for (const auto& [file, sequence] : *companies)
            rows->add({std::string(file), std::string(sequence), change});
    }
    rows->finish();
}

} // namespace kora
