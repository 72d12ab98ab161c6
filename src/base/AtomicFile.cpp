#include "base/AtomicFile.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace kora {

namespace fs = std::filesystem;

void AtomicFile::replace(const std::string& path,
                         const std::function<void(const std::string& scratchPath)>& make)
{
    // The process id keeps two users of one installation off each other's scratch.
    const std::string scratch = path + ".new" + std::to_string(getpid());
    std::error_code error;
    fs::remove(scratch, error);
    try {
        make(scratch);
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
