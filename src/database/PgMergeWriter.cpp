#include "database/PgMergeWriter.h"

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
    std::string name = "kora_merge_" + table;
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
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
        m_direct.emplace(connection, table, columns);
}

bool PgMergeWriter::mayBeMetBefore(const std::vector<Value>& row)
{
    std::uint64_t key = kStableHashStart;
    for (const size_t column : m_keyColumns) {
        const Value& value = row[column];
        // No value equals no other: such a key is never met before.
        if (value.isNull())
            return false;
        const std::string* text = value.textIf();
        const std::string number = text ? std::string() : value.toString();
        const std::string_view field = text ? std::string_view(*text) : std::string_view(number);
        // Case-blind text folds more than ASCII on the server: such a key is
        // taken for one met before.
        if (std::any_of(field.begin(), field.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            return true;
        key = rowKeyWith(key, {field});
    }
    return !m_keysMet.insert(key).second;
}

void PgMergeWriter::add(const std::vector<Value>& row)
{
    if (m_direct && !mayBeMetBefore(row))
        m_direct->add(row);
    else
        m_copy.add(row);
}

void PgMergeWriter::finish()
{
    m_copy.finish();
    if (m_direct) {
        m_direct->finish();
        // The conflicts of the rows that follow are found by the table's unique indexes.
        m_replaced->buildIndexes(m_table);
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
