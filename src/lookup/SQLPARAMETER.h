#pragma once

#include <string>

namespace kora {

// One criterion of a lookup: a field, a From and a Thru value, and whether the
// range is excluded. SQLDESC repeats the lookup's title in every criterion.
struct SQLPARAMETER
{
    std::string SQLDESC;
    std::string SQLFIELD;
    std::string SQLFROM;
    std::string SQLTHRU;
    std::string SQLEXPR;
    bool SQLEXCLUDE = false;

    bool operator==(const SQLPARAMETER& other) const = default;
};

} // namespace kora
