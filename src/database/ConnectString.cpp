#include "database/ConnectString.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string_view>

namespace kora {

std::string passwordOfConnect(const std::string& connect)
{
    std::istringstream parts(connect);
    std::string part;
    while (std::getline(parts, part, ';')) {
        auto equals = part.find('=');
        if (equals == std::string::npos)
            continue;
        std::string key = part.substr(0, equals);
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return std::toupper(c); });
        if (key == "PWD")
            return part.substr(equals + 1);
    }
    return {};
}

std::string stateConnectOf(const std::string& state)
{
    return ";PWD=KORA" + state + "7Q3M";
}

namespace {

constexpr std::string_view kServerPrefix = "PG;";

} // namespace

bool isServerConnect(const std::string& connect)
{
    return connect.compare(0, kServerPrefix.size(), kServerPrefix) == 0;
}

std::string serverConnectOf(const std::string& connectionText)
{
    return std::string(kServerPrefix) + connectionText;
}

std::string serverTextOf(const std::string& connect)
{
    const std::string text = connect.substr(std::min(connect.size(), kServerPrefix.size()));
    // Keyword = value pairs; a value may be quoted, with \' and \\ inside.
    std::string kept;
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
            ++at;
        if (at == text.size())
            break;
        const size_t start = at;
        while (at < text.size() && text[at] != '=' &&
               !std::isspace(static_cast<unsigned char>(text[at])))
            ++at;
        const std::string keyword = text.substr(start, at - start);
        while (at < text.size() &&
               (text[at] == '=' || std::isspace(static_cast<unsigned char>(text[at]))))
            ++at;
        if (at < text.size() && text[at] == '\'') {
            for (++at; at < text.size() && text[at] != '\''; ++at)
                if (text[at] == '\\')
                    ++at;
            ++at;
        } else {
            while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at])))
                ++at;
        }
        if (keyword != "password")
            kept +=
                (kept.empty() ? "" : " ") + text.substr(start, std::min(at, text.size()) - start);
    }
    return kept;
}

} // namespace kora
