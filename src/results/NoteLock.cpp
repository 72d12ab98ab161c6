#include "results/NoteLock.h"

namespace kora {

bool NoteLock::tryLock(const std::string& file, const std::string& sequence)
{
    unlock();
    m_lock = m_db.tryLockKey(file + '\x1f' + sequence);
    return isLocked();
}

} // namespace kora
