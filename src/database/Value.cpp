#include "database/Value.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kora {

std::string Value::formatNumber(double number)
{
    if (number == std::floor(number) && std::fabs(number) < 1e15)
        return std::to_string(static_cast<long long>(number));
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    return std::string(buffer, result.ptr);
}

std::string Value::toString() const
{
    if (const auto* text = std::get_if<std::string>(&m_data))
        return *text;
    if (const auto* integer = std::get_if<long long>(&m_data))
        return std::to_string(*integer);
    if (const auto* real = std::get_if<double>(&m_data))
        return formatNumber(*real);
    return {};
}

double Value::toDouble() const
{
    if (const auto* real = std::get_if<double>(&m_data))
        return *real;
    if (const auto* integer = std::get_if<long long>(&m_data))
        return static_cast<double>(*integer);
    if (const auto* text = std::get_if<std::string>(&m_data))
        return std::strtod(text->c_str(), nullptr);
    return 0.0;
}

long long Value::toInteger() const
{
    if (const auto* integer = std::get_if<long long>(&m_data))
        return *integer;
    if (const auto* real = std::get_if<double>(&m_data))
        return static_cast<long long>(*real);
    if (const auto* text = std::get_if<std::string>(&m_data))
        return std::strtoll(text->c_str(), nullptr, 10);
    return 0;
}

} // namespace kora
