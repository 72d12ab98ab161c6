#pragma once

#include <string>

namespace kora {

// The text rules of the export.
class ExportText
{
public:
    // The whole text in lower case, then its first character and every
    // character directly after a blank in upper case.
    static std::string properCase(const std::string& text);

    // A stored date (YYYY-MM-DD) as MM/DD/YYYY; empty for the placeholders
    // 01/01/1950 and 01/01/2050 and for a text that is no stored date.
    static std::string expirationText(const std::string& stored);

    // Month * 100 + day of a stored date (1231 for December 31); 0 when it is no date.
    static int monthDay(const std::string& stored);
};

} // namespace kora
