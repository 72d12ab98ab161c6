#include "base/AtomicFile.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace kora {

namespace fs = std::filesystem;

namespace {

// The new file keeps the permissions of the file it replaces, so that the
// group of a shared program folder goes on writing it. A file new to the
// folder gets what the umask leaves of 0666, also when its maker (SQLite)
// chose narrower permissions.
void givePermissions(const std::string& path, const std::string& scratch)
{
    struct stat old
    {
    };
    mode_t mode = 0;
    if (stat(path.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    chmod(scratch.c_str(), mode);
}

} // namespace

void AtomicFile::replace(const std::string& path,
                         const std::function<void(const std::string& scratchPath)>& make)
{
    // The process id keeps two users of one installation off each other's scratch.
    const std::string scratch = path + ".new" + std::to_string(getpid());
    std::error_code error;
    fs::remove(scratch, error);
    try {
        make(scratch);
        givePermissions(path, scratch);
        fs::rename(scratch, path, error);
        if (error)
            throw std::runtime_error("Cannot replace " + path + ": " + error.message());
    } catch (...) {
        fs::remove(scratch, error);
        throw;
    }
}

bool AtomicFile::write(const std::string& path, std::string_view content)
{
    try {
        replace(path, [&](const std::string& scratch) {
            std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
            out.write(content.data(), static_cast<std::streamsize>(content.size()));
            if (!out.flush())
                throw std::runtime_error("Cannot write " + scratch);
        });
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace kora
