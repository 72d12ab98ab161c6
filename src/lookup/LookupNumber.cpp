#include "lookup/LookupNumber.h"

#include "base/Blanks.h"

#include <charconv>
#include <system_error>

namespace kora {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The digits at the start of a text, up to the first other character.
size_t leadingDigits(std::string_view text)
{
    size_t count = 0;
    while (count < text.size() && isDigit(text[count]))
        ++count;
    return count;
}

// A decimal, and with exponent an exponent after it, without blanks around.
std::optional<double> read(std::string_view text, bool exponent)
{
    text = trimBlanks(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (negative || text.front() == '+'))
        text.remove_prefix(1);
    const size_t whole = leadingDigits(text);
    size_t end = whole;
    size_t fraction = 0;
    if (end < text.size() && text[end] == '.') {
        fraction = leadingDigits(text.substr(end + 1));
        end += 1 + fraction;
    }
    const size_t digits = whole + fraction;
    if (exponent && end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        size_t power = end + 1;
        if (power < text.size() && (text[power] == '+' || text[power] == '-'))
            ++power;
        const size_t powerDigits = leadingDigits(text.substr(power));
        end = powerDigits == 0 ? text.size() + 1 : power + powerDigits;
    }
    if (end != text.size() || digits == 0 || digits > LookupNumber::kMostDecimalDigits)
        return std::nullopt;
    double value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + end, value);
    if (error != std::errc())
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace

std::optional<double> LookupNumber::decimal(std::string_view text)
{
    return read(text, false);
}

std::optional<double> LookupNumber::withExponent(std::string_view text)
{
    return read(text, true);
}

std::optional<int> LookupNumber::whole(std::string_view text)
{
    text = trimBlanks(text);
    if (text.empty() || text.size() > kMostWholeDigits || leadingDigits(text) != text.size())
        return std::nullopt;
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::optional<int> LookupNumber::signedWhole(std::string_view text)
{
    text = trimBlanks(text);
    const bool negative = !text.empty() && text.front() == '-';
    const std::optional<int> value = whole(text.substr(negative ? 1 : 0));
    if (!value)
        return std::nullopt;
    return negative ? -*value : *value;
}

} // namespace kora
