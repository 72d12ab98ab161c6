#pragma once

#include <string>

namespace kora {

// The names of the major groups of the Standard Industrial Classification
// (1987), 01 to 99, for a state whose SIC table lacks a group's own row.
class SicMajorGroups
{
public:
    // group: the first two digits of a SIC code. Empty for a number that is
    // no major group.
    static std::string name(const std::string& group);
};

} // namespace kora
