#pragma once

namespace kora {

class Database;

// Rolls back unless committed: a unit of work that fails leaves nothing behind.
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
    bool m_done = false;
};

} // namespace kora
