#pragma once

#include "support/StateDatabase.h"

namespace kora::test {

// A PA state database of five companies to count by group: two in county 003
// (SIC group 15, expiring in March), three in 101 (SIC 5812, expiring in
// November), mods 0.85 to 1.25, the fifth marked to leave out. SIC group 15
// has a description, group 58 none.
class BreakdownDatabase : public StateDatabase
{
public:
    BreakdownDatabase();
};

} // namespace kora::test
