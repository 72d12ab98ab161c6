#include "output/ExportText.h"

#include <cctype>

namespace kora {

namespace {

bool isStoredDate(const std::string& text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}

} // namespace

std::string ExportText::properCase(const std::string& text)
{
    std::string result = text;
    bool startOfWord = true;
    for (char& c : result) {
        const auto byte = static_cast<unsigned char>(c);
        c = static_cast<char>(startOfWord ? std::toupper(byte) : std::tolower(byte));
        startOfWord = c == ' ';
    }
    return result;
}

std::string ExportText::expirationText(const std::string& stored)
{
    if (!isStoredDate(stored))
        return {};
    const std::string text =
        stored.substr(5, 2) + "/" + stored.substr(8, 2) + "/" + stored.substr(0, 4);
    if (text == "01/01/2050" || text == "01/01/1950")
        return {};
    return text;
}

int ExportText::monthDay(const std::string& stored)
{
    if (!isStoredDate(stored))
        return 0;
    return std::stoi(stored.substr(5, 2)) * 100 + std::stoi(stored.substr(8, 2));
}

} // namespace kora
