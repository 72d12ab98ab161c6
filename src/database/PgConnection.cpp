#include "database/PgConnection.h"

#include "base/StableHash.h"
#include "database/ConnectString.h"
#include "database/PgCopyWriter.h"
#include "database/PgIdleConnections.h"
#include "database/PgMergeWriter.h"
#include "database/PgStatement.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

namespace kora {

namespace {

const char* const kConnectTimeoutSeconds = "10";
const int kMetaVersion = 1;

std::string trimmed(const char* message)
{
    std::string text = message ? message : "";
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    return text;
}

// The first of the messages libpq has gathered on a connection; the lines of
// one message after its first start with a tab.
std::string firstMessage(const std::string& messages)
{
    size_t end = messages.find('\n');
    while (end != std::string::npos && end + 1 < messages.size() && messages[end + 1] == '\t')
        end = messages.find('\n', end + 1);
    return messages.substr(0, end);
}

// The two letters of KORA<st>.MDB: only state databases live on a server.
std::string stateOfPath(const std::string& path)
{
    const std::string name = std::filesystem::path(path).filename().string();
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const bool stateName = upper.size() == 10 && upper.rfind("KORA", 0) == 0 &&
                           upper.compare(6, 4, ".MDB") == 0 && std::isalpha(upper[4]) &&
                           std::isalpha(upper[5]);
    if (!stateName)
        throw DbError("Only a state database (KORA<state>.MDB) can be on a server, not " + name +
                      ".");
    return upper.substr(4, upper.size() - 8);
}

std::int32_t keyPart(const std::string& text)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(stableHash(text)));
}

// A session's advisory lock on a state's key, on a connection of its own that
// lives as long as the lock: the server frees the lock when the session ends.
class ServerKeyLock final : public KeyLock
{
public:
    ServerKeyLock(std::unique_ptr<PgConnection> connection, std::string stateKey, std::string key)
        : m_connection(std::move(connection)), m_stateKey(std::move(stateKey)),
          m_key(std::move(key))
    {
    }
    ~ServerKeyLock() override
    {
        try {
            m_connection->run("SELECT pg_advisory_unlock($1::integer, $2::integer)",
                              {m_stateKey.c_str(), m_key.c_str()}, "Cannot unlock");
        } catch (const DbError&) {
            // Closing the connection frees the lock all the same.
        }
    }

private:
    std::unique_ptr<PgConnection> m_connection;
    std::string m_stateKey;
    std::string m_key;
};

// The server's notices ("drop cascades to ...") narrate what it did; KORA
// tells the outcome itself, so only the server's warnings reach the console.
void printWarningsOnly(void*, const PGresult* result)
{
    const char* severity = PQresultErrorField(result, PG_DIAG_SEVERITY_NONLOCALIZED);
    if (severity && std::strcmp(severity, "WARNING") == 0)
        std::fputs(PQresultErrorMessage(result), stderr);
}

} // namespace

PgConnection::PgConnection(std::string text, std::string server, std::string state)
    : m_text(std::move(text)), m_server(std::move(server)), m_state(std::move(state))
{
    m_schema = serverSchemaOf(m_state);
    m_conn = PgIdleConnections::take(m_text);
    if (!m_conn)
        connectAnew();
    try {
        startSession();
    } catch (...) {
        PQfinish(m_conn);
        throw;
    }
}

void PgConnection::connectAnew()
{
    // The connection text comes first so that what follows overrides it.
    const char* keys[] = {"dbname",           "connect_timeout",     "keepalives",
                          "keepalives_idle",  "keepalives_interval", "keepalives_count",
                          "application_name", "client_encoding",     nullptr};
    const char* values[] = {
        m_text.c_str(), kConnectTimeoutSeconds, "1", "30", "10", "3", "kora", "UTF8", nullptr};
    m_conn = PQconnectdbParams(keys, values, 1);
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const std::string reason = trimmed(PQerrorMessage(m_conn));
        PQfinish(m_conn);
        throw DbError("Cannot connect to the server (" + m_server + "): " + reason,
                      DbError::Kind::Disconnected);
    }
}

