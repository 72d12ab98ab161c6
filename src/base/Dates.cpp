#include "base/Dates.h"

#include <cctype>
#include <ctime>
#include <tuple>

namespace kora {

namespace {

bool twoDigits(std::string_view text, size_t at, int& number)
{
    if (at + 2 > text.size() || !std::isdigit(static_cast<unsigned char>(text[at])) ||
        !std::isdigit(static_cast<unsigned char>(text[at + 1])))
        return false;
    number = (text[at] - '0') * 10 + (text[at + 1] - '0');
    return true;
}

// YYYY-MM-DD, written by hand: the loads format millions of dates.
std::string format(int year, int month, int day)
{
    std::string text = "0000-00-00";
    for (auto [at, value, width] : {std::tuple{3, year, 4}, {6, month, 2}, {9, day, 2}})
        for (int i = 0; i < width; ++i, value /= 10)
            text[static_cast<size_t>(at - i)] = static_cast<char>('0' + value % 10);
    return text;
}

} // namespace

std::string Dates::today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return format(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

bool Dates::isValid(int year, int month, int day)
{
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1)
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= lengths[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::string Dates::fromMonthDayYear(std::string_view text)
{
    int month = 0;
    int day = 0;
    int year = 0;
    if (text.size() != 8 || text[2] != '/' || text[5] != '/' || !twoDigits(text, 0, month) ||
        !twoDigits(text, 3, day) || !twoDigits(text, 6, year))
        return {};
    year += year < 50 ? 2000 : 1900;
    if (!isValid(year, month, day))
        return {};
    return format(year, month, day);
}

std::string Dates::toMonthDayYear(const std::string& stored)
{
    if (stored.size() != 10 || stored[4] != '-' || stored[7] != '-')
        return stored;
    return stored.substr(5, 2) + "/" + stored.substr(8, 2) + "/" + stored.substr(2, 2);
}

} // namespace kora
