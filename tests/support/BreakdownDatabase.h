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
    BreakdownDatabase()
    {
        db().execute("INSERT INTO SICCODES (CODE, DESC) VALUES ('1500', 'BUILDING "
                     "CONSTRUCTION'), ('1521', 'HOUSES')");
        db().execute("INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, COUNTY, COUNTYNAME, SIC, MOD, "
                     "EXPIRE, Omit) VALUES "
                     "('1', '01', '101', '003', 'ALLEGHENY', '1521', 0.85, '2026-03-01', ' '), "
                     "('2', '01', '201', '003', 'ALLEGHENY', '1542', 1.0, '2026-03-15', ' '), "
                     "('3', '01', '301', '101', 'PHILADELPHIA', '5812', 1.24, '2026-11-30', ' '), "
                     "('4', '01', '401', '101', 'PHILADELPHIA', '5812', 1.25, '2026-11-01', ' '), "
                     "('5', '01', '501', '101', 'PHILADELPHIA', '5812', 0.95, '2026-11-01', 'Y')");
    }
};

} // namespace kora::test
