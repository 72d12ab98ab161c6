#include "upgrade/ZipBuilder.h"

#include <zip.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/stat.h>

namespace kora::test {

void ZipBuilder::write(const std::string& path, const std::vector<Member>& members)
{
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive)
        throw std::runtime_error("cannot make " + path);
    for (const Member& member : members) {
        zip_source_t* source =
            zip_source_buffer(archive, member.bytes.data(), member.bytes.size(), 0);
        const zip_int64_t index =
            member.name.back() == '/'
                ? zip_dir_add(archive, member.name.c_str(), ZIP_FL_ENC_RAW)
                : zip_file_add(archive, member.name.c_str(), source, ZIP_FL_ENC_RAW);
        if (member.name.back() == '/')
            zip_source_free(source);
        if (index < 0)
            throw std::runtime_error("cannot add " + member.name + ": " + zip_strerror(archive));
        if (member.mode != 0)
            zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0,
                                             ZIP_OPSYS_UNIX, member.mode << 16);
    }
    if (zip_close(archive) != 0)
        throw std::runtime_error("cannot write " + path + ": " + zip_strerror(archive));
}

ZipBuilder::Member ZipBuilder::link(const std::string& name, const std::string& target)
{
    return {name, target, S_IFLNK | 0777};
}

std::string fileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace kora::test
