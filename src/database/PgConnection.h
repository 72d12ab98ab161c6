#pragma once

#include "database/Connection.h"
#include "database/DbError.h"
#include "database/PgReplacedTables.h"

#include <future>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

struct pg_conn;
struct pg_result;
struct pg_cancel;

namespace kora {

// A result of libpq, cleared when it goes.
using PgResult = std::unique_ptr<pg_result, void (*)(pg_result*)>;

// A connection to the schema of one state on a PostgreSQL server (kora_pa for
// KORAPA.MDB), with the server's search path set to it.
class PgConnection final : public Connection
{
public:
    // Opens the state's schema; throws DbError (NotFound) when it is missing.
    static std::unique_ptr<PgConnection> open(const std::string& path, const std::string& connect);
    // Makes the state's schema, empty but for kora_meta, MONTH() and DAY().
    static std::unique_ptr<PgConnection> create(const std::string& path,
                                                const std::string& connect);
    ~PgConnection() override;

    SqlDialect::Target target() const override { return SqlDialect::Target::Postgres; }
    void execute(const std::string& sql) override;
    std::unique_ptr<StatementEngine> prepare(const std::string& sql) override;

    bool tableExists(const std::string& table) override;
    std::vector<std::string> columnsOf(const std::string& table) override;
    std::vector<std::string> indexColumnsOf(const std::string& index) override;
    std::vector<IndexDefinition> nonUniqueIndexesOf(const std::string& table) override;

    void begin() override;
    bool inTransaction() const override;
    bool hasChangedRows() const override;
    // DROP INDEX locks its table against every reader until the commit.
    bool indexChangesBlockReaders() const override { return true; }
    void interrupt() override;
    // The server's memory is its administrator's to size.
    void sizeFor(WorkSizing sizing) override { m_sizing = sizing; }
    WorkSizing sizing() const override { return m_sizing; }
    bool replaceTables(const std::vector<std::string>& tables) override;
    void indexReplacedTables() override;

    std::unique_ptr<Connection> reader() const override;
    std::unique_ptr<KeyLock> tryLockKey(const std::string& key) const override;
    std::unique_ptr<RowWriter> rowWriter(const std::string& table,
                                         const std::vector<std::string>& columns) override;
    std::unique_ptr<RowWriter> mergingRowWriter(const std::string& table,
                                                const std::vector<std::string>& columns,
                                                const std::vector<std::string>& key,
                                                const std::string& conflictAction) override;
    void changePassword(const std::string& connect) override;

    // What PgStatement needs of its connection. run() sends one statement in
    // PostgreSQL's dialect with text parameters (null for no value) and
    // throws DbError when it fails.
    PgResult run(const std::string& sql, const std::vector<const char*>& parameters,
                 const std::string& context);
    // A statement prepared on the server under a name of its own, for one
    // run many times: the server then parses and plans it once. Removed by
    // unprepare(), or with the session.
    std::string prepare(const std::string& sql, int parameters, const std::string& context);
    PgResult runPrepared(const std::string& name, const std::vector<const char*>& parameters,
                         const std::string& context);
    void unprepare(const std::string& name);
    // Sends a prepared change inside a transaction without waiting for its
    // outcome: the server runs such changes in order, and their outcomes are
    // read every few hundred and before anything else uses the connection,
    // which then throws the first failure. Saves a round trip a row in loads.
    void sendPrepared(const std::string& name, const std::vector<const char*>& parameters,
                      std::shared_ptr<const std::string> context);
    // The column names of a statement before it runs.
    PgResult describe(const std::string& sql, int parameters, const std::string& context);
    void noteChangedRows(long long rows);
    std::string newCursorName() { return "kora_rows_" + std::to_string(++m_cursors); }
    // Declares a cursor that outlives the transaction (WITH HOLD) and fetches
    // its first rows. Outside a transaction these come before the server has
    // read the rest: it keeps the rest while the caller takes them.
    PgResult openCursor(const std::string& cursor, const std::string& sql,
                        const std::vector<const char*>& parameters, int firstRows,
                        const std::string& context);
    // Counts the rollbacks, which may take cursors with them.
    unsigned rollbacks() const { return m_rollbacks; }
    // Closes a cursor; rowsLeft when it was not read to its end.
    void closeCursor(const std::string& name, unsigned rollbacksAtDeclare, bool rowsLeft);
    // What PgCopyWriter needs: rows sent with a COPY ... FROM STDIN. Inside a
    // transaction they go from a thread of their own, so that the server
    // stores them while this side makes the next; their outcome is read, and
    // a refusal thrown, where the connection is next used. Outside one it
    // waits, and throws DbError when the server refused a row.
    void copy(const std::string& sql, std::string rows);

private:
    PgConnection(std::string text, std::string server, std::string state);
    // A new connection to the server.
    void connectAnew();
    // Readies a new or kept connection for KORA's statements.
    void startSession();
    static std::unique_ptr<PgConnection> connect(const std::string& path,
                                                 const std::string& connect);
    void useSchema(bool mustExist);
    PgResult query(const std::string& sql, std::initializer_list<std::string> parameters);
    std::vector<std::string> names(const std::string& sql,
                                   std::initializer_list<std::string> parameters);
    DbError failure(const std::string& context, const pg_result* result) const;
    // Reads the outcomes of the changes sent and of a COPY ended; throws the first failure when
    // report is set. Every use of the connection but sendPrepared starts here.
    void settle(bool report = true);
    // Sends rows with a COPY and reads its outcome. Uses nothing of this
    // object but the connection, so that it runs on a thread of its own.
    struct CopyOutcome
    {
        std::optional<DbError> refused;
        long long rows = 0;
    };
    CopyOutcome sendCopy(const std::string& sql, const std::string& rows) const;
    // Takes the outcome of a COPY sent from its thread; the refusal if refused.
    std::optional<DbError> copyOutcome();
    // Reads the outcomes of the statements sent in pipeline mode up to its
    // sync and leaves the mode; the first failure.
    std::optional<DbError> endPipeline(const std::string& context);
    // Reads the outcome of the commit that keeps a cursor's rows; its failure
    // when it failed.
    std::optional<DbError> keptRowsOutcome();

    pg_conn* m_conn = nullptr;
    pg_cancel* m_cancel = nullptr;
    std::string m_text;   // the libpq connection text
    std::string m_server; // the same without a password, for messages
    std::string m_state;
    std::string m_schema;
    bool m_changedRows = false;
    unsigned m_rollbacks = 0;
    int m_cursors = 0;
    int m_prepared = 0;
    // The contexts of the changes sent whose outcomes are not read yet.
    std::vector<std::shared_ptr<const std::string>> m_sent;
    // The cursor whose rows the server keeps at a commit not yet answered
    // (see openCursor), and its statement's context for a failure.
    struct KeepingRows
    {
        std::string cursor;
        std::string context;
    };
    std::optional<KeepingRows> m_keepingRows;
    // A failure of a change sent, read where it could not be thrown; the next
    // use of the connection throws it, unless it rolls back.
    std::optional<DbError> m_untold;
    // The COPY whose rows its thread still sends, or whose outcome is still to be read.
    std::future<CopyOutcome> m_copySent;
    // The tables the open transaction writes anew, put in place by its commit.
    std::optional<PgReplacedTables> m_replaced;
    WorkSizing m_sizing = WorkSizing::Ordinary;
};

} // namespace kora
