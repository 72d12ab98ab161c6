#pragma once

#include <string>
#include <string_view>

namespace kora {

// Dates are stored as YYYY-MM-DD texts.
class Dates
{
public:
    // Today's date on this computer, or the YYYY-MM-DD date in the environment
    // variable KORA_TODAY when it holds a valid one (tests and demos).
    static std::string today();
    // A YYYY-MM-DD date moved by a number of days; empty when it is not a valid date.
    static std::string addDays(const std::string& date, int days);
    static bool isLeapYear(int year);
    // An MM/DD/YY text as stored: years 00-49 are 2000-2049, 50-99 are 1950-1999.
    // Returns an empty text when it is not a valid date.
    static std::string fromMonthDayYear(std::string_view text);
    static bool isValid(int year, int month, int day);
    // A stored date shown as MM/DD/YY; any other text is returned as it is.
    static std::string toMonthDayYear(const std::string& stored);
};

} // namespace kora
