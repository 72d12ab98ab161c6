#include "base/Dates.h"

#include <cctype>
#include <cstdlib>
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

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
long long daysFromCivil(int year, int month, int day)
{
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::string civilFromDays(long long days)
{
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long shifted = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
    const int month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2));
    return format(year, month, day);
}

// The parts of a valid YYYY-MM-DD text.
bool parse(const std::string& date, int& year, int& month, int& day)
{
    int century = 0;
    int decade = 0;
    if (date.size() != 10 || date[4] != '-' || date[7] != '-' || !twoDigits(date, 0, century) ||
        !twoDigits(date, 2, decade) || !twoDigits(date, 5, month) || !twoDigits(date, 8, day))
        return false;
    year = century * 100 + decade;
    return Dates::isValid(year, month, day);
}

} // namespace

std::string Dates::addDays(const std::string& date, int days)
{
    int year = 0;
    int month = 0;
    int day = 0;
    if (!parse(date, year, month, day))
        return {};
    return civilFromDays(daysFromCivil(year, month, day) + days);
}

bool Dates::isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

std::string Dates::today()
{
    if (const char* fixed = std::getenv("KORA_TODAY")) {
        int year = 0;
        int month = 0;
        int day = 0;
        if (parse(fixed, year, month, day))
            return fixed;
    }
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
    return day <= lengths[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
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
