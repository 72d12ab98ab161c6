#include "lookup/RenewalWindow.h"

#include "base/Dates.h"

#include <algorithm>
#include <array>

namespace kora {

namespace {

constexpr int kDaysInLeapYear = 366;
// The calendar repeats itself, leap days included, after this many days.
constexpr long long kDaysIn400Years = 146097;

// Every MMDD of a leap year in calendar order.
const std::array<int, kDaysInLeapYear>& monthDays()
{
    static const std::array<int, kDaysInLeapYear> all = [] {
        std::array<int, kDaysInLeapYear> days{};
        size_t at = 0;
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= 31; ++day)
                if (Dates::isValid(2000, month, day))
                    days[at++] = month * 100 + day;
        return days;
    }();
    return all;
}

int indexOf(int monthDay)
{
    const auto& all = monthDays();
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i] == monthDay)
            return static_cast<int>(i);
    return -1;
}

} // namespace

std::vector<std::pair<int, int>> RenewalWindow::monthDayRanges(const std::string& today,
                                                               int fromDays, int thruDays)
{
    std::array<bool, kDaysInLeapYear> inWindow{};
    // A window of a leap year's days holds every month-day already.
    const long long lastDay =
        std::min<long long>(thruDays, static_cast<long long>(fromDays) + kDaysInLeapYear - 1);
    for (long long offset = fromDays; offset <= lastDay; ++offset) {
        const std::string date = Dates::addDays(today, static_cast<int>(offset % kDaysIn400Years));
        if (date.empty())
            return {};
        const int year = std::stoi(date.substr(0, 4));
        const int monthDay = std::stoi(date.substr(5, 2)) * 100 + std::stoi(date.substr(8, 2));
        inWindow[static_cast<size_t>(indexOf(monthDay))] = true;
        if (monthDay == 301 && !Dates::isLeapYear(year))
            inWindow[static_cast<size_t>(indexOf(229))] = true;
    }
    std::vector<std::pair<int, int>> ranges;
    const auto& all = monthDays();
    for (size_t i = 0; i < all.size(); ++i) {
        if (!inWindow[i])
            continue;
        if (i > 0 && inWindow[i - 1])
            ranges.back().second = all[i];
        else
            ranges.emplace_back(all[i], all[i]);
    }
    return ranges;
}

} // namespace kora