void PgConnection::startSession()
{
    PQsetNoticeReceiver(m_conn, printWarningsOnly, nullptr);
    // The server's side of the same keepalives: a PC that dies or leaves the
    // network ends its session, and so frees its note locks, within about a
    // minute, not after the system's two hours.
    query("SELECT set_config('tcp_keepalives_idle', '30', false), "
          "set_config('tcp_keepalives_interval', '10', false), "
          "set_config('tcp_keepalives_count', '3', false)",
          {});
    m_cancel = PQgetCancel(m_conn);
}

PgConnection::~PgConnection()
{
    // The COPY's thread has the connection until it ends.
    if (m_copySent.valid())
        m_copySent.wait();
    PQfreeCancel(m_cancel);
    PgIdleConnections::keep(m_text, m_conn);
}

std::unique_ptr<PgConnection> PgConnection::connect(const std::string& path,
                                                    const std::string& connect)
{
    return std::unique_ptr<PgConnection>(new PgConnection(
        serverConnectionText(connect), serverTextWithoutPassword(connect), stateOfPath(path)));
}

std::unique_ptr<PgConnection> PgConnection::open(const std::string& path,
                                                 const std::string& connect)
{
    auto connection = PgConnection::connect(path, connect);
    connection->useSchema(true);
    return connection;
}

std::unique_ptr<PgConnection> PgConnection::create(const std::string& path,
                                                   const std::string& connect)
{
    auto connection = PgConnection::connect(path, connect);
    const std::string& schema = connection->m_schema;
    // Case-blind text and its order (citext, ucs_basic) need UTF-8.
    const std::string encoding =
        PQgetvalue(connection->query("SELECT current_setting('server_encoding')", {}).get(), 0, 0);
    if (encoding != "UTF8")
        throw DbError("The server (" + connection->m_server + ") holds its database in the " +
                      encoding + " encoding; KORA needs one made with --encoding=UTF8.");
    // One simple query runs as one transaction: the schema is made whole or not at all.
    // MONTH() and DAY() give what the SQLite functions give: no value unless
    // the text holds two digits at the place.
    const PgResult made(
        PQexec(connection->m_conn,
               ("CREATE EXTENSION IF NOT EXISTS citext; CREATE SCHEMA " + schema +
                "; CREATE FUNCTION " + schema +
                ".month(text) RETURNS integer LANGUAGE sql IMMUTABLE AS "
                "$$SELECT CASE WHEN substr($1, 6, 2) ~ '^[0-9][0-9]$' "
                "THEN substr($1, 6, 2)::integer END$$; CREATE FUNCTION " +
                schema +
                ".day(text) RETURNS integer LANGUAGE sql IMMUTABLE AS "
                "$$SELECT CASE WHEN substr($1, 9, 2) ~ '^[0-9][0-9]$' "
                "THEN substr($1, 9, 2)::integer END$$; CREATE TABLE " +
                schema +
                ".kora_meta (product text NOT NULL, version integer NOT NULL); INSERT INTO " +
                schema + ".kora_meta VALUES ('KORA', " + std::to_string(kMetaVersion) + ")")
                   .c_str()),
        PQclear);
    if (PQresultStatus(made.get()) != PGRES_COMMAND_OK)
        throw connection->failure("Cannot make the schema " + schema + " on the server (" +
                                      connection->m_server + ")",
                                  made.get());
    connection->useSchema(true);
    return connection;
}

