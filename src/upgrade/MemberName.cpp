#include "upgrade/MemberName.h"

#include <cctype>

namespace kora {

std::optional<std::filesystem::path> MemberName::relativePath(const std::string& name)
{
    if (name.empty() || name.front() == '/' || name.find('\\') != std::string::npos)
        return std::nullopt;
    if (name.size() >= 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':')
        return std::nullopt;
    std::filesystem::path relative;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        const std::string part = name.substr(start, end - start);
        if (part == "..")
            return std::nullopt;
        if (!part.empty() && part != ".")
            relative /= part;
        start = end + 1;
    }
    if (relative.empty())
        return std::nullopt;
    return relative;
}

bool MemberName::isFolder(const std::string& name)
{
    return !name.empty() && name.back() == '/';
}

bool MemberName::isDatabase(const std::string& name)
{
    if (name.size() < 4)
        return false;
    const std::string ending = name.substr(name.size() - 4);
    return ending == ".MDB" || ending == ".Mdb" || ending == ".mdb";
}

bool MemberName::isJournal(const std::string& name)
{
    for (const std::string ending : {"-wal", "-shm", "-journal"})
        if (name.size() > ending.size() &&
            name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
            return isDatabase(name.substr(0, name.size() - ending.size()));
    return false;
}

} // namespace kora
