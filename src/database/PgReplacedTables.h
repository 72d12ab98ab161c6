#pragma once

#include <string>
#include <vector>

namespace kora {

class PgConnection;

// Tables of a state that one transaction writes anew on the server. Each gets
// a fresh twin in a schema of the load's own (kora_pa_load beside kora_pa),
// found first on the load's search path, so that the load's statements write
// and read the twins by the tables' own names while every other session reads
// the old rows undisturbed. The twins start with the columns and grants of
// the tables and take their indexes once the rows are in: building an index
// at once is far cheaper than keeping it row by row. A duplicate key then
// fails the building of a unique index, and the load.
// Just before the commit the old tables go and the twins move into their
// place, under their names, with the tables the load made where they were
// missing; readers wait for that moment only. A rollback,
// or a load killed at any moment, takes the twins and their schema with it.
class PgReplacedTables
{
public:
    // Makes the load's schema and puts it first on the search path; in the open transaction.
    PgReplacedTables(PgConnection& connection, std::string schema);

    // Adds twins of the tables (names as the state's schema holds them).
    void add(const std::vector<std::string>& tables);
    bool holds(const std::string& table) const;
    // Builds the indexes of the twins, or of one, unique ones first, and their statistics.
    void buildIndexes();
    void buildIndexes(const std::string& table);
    // Builds only the unique indexes of a twin: those its conflicts are found by.
    void buildUniqueIndexes(const std::string& table);
    // Puts the twins in the place of the tables; in the transaction, before its commit.
    void swapIn();

private:
    struct Index
    {
        std::string sql; // the statement that builds it
        bool unique = false;
        std::string name;
    };
    struct Twin
    {
        std::string table;
        std::vector<Index> indexes; // the unique ones first
        size_t built = 0;           // how many of them are built
        bool analyzed = false;
    };

    std::string loadSchema() const { return m_schema + "_load"; }
    // The indexes this release gives a table of a state: a twin gets them in
    // their current forms, with the other indexes the table has (an
    // administrator's own) as they are; the forms of an earlier release go.
    static std::vector<Index> currentIndexes(const std::string& table);
    Twin* twinOf(const std::string& table);
    // Builds the twin's indexes not built yet, or only its unique ones.
    void build(Twin& twin, bool uniqueOnly);
    void analyze(const std::string& table, const std::string& context);
    void allowNestedLoops(bool allowed, const std::string& context);
    void lockTables();

    PgConnection& m_connection;
    std::string m_schema;
    std::vector<Twin> m_twins;
};

} // namespace kora
