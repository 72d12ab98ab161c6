#pragma once

#include "database/Value.h"

#include <string>
#include <vector>

namespace kora {

// The readable texts of a company's coded fields, as the record window and
// the reports show them.
class CodedTexts
{
public:
    // The band text of a one-character code 0 to 9 (EMPLOYEES, SALES); any
    // other code has none.
    static std::string band(const Value& code, const std::vector<std::string>& bands);
    // NJAR holds year and month as YYMM; shown as MM/YY (9507 as 07/95, 312
    // as 12/03). Empty when there is none.
    static std::string assignedRiskDate(const Value& njar);
};

} // namespace kora
