#pragma once

#include <string>

namespace kora {

// Amounts are delivered as digits padded with leading zeros ("0102384").
class AmountText
{
public:
    // The amount as a reader expects it: no leading zeros, thousands grouped
    // with commas ("102,384"). A text that is not all digits is returned as it is.
    static std::string readable(const std::string& stored);
};

} // namespace kora
