#pragma once

#include <string>

namespace kora {

class Database;

// Rolls back unless committed: a unit of work that fails leaves nothing behind.
// Inside a caller's open transaction it is a savepoint, so a routine that keeps
// its own work whole can also run as one step of a larger unit.
class Transaction
{
public:
    explicit Transaction(Database& db);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();

    void commit();

private:
    Database& m_db;
    std::string m_savepoint; // empty for an outermost transaction
    bool m_done = false;
};

} // namespace kora
