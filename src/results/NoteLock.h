#pragma once

#include "database/Database.h"

#include <memory>
#include <string>

namespace kora {

// The lock of a company's note while a record window has it open: on a file
// state a byte-range lock on the lock file beside the database, on a server
// an advisory lock of a session of its own. Held by one holder at a time;
// released by unlock(), by the destructor, and when the holder dies.
class NoteLock
{
public:
    explicit NoteLock(const Database& db) : m_db(db) {}
    NoteLock(const NoteLock&) = delete;
    NoteLock& operator=(const NoteLock&) = delete;

    // False when another process (or another NoteLock) holds the company.
    bool tryLock(const std::string& file, const std::string& sequence);
    void unlock() { m_lock.reset(); }
    bool isLocked() const { return m_lock != nullptr; }

private:
    const Database& m_db;
    std::unique_ptr<KeyLock> m_lock;
};

} // namespace kora
