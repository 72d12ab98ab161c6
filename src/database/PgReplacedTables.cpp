#include "database/PgReplacedTables.h"

#include "base/CaseBlind.h"
#include "base/FieldName.h"
#include "database/PgConnection.h"
#include "database/Schema.h"
#include "database/SqlDialect.h"

#include <libpq-fe.h>

#include <algorithm>

namespace kora {

namespace {

// Tries to lock the old tables, each try waiting this long behind readers
// before it lets the readers queued behind it go on (longer while only the
// server's autovacuum holds them); the last try waits for as long as it takes.
const char* const kLockWait = "250ms";
constexpr int kLockTries = 40;

} // namespace

PgReplacedTables::PgReplacedTables(PgConnection& connection, std::string schema)
    : m_connection(connection), m_schema(std::move(schema))
{
    const std::string context = "Cannot start writing the tables of " + m_schema + " anew";
    // Owned as the state's schema is, so that the tables' owner may own the new ones.
    m_connection.run("DO $$BEGIN EXECUTE format('CREATE SCHEMA %I AUTHORIZATION %s', '" +
                         loadSchema() +
                         "', (SELECT nspowner::regrole FROM pg_namespace WHERE "
                         "nspname = '" +
                         m_schema + "')); END$$",
                     {}, context);
    // Until the transaction ends; the state's own schema stays on the path
    // for its other tables and its functions.
    m_connection.run("SELECT set_config('search_path', $1 || ', ' || "
                     "current_setting('search_path'), true), "
                     "set_config('maintenance_work_mem', '256MB', true)",
                     {loadSchema().c_str()}, context);
}

void PgReplacedTables::allowNestedLoops(bool allowed, const std::string& context)
{
    m_connection.run("SELECT set_config('enable_nestloop', $1, true)", {allowed ? "on" : "off"},
                     context);
}

void PgReplacedTables::add(const std::vector<std::string>& tables)
{
    // The catalog's small joins want nested loops; without them each of
    // these statements hashes whole catalogs, a fifth of a second apiece.
    const std::string starting = "Cannot start writing the tables of " + m_schema + " anew";
    allowNestedLoops(true, starting);
    for (const std::string& name : tables) {
        const std::string table = asciiLowered(name);
        const std::string old = m_schema + "." + table;
        const std::string twin = loadSchema() + "." + table;
        const std::string context = "Cannot start writing " + old + " anew";
        m_connection.run("CREATE TABLE " + twin + " (LIKE " + old +
                             " INCLUDING ALL EXCLUDING INDEXES)",
                         {}, context);
        // The grants of the table, of its columns and of its row id's sequence, and its owner.
        m_connection.run(
            "DO $$DECLARE old regclass := '" + old + "'; twin regclass := '" + twin +
                "'; granted record; BEGIN FOR granted IN "
                "SELECT format('%s ON %s', a.privilege_type, twin) AS what, a.grantee "
                "FROM pg_class c, aclexplode(c.relacl) a WHERE c.oid = old AND a.grantee <> "
                "c.relowner UNION ALL "
                "SELECT format('%s (%I) ON %s', a.privilege_type, t.attname, twin), a.grantee "
                "FROM pg_attribute t, aclexplode(t.attacl) a WHERE t.attrelid = old UNION ALL "
                "SELECT format('%s ON SEQUENCE %s', a.privilege_type, "
                "pg_get_serial_sequence(twin::text, t.attname)), a.grantee FROM pg_attribute t "
                "CROSS JOIN LATERAL (SELECT pg_get_serial_sequence(old::text, t.attname)::regclass "
                "AS oid OFFSET 0) s JOIN pg_class c ON c.oid = s.oid, aclexplode(c.relacl) a "
                "WHERE t.attrelid = old AND t.attidentity <> '' AND a.grantee <> c.relowner "
                "LOOP EXECUTE format('GRANT %s TO %s', granted.what, CASE WHEN granted.grantee = "
                "0 THEN 'PUBLIC' ELSE granted.grantee::regrole::text END); END LOOP; "
                "EXECUTE format('ALTER TABLE %s OWNER TO %s', twin, "
                "(SELECT relowner::regrole FROM pg_class WHERE oid = old)); END$$",
            {}, context);
        const PgResult indexes = m_connection.run(
            "SELECT c.relname, i.indisunique, pg_get_indexdef(c.oid), k.conname, "
            "pg_get_constraintdef(k.oid) FROM pg_index i JOIN pg_class c ON c.oid = "
            "i.indexrelid LEFT JOIN pg_constraint k ON k.conindid = c.oid AND k.conrelid = "
            "i.indrelid WHERE i.indrelid = $1::regclass ORDER BY i.indisunique DESC, c.relname",
            {old.c_str()}, context);
        const std::vector<Index> current = currentIndexes(table);
        Twin made{table, current};
        for (int row = 0; row < PQntuples(indexes.get()); ++row) {
            const bool unique = std::string(PQgetvalue(indexes.get(), row, 1)) == "t";
            const std::string name = PQgetvalue(indexes.get(), row, 0);
            if (!PQgetisnull(indexes.get(), row, 3)) {
                made.indexes.push_back({"ALTER TABLE " + twin + " ADD CONSTRAINT " +
                                            quoteIdentifier(PQgetvalue(indexes.get(), row, 3)) +
                                            " " + PQgetvalue(indexes.get(), row, 4),
                                        unique, name});
                continue;
            }
            // KORA's own indexes, and the twins of an earlier release, come in their current forms.
            if (std::any_of(current.begin(), current.end(), [&name](const Index& index) {
                    return name == index.name || name == index.name + "_order";
                }))
                continue;
            const std::string definition = PQgetvalue(indexes.get(), row, 2);
            made.indexes.push_back({std::string(unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                                        quoteIdentifier(name) + " ON " + twin +
                                        definition.substr(definition.find(" USING ")),
                                    unique, name});
        }
        std::stable_partition(made.indexes.begin(), made.indexes.end(),
                              [](const Index& index) { return index.unique; });
        m_twins.push_back(std::move(made));
    }
    // The load's statements join whole tables, where a nested loop is never
    // the better plan; the planner may choose one over a table it believes
    // empty (NOTES before a first load), whose scan it then repeats for every
    // row as the table grows.
    allowNestedLoops(false, starting);
}

std::vector<PgReplacedTables::Index> PgReplacedTables::currentIndexes(const std::string& table)
{
    std::vector<Index> indexes;
    for (const Schema::Table& known : Schema::anyStateTables()) {
        if (asciiLowered(known.name) != table)
            continue;
        // Made on the twin: the load's schema comes first on the search path.
        for (const std::string& statement :
             Schema::createIndexesSql(known, SqlDialect::Target::Postgres)) {
            const std::string sql = SqlDialect::translate(statement, SqlDialect::Target::Postgres);
            const size_t nameBegin = sql.find('"') + 1;
            indexes.push_back({sql, sql.starts_with("CREATE UNIQUE"),
                               sql.substr(nameBegin, sql.find('"', nameBegin) - nameBegin)});
        }
    }
    return indexes;
}

PgReplacedTables::Twin* PgReplacedTables::twinOf(const std::string& table)
{
    const auto found = std::find_if(m_twins.begin(), m_twins.end(), [&](const Twin& twin) {
        return twin.table == asciiLowered(table);
    });
    return found == m_twins.end() ? nullptr : &*found;
}

bool PgReplacedTables::holds(const std::string& table) const
{
    return std::any_of(m_twins.begin(), m_twins.end(),
                       [&](const Twin& twin) { return twin.table == asciiLowered(table); });
}

void PgReplacedTables::buildIndexes()
{
    for (const Twin& twin : m_twins)
        buildIndexes(twin.table);
}

void PgReplacedTables::buildIndexes(const std::string& table)
{
    Twin* twin = twinOf(table);
    if (!twin || twin->analyzed)
        return;
    build(*twin, false);
    analyze(twin->table, "Cannot index the new rows of " + m_schema + "." + twin->table);
    twin->analyzed = true;
}

void PgReplacedTables::buildUniqueIndexes(const std::string& table)
{
    if (Twin* twin = twinOf(table))
        build(*twin, true);
}

void PgReplacedTables::build(Twin& twin, bool uniqueOnly)
{
    const std::string context = "Cannot index the new rows of " + m_schema + "." + twin.table;
    for (; twin.built < twin.indexes.size() && (!uniqueOnly || twin.indexes[twin.built].unique);
         ++twin.built)
        m_connection.run(twin.indexes[twin.built].sql, {}, context);
}

void PgReplacedTables::analyze(const std::string& table, const std::string& context)
{
    // The planner's figures, for the load's own statements and the readers'
    // after it: of every column from a quarter of the usual sample, then of
    // the columns the indexes sort by (whose figures choose the indexes) from
    // the whole, not the fields they carry. Case-blind text is costly to
    // compare, and PRIME has many columns.
    const std::string twin = loadSchema() + "." + table;
    const PgResult usual = m_connection.run(
        "SELECT current_setting('default_statistics_target'), set_config("
        "'default_statistics_target', (current_setting('default_statistics_target')::integer / "
        "4 + 1)::text, true)",
        {}, context);
    m_connection.run("ANALYZE " + twin, {}, context);
    m_connection.run("SELECT set_config('default_statistics_target', $1, true)",
                     {PQgetvalue(usual.get(), 0, 0)}, context);
    // A catalog query: see add().
    allowNestedLoops(true, context);
    const PgResult keys = m_connection.run(
        "SELECT string_agg(quote_ident(attname), ', ') FROM pg_attribute WHERE attrelid = "
        "$1::regclass AND attnum IN (SELECT key FROM pg_index, unnest(indkey) WITH ORDINALITY "
        "AS k(key, n) WHERE indrelid = $1::regclass AND n <= indnkeyatts) AND attname <> 'rowid'",
        {twin.c_str()}, context);
    allowNestedLoops(false, context);
    if (!PQgetisnull(keys.get(), 0, 0))
        m_connection.run("ANALYZE " + twin + " (" + PQgetvalue(keys.get(), 0, 0) + ")", {},
                         context);
}

void PgReplacedTables::lockTables()
{
    std::string tables;
    for (const Twin& twin : m_twins)
        tables += (tables.empty() ? "" : ", ") + m_schema + "." + twin.table;
    const std::string context = "Cannot put the new rows in the place of " + tables;
    std::string wait = kLockWait;
    for (int attempt = 1;; ++attempt) {
        const bool last = attempt == kLockTries;
        m_connection.run("SAVEPOINT kora_swap", {}, context);
        try {
            m_connection.run("SELECT set_config('lock_timeout', $1, true)",
                             {last ? "0" : wait.c_str()}, context);
            m_connection.run("LOCK TABLE " + tables + " IN ACCESS EXCLUSIVE MODE", {}, context);
            m_connection.run("RELEASE kora_swap", {}, context);
            m_connection.run("SET LOCAL lock_timeout = DEFAULT", {}, context);
            return;
        } catch (const DbError& error) {
            if (last || error.kind() != DbError::Kind::Busy)
                throw;
            m_connection.run("ROLLBACK TO kora_swap", {}, context);
        }
        // The server's autovacuum gives way only to a lock that has waited
        // deadlock_timeout; shorter tries would wait until it ends by itself.
        const PgResult holders = m_connection.run(
            "SELECT CASE WHEN bool_and(a.backend_type = 'autovacuum worker') THEN "
            "(extract(epoch FROM current_setting('deadlock_timeout')::interval) * 1000 + 250)"
            "::bigint || 'ms' ELSE $2 END FROM pg_locks l JOIN pg_stat_activity a ON a.pid = "
            "l.pid WHERE l.granted AND l.relation = ANY (string_to_array($1, ', ')::regclass[]) "
            "AND l.pid <> pg_backend_pid()",
            {tables.c_str(), kLockWait}, context);
        wait = PQgetisnull(holders.get(), 0, 0) ? kLockWait : PQgetvalue(holders.get(), 0, 0);
    }
}

void PgReplacedTables::swapIn()
{
    buildIndexes();
    // Only the catalog's statements are left in the load.
    allowNestedLoops(true, "Cannot put the new rows in the place of the tables of " + m_schema);
    lockTables();
    std::string tables;
    for (const Twin& twin : m_twins)
        tables += (tables.empty() ? "" : ", ") + m_schema + "." + twin.table;
    const std::string context = "Cannot put the new rows in the place of " + tables;
    m_connection.run("DROP TABLE " + tables, {}, context);
    // With the twins go the tables the load made where they were missing,
    // which the search path put beside them.
    const PgResult made =
        m_connection.run("SELECT relname FROM pg_class WHERE relnamespace = $1::regnamespace AND "
                         "relkind = 'r'",
                         {loadSchema().c_str()}, context);
    for (int row = 0; row < PQntuples(made.get()); ++row)
        m_connection.run("ALTER TABLE " + loadSchema() + "." +
                             quoteIdentifier(PQgetvalue(made.get(), row, 0)) + " SET SCHEMA " +
                             m_schema,
                         {}, context);
    m_connection.run("DROP SCHEMA " + loadSchema(), {}, context);
}

} // namespace kora
