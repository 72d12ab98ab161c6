#include "upgrade/ZipBuilder.h"

#include <zip.h>

#include <stdexcept>

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

void ZipBuilder::declareSize(const std::string& path, const std::string& name, std::uint32_t size)
{
    std::string bytes = fileBytes(path);
    const auto readWord = [&bytes](size_t at) {
        std::uint32_t word = 0;
        for (int i = 3; i >= 0; --i)
            word = (word << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
        return word;
    };
    // The local header (signature PK 3 4) holds the size 22 bytes in and the
    // name at 30; the central one (PK 1 2) the size at 24 and the name at 46.
    const std::pair<std::uint32_t, std::pair<size_t, size_t>> headers[] = {{0x04034b50, {22, 30}},
                                                                           {0x02014b50, {24, 46}}};
    int patched = 0;
    for (size_t at = bytes.find(name); at != std::string::npos; at = bytes.find(name, at + 1))
        for (const auto& [signature, offsets] : headers) {
            const auto [sizeAt, nameAt] = offsets;
            if (at < nameAt || readWord(at - nameAt) != signature)
                continue;
            for (size_t i = 0; i < 4; ++i)
                bytes[at - nameAt + sizeAt + i] = static_cast<char>((size >> (8 * i)) & 0xff);
            ++patched;
        }
    if (patched != 2)
        throw std::runtime_error("cannot find the headers of " + name + " in " + path);
    writeFile(path, bytes);
}

} // namespace kora::test
