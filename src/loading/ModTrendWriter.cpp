#include "loading/ModTrendWriter.h"

#include "database/Schema.h"
#include "loading/DeferredIndexes.h"
#include "base/RowKey.h"

#include <algorithm>
#include <map>
#include <set>

namespace kora {

namespace {

Value optionalValue(const std::optional<double>& value)
{
    return value ? Value(*value) : Value();
}

} // namespace

ModTrendWriter::ModTrendWriter(Database& db)
    : m_db(db), m_rows(db.rowWriter(
                    "MODTREND", {"FILE", "SEQUENCE", "LATEST", "PRIOR", "CHANGE", "YEARSOVER"})),
      m_row(6)
{
}

void ModTrendWriter::company(std::string_view file, std::string_view sequence)
{
    if (m_open && file == m_file && sequence == m_sequence)
        return;
    if (m_open)
        writeCompany(m_file, m_sequence);
    m_file.assign(file);
    m_sequence.assign(sequence);
    m_open = true;
    m_trend.clear();
}

void ModTrendWriter::mod(std::string_view effective, std::string_view expire, double mod)
{
    m_trend.add(effective, expire, mod, ++m_order);
}

void ModTrendWriter::addStored(const Statement& rows, int first)
{
    const Value mod = rows.column(first + 2);
    m_trend.add(rows.text(first), rows.text(first + 1),
                mod.isNull() ? std::nullopt : std::optional<double>(mod.toDouble()),
                rows.column(first + 3).toInteger());
}

void ModTrendWriter::writeCompany(std::string_view file, std::string_view sequence)
{
    m_row[0] = std::string(file);
    m_row[1] = std::string(sequence);
    m_row[2] = optionalValue(m_trend.latest());
    m_row[3] = optionalValue(m_trend.prior());
    m_row[4] = optionalValue(m_trend.change());
    m_row[5] = m_trend.yearsOver();
    m_rows->add(m_row);
    m_written.push_back(rowKey({file, sequence}));
}

void ModTrendWriter::finish()
{
    if (m_open)
        writeCompany(m_file, m_sequence);
    m_open = false;
    m_rows->finish();
    rewriteMetAgain();
    m_rows->finish();
    m_written.clear();
}

// A company written twice has a row for each run of its records: both go,
// and one row made from all its mods in MODS takes their place.
void ModTrendWriter::rewriteMetAgain()
{
    std::sort(m_written.begin(), m_written.end());
    std::set<std::uint64_t> again;
    for (size_t i = 1; i < m_written.size(); ++i)
        if (m_written[i] == m_written[i - 1])
            again.insert(m_written[i]);
    if (again.empty())
        return;
    // By the key without regard to case, as the tables hold one company.
    std::map<std::uint64_t, std::pair<std::string, std::string>> companies;
    Statement remove = m_db.prepare("DELETE FROM MODTREND WHERE rowid = ?");
    std::vector<long long> rows;
    Statement written = m_db.prepare("SELECT rowid, FILE, SEQUENCE FROM MODTREND");
    while (written.step()) {
        const std::uint64_t key = rowKey({written.text(1), written.text(2)});
        if (again.count(key)) {
            rows.push_back(written.column(0).toInteger());
            companies.emplace(key, std::pair{written.text(1), written.text(2)});
        }
    }
    for (long long row : rows) {
        remove.reset();
        remove.bind(1, row).send();
    }
    Statement mods = m_db.prepare(
        "SELECT EFFECTIVE, EXPIRE, [MOD], rowid FROM MODS WHERE FILE = ? AND SEQUENCE = ?");
    for (const auto& [key, company] : companies) {
        m_trend.clear();
        mods.reset();
        mods.bindText(1, company.first).bindText(2, company.second);
        while (mods.step())
            addStored(mods, 0);
        writeCompany(company.first, company.second);
    }
}

void ModTrendWriter::fill(Database& db)
{
    Schema::createIfMissing(db, Schema::modTrendTable());
    DeferredIndexes indexes(db, {"MODTREND"});
    db.execute("DELETE FROM MODTREND");
    ModTrendWriter writer(db);
    Statement rows = db.prepare(
        "SELECT P.FILE, P.SEQUENCE, M.EFFECTIVE, M.EXPIRE, M.[MOD], M.rowid FROM PRIME AS P "
        "LEFT JOIN MODS AS M ON M.FILE = P.FILE AND M.SEQUENCE = P.SEQUENCE");
    while (rows.step()) {
        writer.company(rows.text(0), rows.text(1));
        // A company without mods has no row of MODS to join.
        if (!rows.column(5).isNull())
            writer.addStored(rows, 2);
    }
    indexes.rebuild();
    writer.finish();
}

} // namespace kora
