#include "support/WriteFailure.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace kora::test {

namespace {

// Sets or clears the immutable mark of a folder; false when the system refuses.
bool setImmutable(const std::string& path, bool on)
{
    const int folder = open(path.c_str(), O_RDONLY | O_DIRECTORY);
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

} // namespace

UnwritableFolder::UnwritableFolder(std::string path) : m_path(std::move(path))
{
    std::filesystem::create_directories(m_path);
    chmod(m_path.c_str(), 0555);
    m_immutable = geteuid() == 0 && setImmutable(m_path, true);
    const std::string probe = m_path + "/probe";
    m_usable = !std::ofstream(probe);
    std::remove(probe.c_str());
}

UnwritableFolder::~UnwritableFolder()
{
    if (m_immutable)
        setImmutable(m_path, false);
    chmod(m_path.c_str(), 0755);
}

} // namespace kora::test
