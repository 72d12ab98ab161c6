#include "loading/ModTrendWriter.h"

#include "database/Schema.h"
#include "loading/DeferredIndexes.h"

namespace kora {

namespace {

// A row of a company not written before; conflict says whether it was.
std::string insertSql(const char* conflict)
{
    return std::string("INSERT INTO MODTREND (FILE, SEQUENCE, LATEST, PRIOR, CHANGE, YEARSOVER) "
                       "VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (FILE, SEQUENCE) ") +
           conflict;
}

Value optionalValue(const std::optional<double>& value)
{
    return value ? Value(*value) : Value();
}

} // namespace

ModTrendWriter::ModTrendWriter(Database& db)
    : m_db(db), m_insert(db.prepare(insertSql("DO NOTHING")))
{
}

void ModTrendWriter::company(std::string_view file, std::string_view sequence)
{
    if (m_open && file == m_file && sequence == m_sequence)
        return;
    if (m_open)
        writeCompany();
    m_file.assign(file);
    m_sequence.assign(sequence);
    m_open = true;
    m_trend.clear();
}

void ModTrendWriter::mod(std::string_view effective, std::string_view expire, double mod)
{
    m_trend.add(effective, expire, mod, ++m_order);
}

void ModTrendWriter::bindTrend(Statement& insert) const
{
    insert.bind(3, optionalValue(m_trend.latest()))
        .bind(4, optionalValue(m_trend.prior()))
        .bind(5, optionalValue(m_trend.change()))
        .bind(6, m_trend.yearsOver());
}

void ModTrendWriter::writeCompany()
{
    m_insert.reset();
    m_insert.bindText(1, m_file).bindText(2, m_sequence);
    bindTrend(m_insert);
    // No row written: the company came before, and only MODS holds all its mods.
    if (m_insert.run() == 0)
        m_metAgain.emplace_back(m_file, m_sequence);
}

void ModTrendWriter::addStored(const Statement& rows, int first)
{
    const Value mod = rows.column(first + 2);
    m_trend.add(rows.text(first), rows.text(first + 1),
                mod.isNull() ? std::nullopt : std::optional<double>(mod.toDouble()),
                rows.column(first + 3).toInteger());
}

void ModTrendWriter::writeAgain(const std::string& file, const std::string& sequence)
{
    m_trend.clear();
    Statement mods = m_db.prepare(
        "SELECT EFFECTIVE, EXPIRE, [MOD], rowid FROM MODS WHERE FILE = ? AND SEQUENCE = ?");
    mods.bindText(1, file).bindText(2, sequence);
    while (mods.step())
        addStored(mods, 0);
    Statement replace = m_db.prepare(
        insertSql("DO UPDATE SET LATEST = excluded.LATEST, PRIOR = excluded.PRIOR, CHANGE = "
                  "excluded.CHANGE, YEARSOVER = excluded.YEARSOVER"));
    replace.bindText(1, file).bindText(2, sequence);
    bindTrend(replace);
    replace.run();
}

void ModTrendWriter::finish()
{
    if (m_open)
        writeCompany();
    m_open = false;
    for (const auto& [file, sequence] : m_metAgain)
        writeAgain(file, sequence);
    m_metAgain.clear();
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
