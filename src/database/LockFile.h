#pragma once

#include <string>

namespace kora {

// The lock file beside a state database (KORA<st>.LCK for KORA<st>.MDB) and
// operating-system locks on single bytes of it. The locks belong to this open
// file: another LockFile conflicts with them, in this process as in any other,
// and they go when it closes or the process dies.
class LockFile
{
public:
    // The bytes of the file: below kStateByte one per company's note, then the
    // state database itself (shared while it is open, exclusive while an
    // upgrade replaces it) and the backup of the state's notes.
    static constexpr long long kStateByte = 1LL << 40;
    static constexpr long long kBackupByte = kStateByte + 1;

    enum class Kind
    {
        Shared,
        Exclusive
    };

    explicit LockFile(const std::string& databasePath);
    LockFile(LockFile&& other) noexcept;
    LockFile& operator=(LockFile&& other) noexcept;
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    ~LockFile();

    // False when another open file holds the byte in a way that excludes this
    // lock, or when the lock file cannot be opened or made.
    bool tryLock(long long byte, Kind kind);
    void unlock(long long byte);
    // Whether the lock file could be opened, so that a refused lock is held
    // by another open file.
    bool isOpen() const { return m_descriptor >= 0; }

private:
    bool openFile();
    void close();

    std::string m_databasePath;
    int m_descriptor = -1;
};

} // namespace kora
