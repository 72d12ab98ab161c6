#include "database/NetworkFolder.h"

#include <sys/vfs.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kora {

namespace {

// File-system types as statfs reports them (linux/magic.h and the CIFS and
// SMB2 clients).
constexpr long kNfs = 0x6969;
constexpr long kSmb = 0x517B;
constexpr long kCifs = 0xFF534D42;
constexpr long kSmb2 = 0xFE534D42;
constexpr long kFuse = 0x65735546;

// /proc/self/mounts escapes blanks and tabs in mount points as octal.
std::string unescapedMountPoint(const std::string& field)
{
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        const bool octal = field[i] == '\\' && i + 3 < field.size() &&
                           field.find_first_not_of("01234567", i + 1) >= i + 4;
        if (octal) {
            out += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

// The type of the mount that holds a path: the longest mount point that is
// the path or one of its parents.
std::string mountTypeOf(const std::filesystem::path& path)
{
    std::ifstream mounts("/proc/self/mounts");
    std::string line;
    std::string type;
    size_t longest = 0;
    const std::string text = path.string();
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string device, point, fsType;
        if (!(fields >> device >> point >> fsType))
            continue;
        point = unescapedMountPoint(point);
        const bool holds = text == point || (text.compare(0, point.size(), point) == 0 &&
                                             (point == "/" || text[point.size()] == '/'));
        if (holds && point.size() >= longest) {
            longest = point.size();
            type = fsType;
        }
    }
    return type;
}

} // namespace

bool NetworkFolder::isNetworkType(long fileSystemType, const std::string& mountType)
{
    switch (fileSystemType) {
    case kNfs:
    case kSmb:
    case kCifs:
    case kSmb2:
        return true;
    case kFuse:
        return mountType == "fuse.sshfs";
    default:
        return false;
    }
}

bool NetworkFolder::holds(const std::string& path)
{
    if (const char* forced = std::getenv("KORA_NETWORK_FOLDER"); forced && *forced)
        return std::string(forced) != "0";
    std::error_code error;
    std::filesystem::path folder = std::filesystem::absolute(path, error);
    if (error)
        return false;
    // The database file may not be there yet: its folder decides.
    if (!std::filesystem::is_directory(folder, error))
        folder = folder.parent_path();
    struct statfs info
    {
    };
    if (statfs(folder.c_str(), &info) != 0)
        return false;
    const auto type = static_cast<long>(info.f_type);
    return isNetworkType(type, type == kFuse ? mountTypeOf(folder) : std::string());
}

} // namespace kora
