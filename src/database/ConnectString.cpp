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

std::string stateConnectOf(const std::string& state)
{
    return ";PWD=KORA" + state + "7Q3M";
}

} // namespace kora
