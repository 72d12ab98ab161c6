#include "lookup/LookupFile.h"

#include "base/AtomicFile.h"

#include "base/WriteFormat.h"

#include <fstream>
#include <sstream>

namespace kora {

namespace {

constexpr size_t kFieldsPerLine = 6;

std::optional<bool> readBoolean(const std::string& token)
{
    if (token == WriteFormat::boolean(true))
        return true;
    if (token == WriteFormat::boolean(false))
        return false;
    return std::nullopt;
}

} // namespace

std::optional<std::vector<SQLPARAMETER>> LookupFile::read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<SQLPARAMETER> criteria;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        const auto fields = WriteFormat::fields(line);
        if (!fields || fields->size() != kFieldsPerLine)
            return std::nullopt;
        const auto exclude = readBoolean((*fields)[5]);
        if (!exclude)
            return std::nullopt;
        criteria.push_back(
            {(*fields)[0], (*fields)[1], (*fields)[2], (*fields)[3], (*fields)[4], *exclude});
    }
    if (in.bad() || criteria.empty())
        return std::nullopt;
    return criteria;
}

bool LookupFile::write(const std::string& path, const std::string& title,
                       const std::vector<SQLPARAMETER>& criteria)
{
    std::ostringstream text;
    for (const SQLPARAMETER& criterion : criteria)
        text << WriteFormat::line(
            {WriteFormat::text(title), WriteFormat::text(criterion.SQLFIELD),
             WriteFormat::text(criterion.SQLFROM), WriteFormat::text(criterion.SQLTHRU),
             WriteFormat::text(criterion.SQLEXPR), WriteFormat::boolean(criterion.SQLEXCLUDE)});

    return AtomicFile::write(path, text.str());
}

std::string LookupFile::companionName(const std::string& fileName)
{
    return fileName.substr(0, fileName.size() - std::min<size_t>(3, fileName.size())) + "XCL";
}

LookupMessage LookupFile::unreadableMessage(const std::string& fileName)
{
    return {"Cannot read the lookup file " + fileName + ".", "Parameter Verification",
            LookupMessage::Icon::Exclamation};
}

} // namespace kora
