#include "database/PgMergeWriter.h"

#include "base/CaseBlind.h"
#include "base/FieldName.h"
#include "base/RowKey.h"
#include "database/PgConnection.h"
#include "database/PgReplacedTables.h"
#include "database/SqlDialect.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cstdlib>

namespace kora {

namespace {

std::string scratchOf(const std::string& table)
{
    return "kora_merge_" + asciiLowered(table);
}

// Makes the scratch table before the writer's COPY is made for it.
const std::string& madeScratch(PgConnection& connection, const std::string& scratch,
                               const std::string& table, const std::string& columns)
{
    // Dropped once merged, and with the transaction where a load fails.
    connection.execute("DROP TABLE IF EXISTS " + scratch + "; CREATE TEMP TABLE " + scratch +
                       " ON COMMIT DROP AS SELECT " + columns + " FROM " + quoteIdentifier(table) +
                       " WITH NO DATA; ALTER TABLE " + scratch +
                       " ADD kora_order bigint GENERATED ALWAYS AS IDENTITY");
    return scratch;
}

// The text of a key field, as the key's hash and order read it.
std::string_view keyText(const Value& value, std::string& number)
{
    if (const std::string* text = value.textIf())
        return *text;
    number = value.toString();
    return number;
}

// The server's order of case-blind text of ASCII letters: bytes compared
// with the letters folded, no value first.
bool sortsBefore(const Value& left, const Value& right)
{
    if (left.isNull() || right.isNull())
        return left.isNull() && !right.isNull();
    std::string leftNumber;
    std::string rightNumber;
    const std::string_view a = keyText(left, leftNumber);
    const std::string_view b = keyText(right, rightNumber);
    return compareWithoutCase(a, b) < 0;
}

// Rows a group holds at most; a group is the rows of one company in practice.
constexpr size_t kGroupLimit = 1000;

} // namespace

PgMergeWriter::PgMergeWriter(PgConnection& connection, const std::string& table,
                             const std::vector<std::string>& columns,
                             const std::vector<std::string>& key, const std::string& conflictAction,
                             PgReplacedTables* replaced)
    : m_connection(connection), m_table(table), m_scratch(scratchOf(table)),
      m_insert(SqlDialect::translate(
          "INSERT INTO " + quoteIdentifier(table) + " (" + quoteIdentifiers(columns) + ") SELECT " +
              quoteIdentifiers(columns) + " FROM (SELECT *, row_number() OVER (PARTITION BY " +
              quoteIdentifiers(key) + " ORDER BY kora_order) AS kora_rank FROM " + m_scratch +
              ") AS added WHERE kora_rank = ? ORDER BY kora_order ON CONFLICT (" +
              quoteIdentifiers(key) + ") " + conflictAction,
          SqlDialect::Target::Postgres)),
      m_keyList(quoteIdentifiers(key)), m_replaced(replaced),
      m_copy(connection, madeScratch(connection, m_scratch, table, quoteIdentifiers(columns)),
             columns)
{
    for (const std::string& field : key)
        m_keyColumns.push_back(static_cast<size_t>(
            std::find(columns.begin(), columns.end(), field) - columns.begin()));
    if (m_replaced)
        m_direct.emplace(connection, table, columns, true);
}

bool PgMergeWriter::mayBeMetBefore(const std::vector<Value>& row)
{
    std::uint64_t key = kStableHashStart;
    for (const size_t column : m_keyColumns) {
        const Value& value = row[column];
        // No value equals no other: such a key is never met before.
        if (value.isNull())
            return false;
        std::string number;
        const std::string_view field = keyText(value, number);
        // Case-blind text folds more than ASCII on the server: such a key is
        // taken for one met before.
        if (std::any_of(field.begin(), field.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            return true;
        key = rowKeyWith(key, {field});
    }
    return !m_keysMet.insert(key);
}

bool PgMergeWriter::inGroup(const std::vector<Value>& row) const
{
    if (m_group.empty())
        return true;
    for (size_t i = 0; i + 1 < m_keyColumns.size(); ++i) {
        const Value& held = m_group.front()[m_keyColumns[i]];
        const Value& value = row[m_keyColumns[i]];
        if (held.isNull() || value.isNull() || !(held == value))
            return false;
    }
    return m_group.size() < kGroupLimit;
}

void PgMergeWriter::sendGroup()
{
    const size_t last = m_keyColumns.back();
    std::stable_sort(m_group.begin(), m_group.end(),
                     [last](const std::vector<Value>& left, const std::vector<Value>& right) {
                         return sortsBefore(left[last], right[last]);
                     });
    for (const std::vector<Value>& row : m_group)
        m_direct->add(row);
    m_group.clear();
}

void PgMergeWriter::add(const std::vector<Value>& row)
{
    if (!m_direct || mayBeMetBefore(row)) {
        m_copy.add(row);
        return;
    }
    if (m_keyColumns.size() < 2) {
        m_direct->add(row);
        return;
    }
    if (!inGroup(row))
        sendGroup();
    m_group.push_back(row);
}

void PgMergeWriter::finish()
{
    m_copy.finish();
    if (m_direct) {
        if (!m_group.empty())
            sendGroup();
        m_direct->finish();
        // The conflicts of the rows that follow are found by the table's unique
        // indexes; the others are built after them, not kept row by row.
        m_replaced->buildUniqueIndexes(m_table);
    }
    const std::string context = "Cannot merge the rows of " + m_scratch;
    const PgResult deepest = m_connection.run(
        SqlDialect::translate("SELECT COALESCE(MAX(rows), 0) FROM (SELECT "
                              "COUNT(*) AS rows FROM " +
                                  m_scratch + " GROUP BY " + m_keyList + ") AS keys",
                              SqlDialect::Target::Postgres),
        {}, context);
    const long long ranks = std::atoll(PQgetvalue(deepest.get(), 0, 0));
    for (long long rank = 1; rank <= ranks; ++rank) {
        const std::string number = std::to_string(rank);
        m_connection.run(m_insert, {number.c_str()}, context);
    }
    m_connection.execute("DROP TABLE " + m_scratch);
}

} // namespace kora
