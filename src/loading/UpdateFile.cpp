#include "loading/UpdateFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace kora {

namespace {

constexpr size_t kBufferSize = 1 << 18;

std::runtime_error systemError(const std::string& what)
{
    return std::runtime_error(what + " (" + std::strerror(errno) + ")");
}

} // namespace

UpdateFile::UpdateFile(const std::string& path, int recordLength)
    : m_recordLength(recordLength),
      // Whole records fit the buffer, so that a record is never split by a refill.
      m_buffer(kBufferSize / static_cast<size_t>(recordLength) * static_cast<size_t>(recordLength) +
               static_cast<size_t>(recordLength))
{
    // Not blocking: a FIFO under the file's name must not stop the program.
    m_descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_descriptor < 0)
        throw systemError("the file cannot be opened");
    try {
        if (flock(m_descriptor, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK)
                throw std::runtime_error("another update is running and loading it");
            throw systemError("the file cannot be locked");
        }
        struct stat status
        {
        };
        if (fstat(m_descriptor, &status) != 0)
            throw systemError("the file cannot be read");
        if (!S_ISREG(status.st_mode))
            throw std::runtime_error("it is not a regular file");
        // Deleted between the look for update files and this open: the other
        // update that held it has loaded it.
        if (status.st_nlink == 0)
            throw std::runtime_error("another update has loaded it meanwhile");
        m_identity = std::to_string(status.st_dev) + ':' + std::to_string(status.st_ino) + ':' +
                     std::to_string(status.st_size) + ':' + std::to_string(status.st_mtim.tv_sec) +
                     '.' + std::to_string(status.st_mtim.tv_nsec);
    } catch (...) {
        close(m_descriptor);
        throw;
    }
}

UpdateFile::~UpdateFile()
{
    close(m_descriptor);
}

bool UpdateFile::next()
{
    const auto length = static_cast<size_t>(m_recordLength);
    if (m_filled - m_next < length && !fill())
        return false;
    m_record = m_next;
    m_next += length;
    ++m_recordNumber;
    return true;
}

bool UpdateFile::fill()
{
    const size_t left = m_filled - m_next;
    std::memmove(m_buffer.data(), m_buffer.data() + m_next, left);
    m_filled = left;
    m_next = 0;
    while (m_filled < m_buffer.size()) {
        const ssize_t read =
            ::read(m_descriptor, m_buffer.data() + m_filled, m_buffer.size() - m_filled);
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            throw systemError("the file cannot be read");
        if (read == 0)
            break;
        m_filled += static_cast<size_t>(read);
    }
    if (m_filled >= static_cast<size_t>(m_recordLength))
        return true;
    m_tail = m_filled;
    return false;
}

void UpdateFile::rewind()
{
    if (lseek(m_descriptor, 0, SEEK_SET) != 0)
        throw systemError("the file cannot be read again");
    m_filled = m_next = m_record = 0;
    m_recordNumber = 0;
    m_tail = 0;
}

} // namespace kora