void PgConnection::useSchema(bool mustExist)
{
    const PgResult found =
        query("SELECT to_regclass($1) IS NOT NULL, (SELECT n.nspname FROM pg_extension e JOIN "
              "pg_namespace n ON n.oid = e.extnamespace WHERE e.extname = 'citext')",
              {m_schema + ".kora_meta"});
    if (mustExist && std::string(PQgetvalue(found.get(), 0, 0)) != "t")
        throw DbError("The server (" + m_server + ") holds no KORA database of the state " +
                          m_state + " (schema " + m_schema + ").",
                      DbError::Kind::NotFound);
    if (mustExist) {
        const PgResult meta = query("SELECT version FROM " + m_schema + ".kora_meta", {});
        const std::string version = PQntuples(meta.get()) ? PQgetvalue(meta.get(), 0, 0) : "";
        if (version != std::to_string(kMetaVersion))
            throw DbError("The server (" + m_server + ") holds the state " + m_state + " (schema " +
                          m_schema + ") in layout version " + (version.empty() ? "none" : version) +
                          "; this program reads version " + std::to_string(kMetaVersion) + ".");
    }
    // citext's operators must be found wherever the extension was made.
    std::string path = m_schema;
    if (!PQgetisnull(found.get(), 0, 1)) {
        char* quoted = PQescapeIdentifier(m_conn, PQgetvalue(found.get(), 0, 1),
                                          static_cast<size_t>(PQgetlength(found.get(), 0, 1)));
        path += std::string(", ") + quoted;
        PQfreemem(quoted);
    }
    // Sorting a lookup of a large share of a state takes some 30 MB; with the
    // server's default of 4 MB it spills to disk and takes twice as long.
    // A state's tables stay in the server's cache, where a row found through
    // an index costs about what a row of a scan does: with the default cost
    // of 4 the planner reads a whole table to find a screenful of rows.
    query("SELECT set_config('search_path', $1, false), "
          "CASE WHEN pg_size_bytes(current_setting('work_mem')) < pg_size_bytes('32MB') "
          "THEN set_config('work_mem', '32MB', false) END, "
          "CASE WHEN current_setting('random_page_cost')::float8 > 1.1 "
          "THEN set_config('random_page_cost', '1.1', false) END",
          {path});
}

DbError PgConnection::failure(const std::string& context, const pg_result* result) const
{
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const std::string code = state ? state : "";
    std::string reason = trimmed(result ? PQresultErrorMessage(result) : nullptr);
    if (reason.empty())
        reason = trimmed(PQerrorMessage(m_conn));
    // The server's own failures carry a code; one without is libpq's, which on
    // a connection that worked means the server went away. libpq may keep the
    // connection's status good until the next statement finds it closed.
    if (PQstatus(m_conn) == CONNECTION_BAD || code.empty() || code.rfind("08", 0) == 0 ||
        code.rfind("57P", 0) == 0)
        return DbError("The connection to the server (" + m_server +
                           ") was lost: " + firstMessage(reason),
                       DbError::Kind::Disconnected);
    if (code == "42501") {
        const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
        return DbError("The server (" + m_server + ") does not allow the login " + PQuser(m_conn) +
                           " to do this (" + (primary ? primary : reason) +
                           "). Loading and publishing a state are for the administrators of "
                           "KORA on the server.",
                       DbError::Kind::NotAllowed);
    }
    DbError::Kind kind = DbError::Kind::General;
    if (code == "23505")
        kind = DbError::Kind::UniqueViolation;
    else if (code == "40001" || code == "40P01" || code == "55P03")
        kind = DbError::Kind::Busy;
    return DbError(context + ": " + reason, kind);
}

PgResult PgConnection::run(const std::string& sql, const std::vector<const char*>& parameters,
                           const std::string& context)
{
    settle();
    PgResult result(PQexecParams(m_conn, sql.c_str(), static_cast<int>(parameters.size()), nullptr,
                                 parameters.data(), nullptr, nullptr, 0),
                    PQclear);
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw failure(context, result.get());
    return result;
}

std::string PgConnection::prepare(const std::string& sql, int parameters,
                                  const std::string& context)
{
    settle();
    const std::string name = "kora_statement_" + std::to_string(++m_prepared);
    const PgResult result(PQprepare(m_conn, name.c_str(), sql.c_str(), parameters, nullptr),
                          PQclear);
    if (PQresultStatus(result.get()) != PGRES_COMMAND_OK)
        throw failure(context, result.get());
    return name;
}

PgResult PgConnection::runPrepared(const std::string& name,
                                   const std::vector<const char*>& parameters,
                                   const std::string& context)
{
    settle();
    PgResult result(PQexecPrepared(m_conn, name.c_str(), static_cast<int>(parameters.size()),
                                   parameters.data(), nullptr, nullptr, 0),
                    PQclear);
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw failure(context, result.get());
    return result;
}

void PgConnection::unprepare(const std::string& name)
{
    // Not while changes sent wait for their outcomes, which the next use of
    // the connection must tell, nor in a failed transaction, which refuses
    // it: the session ends the statement then.
    if (m_sent.empty() && !m_copySent.valid() && !m_keepingRows &&
        PQstatus(m_conn) == CONNECTION_OK && PQtransactionStatus(m_conn) != PQTRANS_INERROR)
        PQclear(PQexec(m_conn, ("DEALLOCATE " + name).c_str()));
}

