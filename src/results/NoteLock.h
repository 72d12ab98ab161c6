#pragma once

#include "database/LockFile.h"

#include <string>

namespace kora {

// An operating-system byte-range lock on a lock file beside a state database,
// at an offset derived from the company key. Held by one process at a time;
// released by unlock(), by the destructor, and by the system when the process dies.
class NoteLock
{
public:
    explicit NoteLock(const std::string& databasePath);
    NoteLock(const NoteLock&) = delete;
    NoteLock& operator=(const NoteLock&) = delete;
    ~NoteLock();

    // False when another process (or another NoteLock) holds the company.
    bool tryLock(const std::string& file, const std::string& sequence);
    void unlock();
    bool isLocked() const;

private:
    LockFile m_file;
    long long m_offset = -1;
};

} // namespace kora
