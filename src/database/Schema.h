#pragma once

#include "database/Database.h"
#include "database/SqlDialect.h"

#include <string>
#include <vector>

namespace kora {

// The tables, fields and indexes of KORA's database files, and of a state's
// schema on a server. An index is stored under the name TABLE_INDEX
// (PRIME_KEY2) and chosen by its own name (KEY2).
class Schema
{
public:
    enum class Kind
    {
        Text,
        Date,
        Number,
        YesNo,
        Memo
    };

    struct Field
    {
        std::string name;
        Kind kind;
    };

    struct Index
    {
        std::string name;
        std::vector<std::string> fields;
        bool unique;
        // Whole tables are read in its order (the result list's orders). The
        // server keeps a twin of this unique index on the keys it sorts text
        // by (sortKeyOnServer).
        bool ordersTable = false;
        // The server sorts by the first field alone and carries the others
        // for reads from the index alone: case-blind keys are slow to sort.
        bool carriesOnServer = false;
        // Read by ranges of its first field, a case-blind text, and in its
        // order. The server sorts it by that field's sort key, which it
        // compares the ranges by (SqlDialect), and carries the fields.
        bool rangedOnServer = false;
        // Made on the server alone, whose planner weighs it against a scan
        // by what it knows of the data; SQLite would take it for broad
        // ranges too, where a scan is quicker.
        bool onServerOnly = false;
    };

    struct Table
    {
        std::string name;
        std::vector<Field> fields;
        std::vector<Index> indexes;
    };

    // The tables of a state database (New York adds ADDRESSES).
    static std::vector<Table> stateTables(const std::string& state);
    // What the latest company load changed: one row per company it added
    // ("New Company") or that got a mod it did not have ("New Mod").
    static Table loadChangesTable();
    // The trend of each company's mods, kept by the company load for the
    // lookups on mod trends: the newest mod, the one before it (no value with
    // one mod), the change between them and the years over 1.00.
    static Table modTrendTable();
    // The update files whose data a load has committed, each with what tells
    // it from a later delivery, until the file is deleted: a file that a crash
    // left behind after its load is not loaded again.
    static Table loadedFilesTable();
    // The agent's follow-up on a company: the day it is due (YYYY-MM-DD) and
    // what to do. Kept with the notes by loads, backups and upgrades.
    static Table followUpTable();
    // Every table a state database holds, the loads' own included; of any
    // state: those of New York, which has the most.
    static std::vector<Table> everyTableOf(const std::string& state);
    static std::vector<Table> anyStateTables() { return everyTableOf("NY"); }
    static std::vector<Table> setupTables();
    static std::vector<Table> backupTables();
    // The scratch report database: one denormalised PRIME row per printed
    // company (mods 0-19 side by side) and one CLASS row (classes 0-20).
    static std::vector<Table> reportTables();

    static std::string createTableSql(const Table& table,
                                      SqlDialect::Target target = SqlDialect::Target::Sqlite);
    // The month and day of a company's expiration as one number (1231 for
    // December 31), as lookups compare it.
    static const std::string& expireMonthDay();
    // What the server sorts a text column by. Its text columns are citext,
    // whose comparison lowers both texts at every step of a sort; the lowered
    // text, computed once a row, sorts the same (ucs_basic lowers ASCII letters
    // only, as SQLite's NOCASE does) several times faster.
    static std::string sortKeyOnServer(const std::string& column);
    // Whether a field of PRIME holds case-blind text.
    static bool isPrimeTextField(const std::string& name);
    // Whether the server compares ranges of a field by its sort key: the
    // first field of a rangedOnServer index.
    static bool isRangedOnServer(const std::string& name);
    // The statements that build a table's indexes. On the server PRIME also gets
    // an index on expireMonthDay(): the server evaluates MONTH() and DAY() as SQL,
    // several times slower than SQLite's functions over a whole state.
    static std::vector<std::string> createIndexesSql(const Table& table, SqlDialect::Target target);
    static void createTables(Database& db, const std::vector<Table>& tables);
    // Creates a table of our own that a database of an older release lacks;
    // false when it is there already. On a server the new table gets the
    // owner and the grants of the table accessLike, so that the agents use it
    // as they use that one.
    static bool createIfMissing(Database& db, const Table& table,
                                const std::string& accessLike = "PRIME");

    // New database files with every table and index. A state database comes with
    // its band and merit tables filled and a VERSION row dated today; a backup
    // database with its VERSION row.
    static void createStateDatabase(const std::string& path, const std::string& connect,
                                    const std::string& state);
    static void createSetupDatabase(const std::string& path);
    static void createBackupDatabase(const std::string& path);
    static void createReportDatabase(const std::string& path);

    // The band texts of the EMPLOYEES and SALES codes 0 to 9.
    static const std::vector<std::string>& employeeBands();
    static const std::vector<std::string>& salesBands();
};

} // namespace kora
