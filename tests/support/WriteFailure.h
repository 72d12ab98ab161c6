#pragma once

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kora::test {

// A folder in which no file can be created, even by root: read and search
// only and, for root, marked immutable. usable() is false where the system
// does not allow the mark (a container without the capability).
class UnwritableFolder
{
public:
    explicit UnwritableFolder(std::string path) : m_path(std::move(path))
    {
        std::filesystem::create_directories(m_path);
        chmod(m_path.c_str(), 0555);
        m_immutable = geteuid() == 0 && setImmutable(true);
        const std::string probe = m_path + "/probe";
        m_usable = !std::ofstream(probe);
        std::filesystem::remove(probe);
    }
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;
    // Makes the folder writable again, so that it can be removed.
    ~UnwritableFolder()
    {
        if (m_immutable)
            setImmutable(false);
        chmod(m_path.c_str(), 0755);
    }

    const std::string& path() const { return m_path; }
    bool usable() const { return m_usable; }

private:
    // Sets or clears the immutable mark; false when the system refuses.
    bool setImmutable(bool on) const
    {
        const int folder = open(m_path.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        bool done = folder >= 0 && ioctl(folder, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            done = ioctl(folder, FS_IOC_SETFLAGS, &flags) == 0;
        }
        if (folder >= 0)
            close(folder);
        return done;
    }

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