void PgConnection::sendPrepared(const std::string& name, const std::vector<const char*>& parameters,
                                std::shared_ptr<const std::string> context)
{
    // A few hundred outcomes fit the socket's buffers: the server never
    // waits to write them while this side still writes changes.
    constexpr size_t kMostSent = 500;
    if (m_sent.size() >= kMostSent || m_copySent.valid() || m_keepingRows)
        settle();
    if (m_sent.empty() && PQenterPipelineMode(m_conn) != 1)
        throw failure(*context, nullptr);
    const bool sent = PQsendQueryPrepared(m_conn, name.c_str(), static_cast<int>(parameters.size()),
                                          parameters.data(), nullptr, nullptr, 0) == 1;
    m_sent.push_back(context);
    if (!sent) {
        settle();
        throw failure(*context, nullptr);
    }
}

PgResult PgConnection::openCursor(const std::string& cursor, const std::string& sql,
                                  const std::vector<const char*>& parameters, int firstRows,
                                  const std::string& context)
{
    settle();
    const std::string declare = "DECLARE " + cursor + " NO SCROLL CURSOR WITH HOLD FOR " + sql;
    const std::string fetch = "FETCH " + std::to_string(firstRows) + " FROM " + cursor;
    if (inTransaction()) {
        run(declare, parameters, context);
        return run(fetch, {}, context);
    }
    // A cursor declared outside a transaction is read whole at once, to be
    // kept past the end of its statement; inside one, only as far as it is
    // fetched, and the rest is read and kept at the commit. So the first rows
    // come from a transaction of their own, in one round trip, and the commit
    // runs on the server while the caller takes them; the next use of the
    // connection waits for it.
    const auto send = [this](const std::string& statement, const std::vector<const char*>& values) {
        return PQsendQueryParams(m_conn, statement.c_str(), static_cast<int>(values.size()),
                                 nullptr, values.data(), nullptr, nullptr, 0) == 1;
    };
    if (PQenterPipelineMode(m_conn) != 1)
        throw failure(context, nullptr);
    std::optional<DbError> failed;
    bool synced = false;
    if (!send("BEGIN", {}) || !send(declare, parameters) || !send(fetch, {}) ||
        PQsendFlushRequest(m_conn) != 1 || !send("COMMIT", {}) ||
        !(synced = PQpipelineSync(m_conn) == 1))
        failed = failure(context, nullptr);
    PgResult rows(nullptr, PQclear);
    for (int statement = 0; statement < 3 && !failed; ++statement) {
        PgResult result(PQgetResult(m_conn), PQclear);
        const ExecStatusType status = PQresultStatus(result.get());
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            failed = failure(context, result.get());
        else
            rows = std::move(result);
        while (pg_result* more = PQgetResult(m_conn))
            PQclear(more);
    }
    if (!failed) {
        m_keepingRows = KeepingRows{cursor, context};
        return rows;
    }
    if (synced || PQpipelineSync(m_conn) == 1)
        endPipeline(context);
    throw *failed;
}

std::optional<DbError> PgConnection::endPipeline(const std::string& context)
{
    // Each statement's outcomes end in a null; a failure skips the rest up to
    // the sync, and leaves its transaction to be rolled back.
    std::optional<DbError> failed;
    while (PQstatus(m_conn) == CONNECTION_OK) {
        pg_result* next = PQgetResult(m_conn);
        if (!next)
            continue;
        const PgResult result(next, PQclear);
        const ExecStatusType status = PQresultStatus(next);
        if (status == PGRES_PIPELINE_SYNC)
            break;
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK &&
            status != PGRES_PIPELINE_ABORTED && !failed)
            failed = failure(context, next);
    }
    if (PQstatus(m_conn) != CONNECTION_OK && !failed)
        failed = failure(context, nullptr);
    PQexitPipelineMode(m_conn);
    if (PQstatus(m_conn) == CONNECTION_OK && PQtransactionStatus(m_conn) == PQTRANS_INERROR)
        PQclear(PQexec(m_conn, "ROLLBACK"));
    return failed;
}

std::optional<DbError> PgConnection::keptRowsOutcome()
{
    const std::string context = std::move(m_keepingRows->context);
    m_keepingRows.reset();
    return endPipeline(context);
}

