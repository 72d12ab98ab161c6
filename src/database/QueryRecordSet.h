#pragma once

#include "database/Database.h"
#include "database/Value.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kora {

// The rows of a query, read from the engine as the caller moves through them.
// Find operations take a criteria text in SQL ("FILE = '1234567'") and test it
// against each row with the engine's own comparison rules.
class QueryRecordSet
{
public:
    QueryRecordSet(Database& db, const std::string& sql);

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    // Moves to a row by its 0-based position; past the end sets eof.
    void move(long long position);
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    long long position() const { return m_position; }
    // Every row of the result (reads the rest of it).
    long long recordCount();

    Value field(const std::string& name) const;
    Value field(int index) const;

    // Each moves to the matching row and returns true, or leaves the position
    // unchanged and returns false; noMatch() tells the outcome afterwards.
    bool findFirst(const std::string& criteria);
    bool findNext(const std::string& criteria);
    bool findPrevious(const std::string& criteria);
    bool noMatch() const { return m_noMatch; }

private:
    bool fetchUpTo(long long position);
    void place(long long position);
    bool find(const std::string& criteria, long long from, int direction);
    bool matches(Statement& test, long long row);

    Database& m_db;
    std::unique_ptr<Statement> m_query;
    bool m_finished = false;
    std::vector<std::string> m_names;
    // Each column as the find criteria see it: its parameter, compared as the column compares.
    std::vector<std::string> m_findColumns;
    std::map<std::string, int> m_nameIndex;
    std::vector<std::vector<Value>> m_rows;
    long long m_position = 0;
    bool m_eof = true;
    bool m_bof = true;
    bool m_noMatch = false;
};

} // namespace kora
