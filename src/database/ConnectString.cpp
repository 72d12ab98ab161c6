#include "database/ConnectString.h"

#include <algorithm>
#include <cctype>
#include <sstream>

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

bool isServerConnect(const std::string& connect)
{
    return connect.rfind("PG;", 0) == 0;
}

std::string serverConnectOf(const std::string& connectionText)
{
    return "PG;" + connectionText;
}

std::string serverSchemaOf(const std::string& state)
{
    std::string schema = "kora_" + state;
    std::transform(schema.begin(), schema.end(), schema.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return schema;
}

std::string serverConnectionText(const std::string& connect)
{
    return isServerConnect(connect) ? connect.substr(3) : connect;
}

namespace {

bool isBlank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// A URI's "user:password@" without the password.
std::string uriWithoutPassword(const std::string& uri)
{
    const size_t scheme = uri.find("://");
    const size_t at = uri.find('@', scheme + 3);
    const size_t colon = uri.find(':', scheme + 3);
    if (at == std::string::npos || colon == std::string::npos || colon > at)
        return uri;
    return uri.substr(0, colon) + uri.substr(at);
}

} // namespace

std::string serverTextWithoutPassword(const std::string& connect)
{
    const std::string text = serverConnectionText(connect);
    if (text.find("://") != std::string::npos)
        return uriWithoutPassword(text);
    // keyword = value pairs; a value may be quoted with backslash escapes.
    std::string kept;
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && isBlank(text[at]))
            ++at;
        const size_t begin = at;
        while (at < text.size() && text[at] != '=' && !isBlank(text[at]))
            ++at;
        std::string key = text.substr(begin, at - begin);
        while (at < text.size() && (isBlank(text[at]) || text[at] == '='))
            ++at;
        if (at < text.size() && text[at] == '\'') {
            for (++at; at < text.size() && text[at] != '\''; ++at)
                at += text[at] == '\\';
            ++at;
        } else {
            while (at < text.size() && !isBlank(text[at]))
                ++at;
        }
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        if (!key.empty() && key != "password")
            kept +=
                (kept.empty() ? "" : " ") + text.substr(begin, std::min(at, text.size()) - begin);
    }
    return kept;
}

std::string stateConnectOf(const std::string& state)
{
    return ";PWD=KORA" + state + "7Q3M";
}

} // namespace kora
