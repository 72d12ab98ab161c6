#pragma once

#include "database/LockFile.h"

#include <optional>
#include <string>

namespace kora {

// Guards a state database (KORA<st>.MDB) against being replaced while it is
// open: every connection to it holds the state byte of its lock file shared,
// and an upgrade holds it exclusively for as long as it replaces the file.
// The process that replaces a state opens it without a lock of its own.
class StateLock
{
public:
    StateLock() = default;
    StateLock(StateLock&& other) noexcept;
    StateLock& operator=(StateLock&& other) noexcept;
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;
    ~StateLock();

    // The lock a connection to the database at path holds: none for a file
    // that is not a state database. Throws DbError when an upgrade is
    // replacing the file.
    static StateLock forOpening(const std::string& path);
    // The lock of an upgrade that replaces the file at path (none for a file
    // that is not a state database); nothing while anyone has the state open.
    static std::optional<StateLock> forReplacing(const std::string& path);

private:
    StateLock(LockFile file, std::string replacedPath);
    void release();

    std::optional<LockFile> m_file;
    // Set while this lock lets the process replace the state.
    std::string m_replacedPath;
};

} // namespace kora
