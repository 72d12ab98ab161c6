#pragma once

#include <string>

namespace kora {

// What the lookup editor puts in its From and Thru boxes: the range a field
// starts with when it is chosen, and the range after a code is picked from
// the field's list.
class CriterionEntry
{
public:
    struct Range
    {
        std::string from;
        std::string thru;
        bool hasThru = true; // false: the field takes a From only
    };

    // The range of a field just chosen; the assigned-risk and issue-year
    // fields start from the year and month of today.
    static Range startingRange(int position, int year, int month);
    // The boxes after a code of the list was picked: an empty From takes the
    // code, else Thru does. A SIC code ending in 00 puts its whole group in
    // Thru.
    static Range afterPick(int position, const Range& typed, const std::string& code);
};

} // namespace kora
