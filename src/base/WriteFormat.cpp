#include "base/WriteFormat.h"

#include "base/Quoting.h"

namespace kora {

std::string WriteFormat::text(const std::string& value)
{
    return quotedWith(value, '"');
}

std::string WriteFormat::boolean(bool value)
{
    return value ? "#TRUE#" : "#FALSE#";
}

std::string WriteFormat::line(const std::vector<std::string>& fields)
{
    std::string written;
    for (size_t i = 0; i < fields.size(); ++i)
        written += (i ? "," : "") + fields[i];
    return written + "\r\n";
}

std::optional<std::vector<std::string>> WriteFormat::fields(const std::string& line)
{
    std::vector<std::string> result;
    size_t i = 0;
    while (true) {
        std::string field;
        if (i < line.size() && line[i] == '"') {
            ++i;
            while (true) {
                if (i >= line.size())
                    return std::nullopt;
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line[i++];
            }
            while (i < line.size() && line[i] == ' ')
                ++i;
        } else {
            while (i < line.size() && line[i] != ',')
                field += line[i++];
            while (!field.empty() && field.back() == ' ')
                field.pop_back();
        }
        result.push_back(field);
        if (i >= line.size())
            return result;
        if (line[i] != ',')
            return std::nullopt;
        ++i;
    }
}

} // namespace kora
