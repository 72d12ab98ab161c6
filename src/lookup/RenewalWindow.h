#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kora {

// The expiration month-days that fall in a window of days from today, the
// month and day taken in the current or next year. A February 29 expiration
// renews on March 1 in the years that have none.
class RenewalWindow
{
public:
    // Ranges of MMDD numbers (101 to 1231), ascending and apart; a window over
    // the year end gives one range at each end of the year.
    static std::vector<std::pair<int, int>> monthDayRanges(const std::string& today, int fromDays,
                                                           int thruDays);
};

} // namespace kora
