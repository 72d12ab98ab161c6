#include "results/AmountText.h"

#include "base/Blanks.h"

#include <algorithm>
#include <cctype>

namespace kora {

std::string AmountText::readable(const std::string& stored)
{
    const std::string digits(trimBlanks(stored));
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
        return stored;
    const size_t first = std::min(digits.find_first_not_of('0'), digits.size() - 1);
    const std::string number = digits.substr(first);
    std::string grouped;
    for (size_t i = 0; i < number.size(); ++i) {
        if (i > 0 && (number.size() - i) % 3 == 0)
            grouped += ',';
        grouped += number[i];
    }
    return grouped;
}

} // namespace kora
