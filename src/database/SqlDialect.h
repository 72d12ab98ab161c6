#pragma once

#include <string>

namespace kora {

// Reads statements written for the original engine with their meaning kept:
// "DELETE * FROM T" becomes "DELETE FROM T" and "x NOT = y" becomes
// "NOT (x = y)". Text inside single quotes is never touched. MONTH(), DAY()
// and [MOD] need no translation.
class SqlDialect
{
public:
    static std::string translate(const std::string& sql);
};

} // namespace kora
