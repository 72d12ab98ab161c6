#include "results/CityStateZip.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

TEST(CityStateZip, SplitsFromTheEndAndNamesTheFirstMissingPart)
{
    // The line, its city|state|zip|extension, and the first missing part.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"Springfield PA 19064-1234", "Springfield|PA|19064|1234", ""},
        {"  New Castle  DE   19720  ", "New Castle|DE|19720|", ""},
        {"King of Prussia PA 19406", "King of Prussia|PA|19406|", ""},
        {"Springfield PA", "Springfield|PA||", "Zip Code"},
        // A part in the wrong form is not taken off and stays in what is before it.
        {"Erie PA 1650-1234", "Erie PA 1650|||1234", "State"},
        {"PA 19064", "PA||19064|", "State"},
        {"Springfield", "Springfield|||", "State"},
        {"19064", "19064|||", "State"},
        {"   ", "|||", "City"},
    };
    for (const auto& [line, parts, missing] : cases) {
        const CityStateZip split = CityStateZip::split(line);
        EXPECT_EQ(split.city + "|" + split.state + "|" + split.zip + "|" + split.zipExtension,
                  parts);
        EXPECT_EQ(split.problem(),
                  *missing ? "Missing " + std::string(missing) + ", Format Must be City ST Zip"
                           : "")
            << line;
    }
}

} // namespace
} // namespace kora::test
