#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct zip;

namespace kora {

// A zip archive opened for reading through libzip. Every failure throws
// ZipError with its cause and libzip's error number.
class ZipArchive
{
public:
    // Opens the archive and checks its central directory against the file.
    explicit ZipArchive(const std::string& path);
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;
    ~ZipArchive();

    int memberCount() const;
    std::string memberName(int index) const;
    // A member stored as a symbolic link (by an archiver on a Unix system).
    bool isSymbolicLink(int index) const;
    // The permission bits a Unix archiver stored without write for group and
    // others, or 0644 when none were.
    unsigned permissions(int index) const;
    std::uint64_t memberSize(int index) const;

    // Writes the member's bytes to an open file descriptor, never more than
    // its declared size. libzip checks the CRC of the member as it reaches its
    // end; a mismatch, like a size other than the declared one, throws.
    // progress gets the bytes written so far.
    void extract(int index, int descriptor,
                 const std::function<void(std::uint64_t written)>& progress) const;

private:
    [[noreturn]] void fail(const std::string& what) const;

    std::string m_path;
    zip* m_zip = nullptr;
};

} // namespace kora
