#include "results/NoteLock.h"

#include "base/StableHash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdint>

namespace kora {

namespace {

// Spread the companies over a large range of byte offsets; two companies
// sharing a byte only means one waits for the other's record window.
long long offsetOf(const std::string& file, const std::string& sequence)
{
    return static_cast<long long>(stableHash(file + '\x1f' + sequence) % (1ull << 40));
}

bool setLock(int descriptor, short type, long long offset)
{
    struct flock region
    {
    };
    region.l_type = type;
    region.l_whence = SEEK_SET;
    region.l_start = offset;
    region.l_len = 1;
    return fcntl(descriptor, F_OFD_SETLK, &region) == 0;
}

} // namespace

NoteLock::NoteLock(const std::string& databasePath) : m_databasePath(databasePath)
{
    const auto dot = databasePath.find_last_of('.');
    const auto slash = databasePath.find_last_of('/');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    m_path = (hasExtension ? databasePath.substr(0, dot) : databasePath) + ".LCK";
}

NoteLock::~NoteLock()
{
    unlock();
    if (m_descriptor >= 0)
        close(m_descriptor);
}

bool NoteLock::tryLock(const std::string& file, const std::string& sequence)
{
    unlock();
    if (m_descriptor < 0 && !openLockFile())
        return false;
    const long long offset = offsetOf(file, sequence);
    if (!setLock(m_descriptor, F_WRLCK, offset))
        return false;
    m_offset = offset;
    return true;
}

bool NoteLock::openLockFile()
{
    m_descriptor = open(m_path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_descriptor >= 0) {
        // Whoever may write the database may lock its companies: the file gets
        // the database's permissions rather than those of the first user's umask.
        struct stat database
        {
        };
        if (stat(m_databasePath.c_str(), &database) == 0)
            fchmod(m_descriptor, database.st_mode & 0666);
        return true;
    }
    if (errno == EEXIST)
        m_descriptor = open(m_path.c_str(), O_RDWR | O_CLOEXEC);
    return m_descriptor >= 0;
}

void NoteLock::unlock()
{
    if (m_offset >= 0 && m_descriptor >= 0)
        setLock(m_descriptor, F_UNLCK, m_offset);
    m_offset = -1;
}

bool NoteLock::isLocked() const
{
    return m_offset >= 0;
}

} // namespace kora
