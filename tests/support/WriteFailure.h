#pragma once

#include <csignal>
#include <string>

#include <sys/resource.h>

namespace kora::test {

// A folder in which no file can be created, even by root: read and search
// only and, for root, marked immutable. usable() is false where the system
// does not allow the mark (a container without the capability).
class UnwritableFolder
{
public:
    explicit UnwritableFolder(std::string path);
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;
    // Makes the folder writable again, so that it can be removed.
    ~UnwritableFolder();

    const std::string& path() const { return m_path; }
    bool usable() const { return m_usable; }

private:
    std::string m_path;
    bool m_immutable = false;
    bool m_usable = false;
};

// While it lives, files of this process cannot grow past a few bytes, as if
// the disk were full: a write past the limit fails with EFBIG instead of
// ending the process with SIGXFSZ.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_before);
        rlimit limit = m_before;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_before{};
    void (*m_handler)(int);
};

} // namespace kora::test
