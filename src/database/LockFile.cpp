#include "database/LockFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace kora {

namespace {

std::string lockPathOf(const std::string& databasePath)
{
    const auto dot = databasePath.find_last_of('.');
    const auto slash = databasePath.find_last_of('/');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? databasePath.substr(0, dot) : databasePath) + ".LCK";
}

bool setLock(int descriptor, short type, long long byte)
{
    struct flock region
    {
    };
    region.l_type = type;
    region.l_whence = SEEK_SET;
    region.l_start = byte;
    region.l_len = 1;
    return fcntl(descriptor, F_OFD_SETLK, &region) == 0;
}

} // namespace

LockFile::LockFile(const std::string& databasePath) : m_databasePath(databasePath) {}

LockFile::LockFile(LockFile&& other) noexcept
    : m_databasePath(std::move(other.m_databasePath)),
      m_descriptor(std::exchange(other.m_descriptor, -1))
{
}

LockFile& LockFile::operator=(LockFile&& other) noexcept
{
    if (this != &other) {
        close();
        m_databasePath = std::move(other.m_databasePath);
        m_descriptor = std::exchange(other.m_descriptor, -1);
    }
    return *this;
}

LockFile::~LockFile()
{
    close();
}

void LockFile::close()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}

bool LockFile::tryLock(long long byte, Kind kind)
{
    if (m_descriptor < 0 && !openFile())
        return false;
    return setLock(m_descriptor, kind == Kind::Shared ? F_RDLCK : F_WRLCK, byte);
}

void LockFile::unlock(long long byte)
{
    if (m_descriptor >= 0)
        setLock(m_descriptor, F_UNLCK, byte);
}

bool LockFile::openFile()
{
    const std::string path = lockPathOf(m_databasePath);
    m_descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_descriptor >= 0) {
        // Whoever may write the database may lock it: the file gets the
        // database's permissions rather than those of the first user's umask.
        struct stat database
        {
        };
        if (stat(m_databasePath.c_str(), &database) == 0)
            fchmod(m_descriptor, database.st_mode & 0666);
        return true;
    }
    if (errno == EEXIST)
        m_descriptor = open(path.c_str(), O_RDWR | O_CLOEXEC);
    return m_descriptor >= 0;
}

} // namespace kora
