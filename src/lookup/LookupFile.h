#pragma once

#include "base/LookupMessage.h"
#include "lookup/SQLPARAMETER.h"

#include <optional>
#include <string>
#include <vector>

namespace kora {

// A lookup file (.KRD): one line per criterion in the quoted, comma-separated
// write form, "BIG RISKS","Experience Mod.","1.250","9.999","MOD",#FALSE#
// followed by CR LF. A quote inside a value is written doubled.
class LookupFile
{
public:
    // The criteria in file order. No value when the file is missing, cannot be
    // read, is empty, or has a line that is not six fields ending in #TRUE# or
    // #FALSE#; the caller then tells unreadableMessage().
    static std::optional<std::vector<SQLPARAMETER>> read(const std::string& path);

    // Replaces the file with the criteria, every line carrying the given title.
    // The old file stays whole when the new one cannot be written (returns false).
    static bool write(const std::string& path, const std::string& title,
                      const std::vector<SQLPARAMETER>& criteria);

    // The companion exclusion file: SEARCH3.KRD gives SEARCH3.XCL.
    static std::string companionName(const std::string& fileName);

    static LookupMessage unreadableMessage(const std::string& fileName);
};

} // namespace kora