void PgConnection::settle(bool report)
{
    // Rows past the first that the server could not keep fail the reading of
    // them; a cursor closed before has no use for them.
    if (m_keepingRows) {
        std::optional<DbError> failed = keptRowsOutcome();
        if (failed && report)
            throw *failed;
    }
    if (report && m_untold) {
        const DbError untold = *m_untold;
        m_untold.reset();
        throw untold;
    }
    if (m_copySent.valid()) {
        std::optional<DbError> refused = copyOutcome();
        if (refused && report)
            throw *refused;
        if (refused)
            m_untold = std::move(refused);
    }
    if (m_sent.empty())
        return;
    std::optional<DbError> failed;
    long long changed = 0;
    if (PQpipelineSync(m_conn) != 1)
        failed = failure(*m_sent.front(), nullptr);
    for (const auto& context : m_sent) {
        while (pg_result* next = PQgetResult(m_conn)) {
            const PgResult result(next, PQclear);
            const ExecStatusType status = PQresultStatus(next);
            if (status == PGRES_COMMAND_OK)
                changed += std::atoll(PQcmdTuples(next));
            else if (status != PGRES_PIPELINE_ABORTED && !failed)
                failed = failure(*context, next);
        }
    }
    const PgResult sync(PQgetResult(m_conn), PQclear);
    if (!failed && PQresultStatus(sync.get()) != PGRES_PIPELINE_SYNC)
        failed = failure(*m_sent.back(), sync.get());
    m_sent.clear();
    PQexitPipelineMode(m_conn);
    noteChangedRows(changed);
    if (failed && report)
        throw *failed;
    if (failed)
        m_untold = failed;
}

void PgConnection::copy(const std::string& sql, std::string rows)
{
    settle();
    if (PQtransactionStatus(m_conn) != PQTRANS_INTRANS) {
        CopyOutcome outcome = sendCopy(sql, rows);
        noteChangedRows(outcome.rows);
        if (outcome.refused)
            throw *outcome.refused;
        return;
    }
    m_copySent = std::async(std::launch::async,
                            [this, sql, rows = std::move(rows)] { return sendCopy(sql, rows); });
}

PgConnection::CopyOutcome PgConnection::sendCopy(const std::string& sql,
                                                 const std::string& rows) const
{
    CopyOutcome outcome;
    const PgResult started(PQexec(m_conn, sql.c_str()), PQclear);
    if (PQresultStatus(started.get()) != PGRES_COPY_IN) {
        outcome.refused = failure("Cannot execute \"" + sql + "\"", started.get());
        return outcome;
    }
    const bool taken =
        rows.empty() || PQputCopyData(m_conn, rows.data(), static_cast<int>(rows.size())) == 1;
    const bool ended = PQputCopyEnd(m_conn, taken ? nullptr : "the rows could not be sent") == 1;
    if (!taken || !ended)
        outcome.refused = failure("The server (" + m_server + ") did not take the rows", nullptr);
    // The outcome of the COPY, then nothing; every result must be read.
    while (pg_result* next = PQgetResult(m_conn)) {
        const PgResult result(next, PQclear);
        if (PQresultStatus(next) == PGRES_COMMAND_OK)
            outcome.rows += std::atoll(PQcmdTuples(next));
        else if (!outcome.refused)
            outcome.refused = failure("The server (" + m_server + ") refused the rows", next);
    }
    return outcome;
}

std::optional<DbError> PgConnection::copyOutcome()
{
    CopyOutcome outcome = m_copySent.get();
    noteChangedRows(outcome.rows);
    return std::move(outcome.refused);
}

std::unique_ptr<RowWriter> PgConnection::rowWriter(const std::string& table,
                                                   const std::vector<std::string>& columns)
{
    return std::make_unique<PgCopyWriter>(*this, table, columns,
                                          m_replaced && m_replaced->holds(table));
}

std::unique_ptr<RowWriter> PgConnection::mergingRowWriter(const std::string& table,
                                                          const std::vector<std::string>& columns,
                                                          const std::vector<std::string>& key,
                                                          const std::string& conflictAction)
{
    return std::make_unique<PgMergeWriter>(*this, table, columns, key, conflictAction,
                                           m_replaced && m_replaced->holds(table) ? &*m_replaced
                                                                                  : nullptr);
}

