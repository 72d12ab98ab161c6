#include "results/NoteLock.h"

#include "base/StableHash.h"

#include <cstdint>

namespace kora {

namespace {

// Spread the companies over the bytes below the lock file's state byte; two
// companies sharing a byte only means one waits for the other's record window.
long long offsetOf(const std::string& file, const std::string& sequence)
{
    return static_cast<long long>(stableHash(file + '\x1f' + sequence) %
                                  static_cast<std::uint64_t>(LockFile::kStateByte));
}

} // namespace

NoteLock::NoteLock(const std::string& databasePath) : m_file(databasePath) {}

NoteLock::~NoteLock()
{
    unlock();
}

bool NoteLock::tryLock(const std::string& file, const std::string& sequence)
{
    unlock();
    const long long offset = offsetOf(file, sequence);
    if (!m_file.tryLock(offset, LockFile::Kind::Exclusive))
        return false;
    m_offset = offset;
    return true;
}

void NoteLock::unlock()
{
    if (m_offset >= 0)
        m_file.unlock(m_offset);
    m_offset = -1;
}

bool NoteLock::isLocked() const
{
    return m_offset >= 0;
}

} // namespace kora
