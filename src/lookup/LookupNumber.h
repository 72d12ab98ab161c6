#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace kora {

// Numbers as lookups hold them, blanks allowed around them, read in one pass
// over the text: no length of text can exhaust the stack or throw, and a
// number too long for any lookup field is no number.
class LookupNumber
{
public:
    static constexpr size_t kMostDecimalDigits = 15;
    static constexpr size_t kMostWholeDigits = 9;

    // An optional sign, then digits with at most one decimal point among or
    // before them: "1.250", "-.5", "7.".
    static std::optional<double> decimal(std::string_view text);
    // A decimal as the database reads it, optionally followed by an exponent:
    // "1E1", "2.5e-3".
    static std::optional<double> withExponent(std::string_view text);
    // Digits alone.
    static std::optional<int> whole(std::string_view text);
    // Digits after an optional minus sign.
    static std::optional<int> signedWhole(std::string_view text);
};

} // namespace kora
