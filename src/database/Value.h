#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace kora {

// One field value as the database holds it: no value, a whole number, a real
// number or a text. Dates are texts in the form YYYY-MM-DD.
class Value
{
public:
    Value() = default;
    Value(const char* text) : m_data(std::string(text)) {}
    Value(std::string text) : m_data(std::move(text)) {}
    Value(double number) : m_data(number) {}
    Value(int number) : m_data(static_cast<long long>(number)) {}
    Value(long long number) : m_data(number) {}
    Value(bool flag) : m_data(static_cast<long long>(flag ? 1 : 0)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(m_data); }
    bool isInteger() const { return std::holds_alternative<long long>(m_data); }
    bool isReal() const { return std::holds_alternative<double>(m_data); }
    // The text held, or null for a value that is not a text.
    const std::string* textIf() const { return std::get_if<std::string>(&m_data); }
    // The text held, or nothing for a value that is not a text.
    std::string_view text() const
    {
        const std::string* held = textIf();
        return held ? std::string_view(*held) : std::string_view();
    }
    // Makes the value a text; one held already keeps its memory.
    void setText(std::string_view text)
    {
        if (std::string* held = std::get_if<std::string>(&m_data))
            held->assign(text);
        else
            m_data = std::string(text);
    }
    void appendText(std::string_view text) { std::get<std::string>(m_data).append(text); }

    // No value reads as "", numbers in their shortest general form (0.95, 1, 9507).
    std::string toString() const;
    double toDouble() const;
    long long toInteger() const;
    bool toBool() const { return toInteger() != 0; }

    bool operator==(const Value& other) const = default;

    // Shortest general form of a number, shared with every writer of numbers as text.
    static std::string formatNumber(double number);

private:
    std::variant<std::monostate, long long, double, std::string> m_data;
};

} // namespace kora
