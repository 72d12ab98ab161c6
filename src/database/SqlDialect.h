#pragma once

#include <string>

namespace kora {

// Reads statements written for the original engine with their meaning kept:
// "DELETE * FROM T" becomes "DELETE FROM T" and "x NOT = y" becomes
// "NOT (x = y)". Text inside single quotes is never touched. On SQLite,
// MONTH(), DAY() and [MOD] need no translation. On both engines a SELECT of
// PRIME gives equal keys in one order: the row id is added as its last key,
// so that a state gives the same lines on either engine; a SELECT of PRIME
// without an order reads in row-id order.
//
// PostgreSQL holds every table and column under its name in lower case, as
// it folds names that are not quoted, so quoted and bracketed names are
// lowered to match ("[DESC]" and "\"DESC\"" become "\"desc\""). Besides:
// "?" and "?N" become "$N"; NULL sorts first as on SQLite ("ORDER BY x"
// becomes "ORDER BY x NULLS FIRST", DESC gets NULLS LAST); a 1 or 0 standing
// as a condition becomes TRUE or FALSE; a subquery in FROM gets a name;
// "(+FILE, ...)" loses the plus that only steers SQLite's planner;
// "INSERT OR IGNORE" and "INSERT OR REPLACE" become "ON CONFLICT" clauses on
// the table's unique key (from Schema); PRAGMA, which only tunes SQLite,
// becomes a query without rows.
class SqlDialect
{
public:
    enum class Target
    {
        Sqlite,
        Postgres
    };

    // parameters, when given, receives the number of parameters of a
    // statement for PostgreSQL.
    static std::string translate(const std::string& sql, Target target = Target::Sqlite,
                                 int* parameters = nullptr);
};

} // namespace kora
