#include "base/Folders.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kora {

namespace {

std::string userName()
{
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_name && *entry->pw_name)
        return entry->pw_name;
    return std::to_string(getuid());
}

// The private folder must be ours alone: a folder someone else made under
// that name is never used.
bool isPrivateFolder(const std::string& folder)
{
    struct stat info
    {
    };
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid())
        return false;
    if ((info.st_mode & 077) != 0 && chmod(folder.c_str(), 0700) != 0)
        return false;
    return true;
}

} // namespace

std::string Folders::withSeparator(const std::string& folder)
{
    if (folder.empty() || folder.back() == '/')
        return folder;
    return folder + "/";
}

std::string Folders::temporaryFolder()
{
    if (const char* tmpdir = std::getenv("TMPDIR"); tmpdir && *tmpdir) {
        std::error_code error;
        return std::filesystem::is_directory(tmpdir, error) ? withSeparator(tmpdir) : "";
    }
    const std::string folder = "/tmp/kora-" + userName();
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    return isPrivateFolder(folder) ? withSeparator(folder) : "";
}

void Folders::shareWithGroup(const std::string& programFolder)
{
    struct stat info
    {
    };
    if (stat(programFolder.c_str(), &info) != 0 || (info.st_mode & S_ISGID) == 0)
        return;
    const mode_t mask = umask(0);
    umask(mask & ~static_cast<mode_t>(S_IRWXG));
}

} // namespace kora