PgResult PgConnection::describe(const std::string& sql, int parameters, const std::string& context)
{
    settle();
    const PgResult prepared(PQprepare(m_conn, "", sql.c_str(), parameters, nullptr), PQclear);
    if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK)
        throw failure(context, prepared.get());
    PgResult description(PQdescribePrepared(m_conn, ""), PQclear);
    if (PQresultStatus(description.get()) != PGRES_COMMAND_OK)
        throw failure(context, description.get());
    return description;
}

PgResult PgConnection::query(const std::string& sql, std::initializer_list<std::string> parameters)
{
    std::vector<const char*> values;
    for (const std::string& parameter : parameters)
        values.push_back(parameter.c_str());
    return run(sql, values, "The server (" + m_server + ") failed");
}

std::vector<std::string> PgConnection::names(const std::string& sql,
                                             std::initializer_list<std::string> parameters)
{
    const PgResult result = query(sql, parameters);
    std::vector<std::string> found;
    for (int row = 0; row < PQntuples(result.get()); ++row)
        found.push_back(canonicalColumnName(PQgetvalue(result.get(), row, 0)));
    return found;
}

void PgConnection::noteChangedRows(long long rows)
{
    if (rows > 0 && inTransaction())
        m_changedRows = true;
}

void PgConnection::closeCursor(const std::string& name, unsigned rollbacksAtDeclare, bool rowsLeft)
{
    if (m_keepingRows && m_keepingRows->cursor == name) {
        // Rows the server still reads to keep are not wanted now: it stops,
        // and the cursor goes with the transaction that declared it.
        if (rowsLeft && PQconsumeInput(m_conn) == 1 && PQisBusy(m_conn) == 1)
            interrupt();
        if (keptRowsOutcome())
            return;
    }
    settle(false);
    const PGTransactionStatusType status = PQtransactionStatus(m_conn);
    if (status == PQTRANS_INERROR || PQstatus(m_conn) != CONNECTION_OK)
        return;
    const std::string close = "CLOSE " + name;
    // A rollback may have taken the cursor already; inside a transaction a
    // failed CLOSE would spoil the transaction, so it fails in a savepoint.
    const bool mayBeGone = rollbacksAtDeclare != m_rollbacks;
    if (mayBeGone && status == PQTRANS_INTRANS) {
        PQclear(PQexec(m_conn, "SAVEPOINT kora_close"));
        const PgResult closed(PQexec(m_conn, close.c_str()), PQclear);
        PQclear(PQexec(m_conn, PQresultStatus(closed.get()) == PGRES_COMMAND_OK
                                   ? "RELEASE kora_close"
                                   : "ROLLBACK TO kora_close; RELEASE kora_close"));
        return;
    }
    PQclear(PQexec(m_conn, close.c_str()));
}

