#include "output/WorkbookCheck.h"

#include <zip.h>

#include <memory>
#include <vector>

namespace kora {

namespace {

constexpr size_t kHeadSize = 512;
constexpr size_t kTailSize = 256;

// The name of the root element of an XML text's beginning; "" when there is none.
std::string rootName(const std::string& head)
{
    size_t at = head.find('<');
    while (at != std::string::npos && at + 1 < head.size() && head[at + 1] == '?')
        at = head.find('<', at + 1);
    if (at == std::string::npos)
        return {};
    const size_t end = head.find_first_of(" \t\r\n/>", at + 1);
    return end == std::string::npos ? std::string() : head.substr(at + 1, end - at - 1);
}

bool endsWithClosingTag(std::string tail, const std::string& root)
{
    while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r' || tail.back() == ' '))
        tail.pop_back();
    const std::string closing = "</" + root + ">";
    return tail.size() >= closing.size() &&
           tail.compare(tail.size() - closing.size(), closing.size(), closing) == 0;
}

// Reads one member through, keeping its beginning and its end.
bool memberComplete(zip_t* archive, zip_uint64_t index)
{
    const std::unique_ptr<zip_file_t, decltype(&zip_fclose)> member(
        zip_fopen_index(archive, index, 0), &zip_fclose);
    if (!member)
        return false;
    std::string head;
    std::string tail;
    std::vector<char> buffer(1 << 16);
    zip_int64_t read = 0;
    while ((read = zip_fread(member.get(), buffer.data(), buffer.size())) > 0) {
        const auto size = static_cast<size_t>(read);
        if (head.size() < kHeadSize)
            head.append(buffer.data(), std::min(size, kHeadSize - head.size()));
        tail.append(buffer.data(), size);
        if (tail.size() > kTailSize)
            tail.erase(0, tail.size() - kTailSize);
    }
    if (read < 0)
        return false;
    const std::string root = rootName(head);
    return !root.empty() && endsWithClosingTag(tail, root);
}

} // namespace

bool WorkbookCheck::complete(const std::string& path)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive)
        return false;
    bool complete = true;
    const zip_int64_t members = zip_get_num_entries(archive, 0);
    for (zip_int64_t index = 0; complete && index < members; ++index) {
        const std::string name = zip_get_name(archive, static_cast<zip_uint64_t>(index), 0);
        const bool xml = name.size() > 4 && (name.compare(name.size() - 4, 4, ".xml") == 0 ||
                                             name.compare(name.size() - 5, 5, ".rels") == 0);
        if (xml)
            complete = memberComplete(archive, static_cast<zip_uint64_t>(index));
    }
    zip_discard(archive);
    return complete;
}

} // namespace kora
