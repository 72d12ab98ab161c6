#include "upgrade/ZipArchive.h"

#include "upgrade/ZipError.h"

#include <zip.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kora {

namespace {

constexpr unsigned kDefaultPermissions = 0644;

std::string describe(zip_error_t& error)
{
    return zip_error_strerror(&error);
}

} // namespace

ZipArchive::ZipArchive(const std::string& path) : m_path(path)
{
    int code = 0;
    m_zip = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!m_zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const std::string reason = describe(error);
        zip_error_fini(&error);
        throw ZipError(ZipError::Cause::Archive, code, path, reason);
    }
}

ZipArchive::~ZipArchive()
{
    if (m_zip)
        zip_discard(m_zip);
}

void ZipArchive::fail(const std::string& what) const
{
    zip_error_t* error = zip_get_error(m_zip);
    throw ZipError(ZipError::Cause::Archive, zip_error_code_zip(error), m_path,
                   what + ": " + describe(*error));
}

int ZipArchive::memberCount() const
{
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    if (count < 0)
        fail("cannot count the members");
    return static_cast<int>(count);
}

std::string ZipArchive::memberName(int index) const
{
    const char* name = zip_get_name(m_zip, static_cast<zip_uint64_t>(index), 0);
    if (!name)
        fail("cannot read the name of member " + std::to_string(index + 1));
    return name;
}

bool ZipArchive::isSymbolicLink(int index) const
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(m_zip, static_cast<zip_uint64_t>(index), 0, &system,
                                         &attributes) != 0)
        fail("cannot read the attributes of member " + std::to_string(index + 1));
    return system == ZIP_OPSYS_UNIX && S_ISLNK(attributes >> 16);
}

unsigned ZipArchive::permissions(int index) const
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(m_zip, static_cast<zip_uint64_t>(index), 0, &system,
                                         &attributes) != 0 ||
        system != ZIP_OPSYS_UNIX)
        return kDefaultPermissions;
    // Installed files are never writable by group or others, whatever the archiver stored.
    const unsigned mode = (attributes >> 16) & 0755;
    return mode == 0 ? kDefaultPermissions : mode;
}

std::uint64_t ZipArchive::memberSize(int index) const
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_zip, static_cast<zip_uint64_t>(index), 0, &stat) != 0)
        fail("cannot read member " + std::to_string(index + 1));
    return (stat.valid & ZIP_STAT_SIZE) ? stat.size : 0;
}

void ZipArchive::extract(int index, int descriptor,
                         const std::function<void(std::uint64_t)>& progress) const
{
    const std::string name = memberName(index);
    const std::uint64_t size = memberSize(index);
    zip_file_t* file = zip_fopen_index(m_zip, static_cast<zip_uint64_t>(index), 0);
    if (!file) {
        zip_error_t* error = zip_get_error(m_zip);
        throw ZipError(ZipError::Cause::Member, zip_error_code_zip(error), name, describe(*error));
    }
    std::vector<char> buffer(1 << 16);
    std::uint64_t written = 0;
    while (true) {
        const zip_int64_t read = zip_fread(file, buffer.data(), buffer.size());
        if (read < 0) {
            zip_error_t* error = zip_file_get_error(file);
            const ZipError failure(ZipError::Cause::Member, zip_error_code_zip(error), name,
                                   describe(*error));
            zip_fclose(file);
            throw failure;
        }
        if (read == 0)
            break;
        // A member that inflates past the size it declares is stopped there,
        // so that an archive built to fill the disk writes no more than it owns up to.
        if (static_cast<std::uint64_t>(read) > size - written) {
            zip_fclose(file);
            throw ZipError(ZipError::Cause::Member, ZIP_ER_INCONS, name,
                           "more data than its declared size of " + std::to_string(size) +
                               " bytes");
        }
        for (zip_int64_t done = 0; done < read;) {
            const ssize_t put =
                ::write(descriptor, buffer.data() + done, static_cast<size_t>(read - done));
            if (put < 0) {
                const int system = errno;
                zip_fclose(file);
                throw ZipError(ZipError::Cause::Disk, ZIP_ER_WRITE, name, std::strerror(system));
            }
            done += put;
        }
        written += static_cast<std::uint64_t>(read);
        progress(written);
    }
    zip_fclose(file);
    if (written != size)
        throw ZipError(ZipError::Cause::Member, ZIP_ER_INCONS, name,
                       "fewer bytes than its declared size");
}

} // namespace kora
