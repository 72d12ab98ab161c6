#include "support/WriteFailure.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace kora::test {

UnwritableFolder::UnwritableFolder(std::string path) : m_path(std::move(path))
{
    std::filesystem::create_directories(m_path);
    chmod(m_path.c_str(), 0555);
    if (geteuid() == 0)
        m_immutable = setImmutable(true);
    const std::string probe = m_path + "/probe";
    std::FILE* file = std::fopen(probe.c_str(), "wb");
    m_usable = file == nullptr;
    if (file) {
        std::fclose(file);
        std::remove(probe.c_str());
    }
}

UnwritableFolder::~UnwritableFolder()
{
    if (m_immutable)
        setImmutable(false);
    chmod(m_path.c_str(), 0755);
}

bool UnwritableFolder::setImmutable(bool on) const
{
    const int folder = open(m_path.c_str(), O_RDONLY | O_DIRECTORY);
    if (folder < 0)
        return false;
    int flags = 0;
    bool done = ioctl(folder, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ioctl(folder, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(folder);
    return done;
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &m_before);
    m_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_before;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_before);
    std::signal(SIGXFSZ, m_handler);
}

} // namespace kora::test
