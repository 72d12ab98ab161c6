#include "database/StateLock.h"

#include "base/StateCodes.h"
#include "database/DbError.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <utility>

namespace kora {

namespace {

std::mutex replacedMutex;
// The state databases this process holds exclusively, by absolute path.
std::multiset<std::string> replacedPaths;

std::string absolute(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::absolute(path, ignored).lexically_normal().string();
}

bool isStateDatabase(const std::string& path)
{
    const std::string name = std::filesystem::path(path).filename().string();
    for (auto state : kStateCodes)
        if (name == stateDatabaseName(state))
            return true;
    return false;
}

bool isReplacedHere(const std::string& path)
{
    const std::lock_guard guard(replacedMutex);
    return replacedPaths.count(path) > 0;
}

} // namespace

StateLock::StateLock(LockFile file, std::string replacedPath)
    : m_file(std::move(file)), m_replacedPath(std::move(replacedPath))
{
    if (!m_replacedPath.empty()) {
        const std::lock_guard guard(replacedMutex);
        replacedPaths.insert(m_replacedPath);
    }
}

StateLock::StateLock(StateLock&& other) noexcept
    : m_file(std::exchange(other.m_file, std::nullopt)),
      m_replacedPath(std::exchange(other.m_replacedPath, {}))
{
}

StateLock& StateLock::operator=(StateLock&& other) noexcept
{
    if (this != &other) {
        release();
        m_file = std::exchange(other.m_file, std::nullopt);
        m_replacedPath = std::exchange(other.m_replacedPath, {});
    }
    return *this;
}

StateLock::~StateLock()
{
    release();
}

void StateLock::release()
{
    if (!m_replacedPath.empty()) {
        const std::lock_guard guard(replacedMutex);
        replacedPaths.erase(replacedPaths.find(m_replacedPath));
    }
    m_replacedPath.clear();
    m_file.reset();
}

StateLock StateLock::forOpening(const std::string& path)
{
    if (!isStateDatabase(path) || isReplacedHere(absolute(path)))
        return {};
    LockFile file(path);
    if (file.tryLock(LockFile::kStateByte, LockFile::Kind::Shared))
        return StateLock(std::move(file), {});
    if (!file.isOpen())
        throw DbError("The lock file beside " + path +
                      " cannot be opened: " + std::strerror(errno));
    throw DbError(std::filesystem::path(path).filename().string() +
                      " is being replaced by an update of KORA just now: open it again when the "
                      "update has finished.",
                  DbError::Kind::Busy);
}

std::optional<StateLock> StateLock::forReplacing(const std::string& path)
{
    if (!isStateDatabase(path))
        return StateLock();
    LockFile file(path);
    if (!file.tryLock(LockFile::kStateByte, LockFile::Kind::Exclusive))
        return std::nullopt;
    return StateLock(std::move(file), absolute(path));
}

} // namespace kora
