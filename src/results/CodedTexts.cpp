#include "results/CodedTexts.h"

#include <cmath>
#include <cstdio>

namespace kora {

std::string CodedTexts::band(const Value& code, const std::vector<std::string>& bands)
{
    const std::string digit = code.toString();
    if (digit.size() != 1 || digit[0] < '0' || digit[0] > '9')
        return {};
    return bands[digit[0] - '0'];
}

std::string CodedTexts::assignedRiskDate(const Value& njar)
{
    if (njar.isNull() || njar.toString().empty())
        return {};
    char digits[24];
    std::snprintf(digits, sizeof digits, "%04lld", std::llround(njar.toDouble()));
    const std::string text = digits;
    return text.substr(text.size() - 2) + "/" + text.substr(0, 2);
}

} // namespace kora