void PgConnection::execute(const std::string& sql)
{
    const std::string translated = SqlDialect::translate(sql, SqlDialect::Target::Postgres);
    std::string firstWord = translated.substr(0, translated.find_first_of(" ;"));
    std::transform(firstWord.begin(), firstWord.end(), firstWord.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    // A rollback undoes the changes sent whatever their outcomes.
    settle(firstWord != "ROLLBACK");
    if (firstWord == "ROLLBACK")
        m_untold.reset();
    if (firstWord == "COMMIT" && m_replaced)
        m_replaced->swapIn();
    if (firstWord == "COMMIT" || firstWord == "ROLLBACK" || firstWord == "BEGIN")
        m_replaced.reset();
    const PgResult result(PQexec(m_conn, translated.c_str()), PQclear);
    const ExecStatusType status = PQresultStatus(result.get());
    if (firstWord == "ROLLBACK")
        ++m_rollbacks;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw failure("Cannot execute \"" + sql + "\"", result.get());
    // The server answers the commit of a failed transaction with a rollback.
    if (firstWord == "COMMIT" && std::string(PQcmdStatus(result.get())) == "ROLLBACK")
        throw DbError("The server (" + m_server + ") rolled the transaction back.");
    noteChangedRows(std::atoll(PQcmdTuples(result.get())));
}

std::unique_ptr<StatementEngine> PgConnection::prepare(const std::string& sql)
{
    return std::make_unique<PgStatement>(*this, sql);
}

bool PgConnection::tableExists(const std::string& table)
{
    return !names("SELECT relname FROM pg_class WHERE relnamespace = to_regnamespace($1) AND "
                  "relname = lower($2) AND relkind IN ('r', 'p')",
                  {m_schema, table})
                .empty();
}

std::vector<std::string> PgConnection::columnsOf(const std::string& table)
{
    // rowid stands in for SQLite's row id: not a field of the table.
    return names("SELECT a.attname FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid "
                 "WHERE c.relnamespace = to_regnamespace($1) AND c.relname = lower($2) AND "
                 "c.relkind IN ('r', 'p') AND a.attnum > 0 AND NOT a.attisdropped AND "
                 "a.attname <> 'rowid' ORDER BY a.attnum",
                 {m_schema, table});
}

std::vector<std::string> PgConnection::indexColumnsOf(const std::string& index)
{
    // Without the row id that ends an index as it ends SQLite's (Schema).
    return names("SELECT a.attname FROM pg_index i JOIN pg_class c ON c.oid = i.indexrelid "
                 "JOIN pg_attribute a ON a.attrelid = i.indrelid AND a.attnum = ANY (i.indkey) "
                 "WHERE c.relnamespace = to_regnamespace($1) AND c.relname = lower($2) "
                 "AND a.attname <> 'rowid' "
                 "ORDER BY array_position(i.indkey::smallint[], a.attnum)",
                 {m_schema, index});
}

std::vector<IndexDefinition> PgConnection::nonUniqueIndexesOf(const std::string& table)
{
    const PgResult result = query("SELECT c.relname, pg_get_indexdef(c.oid) FROM pg_index i "
                                  "JOIN pg_class c ON c.oid = i.indexrelid "
                                  "JOIN pg_class t ON t.oid = i.indrelid "
                                  "WHERE t.relnamespace = to_regnamespace($1) "
                                  "AND t.relname = lower($2) AND NOT i.indisunique",
                                  {m_schema, table});
    std::vector<IndexDefinition> found;
    for (int row = 0; row < PQntuples(result.get()); ++row)
        found.push_back({PQgetvalue(result.get(), row, 0), PQgetvalue(result.get(), row, 1)});
    return found;
}

void PgConnection::begin()
{
    execute("BEGIN");
    m_changedRows = false;
}

bool PgConnection::inTransaction() const
{
    // Changes are sent, and COPY outcomes left unread, only inside a transaction.
    if (!m_sent.empty() || m_copySent.valid())
        return true;
    const PGTransactionStatusType status = PQtransactionStatus(m_conn);
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR;
}

bool PgConnection::hasChangedRows() const
{
    return inTransaction() && (m_changedRows || m_copySent.valid());
}

bool PgConnection::replaceTables(const std::vector<std::string>& tables)
{
    if (!inTransaction())
        throw DbError("Tables are written anew only inside a transaction.");
    if (!m_replaced)
        m_replaced.emplace(*this, m_schema);
    m_replaced->add(tables);
    return true;
}

void PgConnection::indexReplacedTables()
{
    if (m_replaced)
        m_replaced->buildIndexes();
}

void PgConnection::interrupt()
{
    char message[256];
    PQcancel(m_cancel, message, sizeof message);
}

std::unique_ptr<Connection> PgConnection::reader() const
{
    std::unique_ptr<PgConnection> connection(new PgConnection(m_text, m_server, m_state));
    connection->useSchema(true);
    connection->query("SET default_transaction_read_only = on", {});
    return connection;
}

std::unique_ptr<KeyLock> PgConnection::tryLockKey(const std::string& key) const
{
    std::unique_ptr<PgConnection> connection(new PgConnection(m_text, m_server, m_state));
    const std::string stateKey = std::to_string(keyPart(m_schema));
    const std::string keyKey = std::to_string(keyPart(key));
    const PgResult locked = connection->query(
        "SELECT pg_try_advisory_lock($1::integer, $2::integer)", {stateKey, keyKey});
    if (std::string(PQgetvalue(locked.get(), 0, 0)) != "t")
        return nullptr;
    return std::make_unique<ServerKeyLock>(std::move(connection), stateKey, keyKey);
}

void PgConnection::changePassword(const std::string&)
{
    throw DbError("A state database on a server (" + m_server +
                  ") takes its password from the server's login, not from KORA.");
}

} // namespace kora
